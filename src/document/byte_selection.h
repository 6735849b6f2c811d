#pragma once

#include <QObject>
#include <cstddef>
#include <vector>

namespace railwright {

// Where the user is in the document, shared by every view of it: the selected byte (the
// one the grid's edit box writes, the design panel marks and the status bar names),
// whether the user chose it, a highlighted range of bytes (the field a panel points at,
// tinted in the grid), and the selected rows of the track list (pieces, or a maze's
// tiles) with the bytes each one holds, tinted in the grid too. Views write it and
// follow its signals; none keeps a copy. Selecting does not clamp: a view that selects
// makes sure the byte exists; when the document's bytes are replaced it is reset.
class ByteSelection : public QObject
{
    Q_OBJECT

public:
    using Index = qsizetype;

    // Bytes first..last of one selected track row.
    struct Range
    {
        Index first = -1;
        Index last = -1;
        bool operator==(const Range&) const = default;
    };

    explicit ByteSelection(QObject* parent = nullptr) : QObject(parent) {}

    // The selected byte; 0 at start.
    [[nodiscard]] Index current() const { return m_current; }
    // Whether the user has chosen a byte yet (a click, a key, Go to, a panel); until then
    // byte 0 is selected only by default and names no field.
    [[nodiscard]] bool chosen() const { return m_chosen; }
    // The highlighted bytes first..last; a negative first when nothing is highlighted.
    // The selected rows' bytes are apart from it (see rowRanges).
    [[nodiscard]] Index highlightFirst() const { return m_first; }
    [[nodiscard]] Index highlightLast() const { return m_last; }
    // Whether byte `index` is highlighted or belongs to a selected track row.
    [[nodiscard]] bool isHighlighted(Index index) const;

    // The selected rows of the track list, ascending, and the bytes of each.
    [[nodiscard]] const std::vector<std::size_t>& rows() const { return m_rows; }
    [[nodiscard]] const std::vector<Range>& rowRanges() const { return m_rowRanges; }

    // The user chose byte `index`. Emits currentChanged every time, also for the byte
    // already selected, so views show it afresh (the grid drops half-typed digits).
    void selectByte(Index index);
    // The user chose bytes first..last (a field): selects `first` and highlights the range.
    void selectRange(Index first, Index last);
    // Highlights bytes first..last; a negative `first` or last < first clears it.
    // Emits highlightChanged only when the range differs.
    void setHighlight(Index first, Index last);
    void clearHighlight() { setHighlight(-1, -1); }

    // The user chose these track rows (one range of bytes each, same order): selects the
    // first range's first byte and marks every range.
    void selectRows(std::vector<std::size_t> rows, std::vector<Range> ranges);
    // These rows are the selected ones now, the selected byte staying where it is (the
    // row a selected byte belongs to; rows pruned after the track changed). Emits
    // rowsChanged only when they differ.
    void setRows(std::vector<std::size_t> rows, std::vector<Range> ranges);

    // Back to the start: byte 0 not chosen, nothing highlighted, no rows. For when the
    // bytes are replaced (open, decode, encode, their undo) and old places mean nothing.
    void reset();

signals:
    // The selected byte is now `current`; it was `previous`.
    void currentChanged(railwright::ByteSelection::Index current,
                        railwright::ByteSelection::Index previous);
    // The marked bytes (the highlight and the selected rows' bytes) changed; they lie
    // within first..last now and lay within oldFirst..oldLast (a negative first: none).
    void highlightChanged(railwright::ByteSelection::Index first,
                          railwright::ByteSelection::Index last,
                          railwright::ByteSelection::Index oldFirst,
                          railwright::ByteSelection::Index oldLast);
    // The selected track rows changed.
    void rowsChanged();

private:
    // The span of every marked byte.
    [[nodiscard]] Range markedSpan() const;
    void changeMarks(Index first, Index last, std::vector<std::size_t> rows,
                     std::vector<Range> ranges);

    Index m_current = 0;
    bool m_chosen = false;
    Index m_first = -1;
    Index m_last = -1;
    std::vector<std::size_t> m_rows;
    std::vector<Range> m_rowRanges;
};

} // namespace railwright
