#include "design_health.h"

#include <QLocale>

namespace railwright {

using namespace Qt::StringLiterals;

QString FileHealthText(const DesignInspection& inspection)
{
    if (!inspection.decodes()) {
        return u"Not a track design: it does not decode"_s;
    }
    switch (inspection.checksum) {
    case ChecksumMatch::LoopyLandscapes:
        return u"Loopy Landscapes design, checksum valid"_s;
    case ChecksumMatch::OriginalOrCorkscrew:
        return u"Base game or Corkscrew Follies design, checksum valid"_s;
    case ChecksumMatch::None:
        break;
    }
    return u"Checksum matches no game version"_s;
}

QString RecordHealthText(const RecordFacts& facts)
{
    const QString length = QLocale().toString(qulonglong(facts.length));
    switch (facts.layout) {
    case RecordLayout::Base:
        return u"Decoded: %1 bytes, base layout"_s.arg(length);
    case RecordLayout::Expansion:
        return u"Decoded: %1 bytes, expansion layout"_s.arg(length);
    case RecordLayout::Unusual:
        break;
    }
    return u"Decoded: %1 bytes (unusual length)"_s.arg(length);
}

} // namespace railwright
