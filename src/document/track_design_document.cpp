#include "track_design_document.h"

namespace railwright {

TrackDesignDocument::TrackDesignDocument(QObject* parent)
    : QObject(parent), m_bytes(1, 0), m_empty(1, true)
{
}

bool TrackDesignDocument::isEmptyElement(Index index) const
{
    return index >= 0 && index < length() && m_empty[std::size_t(index)];
}

std::uint8_t TrackDesignDocument::valueAt(Index index) const
{
    const Index clamped = index < 0 ? 0 : (index >= length() ? length() - 1 : index);
    const auto at = std::size_t(clamped);
    return m_empty[at] ? std::uint8_t(0) : m_bytes[at];
}

ByteBuffer TrackDesignDocument::contents() const
{
    ByteBuffer out;
    out.reserve(m_bytes.size());
    for (std::size_t i = 0; i < m_bytes.size(); ++i) {
        if (!m_empty[i]) {
            out.push_back(m_bytes[i]);
        }
    }
    return out;
}

void TrackDesignDocument::setChanged(bool changed)
{
    if (m_changed == changed) {
        return;
    }
    m_changed = changed;
    emit changedFlagChanged(changed);
}

bool TrackDesignDocument::setByte(Index index, std::uint8_t value)
{
    if (index < 0 || index >= length()) {
        return false;
    }
    m_bytes[std::size_t(index)] = value;
    m_empty[std::size_t(index)] = false;
    emit bytesChanged(index, index);
    setChanged(true);
    return true;
}

bool TrackDesignDocument::setEmptyElement(Index index)
{
    if (index < 0 || index >= length()) {
        return false;
    }
    m_bytes[std::size_t(index)] = 0;
    m_empty[std::size_t(index)] = true;
    emit bytesChanged(index, index);
    setChanged(true);
    return true;
}

bool TrackDesignDocument::loadContents(ByteBuffer bytes)
{
    if (bytes.empty()) {
        return false;
    }
    replace(std::move(bytes));
    setChanged(false);
    return true;
}

bool TrackDesignDocument::replaceContents(ByteBuffer bytes)
{
    if (bytes.empty()) {
        return false;
    }
    replace(std::move(bytes));
    setChanged(true);
    return true;
}

void TrackDesignDocument::reset()
{
    m_bytes.assign(1, 0);
    m_empty.assign(1, true);
    emit contentsReplaced();
    setChanged(false);
}

void TrackDesignDocument::replace(ByteBuffer bytes)
{
    m_empty.assign(bytes.size(), false);
    m_bytes = std::move(bytes);
    emit contentsReplaced();
}

} // namespace railwright
