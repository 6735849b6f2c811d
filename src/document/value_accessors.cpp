#include "value_accessors.h"

#include <QChar>
#include <QLatin1Char>

namespace railwright {

namespace {

// The index the read accessors look at: clamped into the document like valueAt.
TrackDesignDocument::Index clampedIndex(const TrackDesignDocument& document,
                                        TrackDesignDocument::Index index)
{
    if (index < 0) {
        return 0;
    }
    return index >= document.length() ? document.length() - 1 : index;
}

} // namespace

QString GetHexVal(const TrackDesignDocument& document, TrackDesignDocument::Index index)
{
    const int value = document.valueAt(index);
    return QString::number(value, 16).toUpper().rightJustified(2, QLatin1Char('0'));
}

QString GetDecVal(const TrackDesignDocument& document, TrackDesignDocument::Index index)
{
    const int value = document.valueAt(index);
    return QString::number(value).rightJustified(2, QLatin1Char('0'));
}

QString GetChrVal(const TrackDesignDocument& document, TrackDesignDocument::Index index)
{
    if (document.isEmptyElement(clampedIndex(document, index))) {
        return QString();
    }
    return QString(QChar(char16_t(document.valueAt(index))));
}

bool SetChrVal(TrackDesignDocument& document, TrackDesignDocument::Index index,
               const QString& character)
{
    if (character.size() != 1 || character.at(0).unicode() > 0xFF) {
        return false;
    }
    return document.setByte(index, std::uint8_t(character.at(0).unicode()));
}

} // namespace railwright
