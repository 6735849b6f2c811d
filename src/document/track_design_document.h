#pragma once

#include "codec/byte_buffer.h"

#include <QObject>
#include <cstdint>
#include <vector>

namespace railwright {

// The bytes the editor works on: a raw file or a decoded record. It always has at
// least one element. An element may be empty (the start-up document holds one empty
// element): an empty element reads as 0 and is not written when saving.
//
// Every change goes through the methods below, which emit what changed, so views
// follow the document and undo can later hook in at one place.
class TrackDesignDocument : public QObject
{
    Q_OBJECT

public:
    using Index = qsizetype; // wide enough for every byte of the largest file

    explicit TrackDesignDocument(QObject* parent = nullptr);

    [[nodiscard]] Index length() const { return Index(m_bytes.size()); }
    [[nodiscard]] bool isEmptyElement(Index index) const;
    // The byte at `index`, clamped into the document (below 0 reads byte 0, past the
    // end reads the last byte); an empty element reads 0.
    [[nodiscard]] std::uint8_t valueAt(Index index) const;
    // The bytes a save writes: every element in order, empty elements left out.
    [[nodiscard]] ByteBuffer contents() const;

    [[nodiscard]] bool changed() const { return m_changed; }
    void setChanged(bool changed);

    // Stores one byte and marks the document changed. An index outside the document
    // is refused: nothing changes and the result is false.
    bool setByte(Index index, std::uint8_t value);
    // Makes one element empty; refused like setByte.
    bool setEmptyElement(Index index);

    // Replaces every byte with a loaded file: marks the document unchanged.
    // An empty buffer is refused (the document keeps at least one element).
    bool loadContents(ByteBuffer bytes);
    // Replaces every byte with the result of a decode or encode: marks it changed.
    // An empty buffer is refused.
    bool replaceContents(ByteBuffer bytes);
    // Back to the start-up state: one empty element, unchanged.
    void reset();

signals:
    // Bytes first..last (inclusive) were written; the length is the same.
    void bytesChanged(railwright::TrackDesignDocument::Index first,
                      railwright::TrackDesignDocument::Index last);
    // The whole contents were replaced; the length may differ.
    void contentsReplaced();
    void changedFlagChanged(bool changed);

private:
    void replace(ByteBuffer bytes);

    ByteBuffer m_bytes;
    std::vector<bool> m_empty;
    bool m_changed = false;
};

} // namespace railwright
