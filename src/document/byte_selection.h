#pragma once

#include <QObject>

namespace railwright {

// Where the user is in the document, shared by every view of it: the selected byte (the
// one the grid's edit box writes, the design panel marks and the status bar names),
// whether the user chose it, and a highlighted range of bytes (the field or track piece
// a panel points at, tinted in the grid). Views write it and follow its signals; none
// keeps a copy. It does not clamp: a view that selects makes sure the byte exists.
class ByteSelection : public QObject
{
    Q_OBJECT

public:
    using Index = qsizetype;

    explicit ByteSelection(QObject* parent = nullptr) : QObject(parent) {}

    // The selected byte; 0 at start.
    [[nodiscard]] Index current() const { return m_current; }
    // Whether the user has chosen a byte yet (a click, a key, Go to, a panel); until then
    // byte 0 is selected only by default and names no field.
    [[nodiscard]] bool chosen() const { return m_chosen; }
    // The highlighted bytes first..last; a negative first when nothing is highlighted.
    [[nodiscard]] Index highlightFirst() const { return m_first; }
    [[nodiscard]] Index highlightLast() const { return m_last; }
    [[nodiscard]] bool isHighlighted(Index index) const
    {
        return m_first >= 0 && index >= m_first && index <= m_last;
    }

    // The user chose byte `index`. Emits currentChanged every time, also for the byte
    // already selected, so views show it afresh (the grid drops half-typed digits).
    void selectByte(Index index);
    // The user chose bytes first..last (a 2-byte track piece, a field): selects `first`
    // and highlights the range.
    void selectRange(Index first, Index last);
    // Highlights bytes first..last; a negative `first` or last < first clears it.
    // Emits highlightChanged only when the range differs.
    void setHighlight(Index first, Index last);
    void clearHighlight() { setHighlight(-1, -1); }

signals:
    // The selected byte is now `current`; it was `previous`.
    void currentChanged(railwright::ByteSelection::Index current,
                        railwright::ByteSelection::Index previous);
    // The highlight moved from oldFirst..oldLast to first..last (negative first: none).
    void highlightChanged(railwright::ByteSelection::Index first,
                          railwright::ByteSelection::Index last,
                          railwright::ByteSelection::Index oldFirst,
                          railwright::ByteSelection::Index oldLast);

private:
    Index m_current = 0;
    bool m_chosen = false;
    Index m_first = -1;
    Index m_last = -1;
};

} // namespace railwright
