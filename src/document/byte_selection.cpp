#include "byte_selection.h"

#include <algorithm>

namespace railwright {

bool ByteSelection::isHighlighted(Index index) const
{
    if (m_first >= 0 && index >= m_first && index <= m_last) {
        return true;
    }
    return std::any_of(m_rowRanges.begin(), m_rowRanges.end(), [index](const Range& range) {
        return index >= range.first && index <= range.last;
    });
}

void ByteSelection::selectByte(Index index)
{
    const Index previous = m_current;
    m_current = index;
    m_chosen = true;
    emit currentChanged(m_current, previous);
}

void ByteSelection::selectRange(Index first, Index last)
{
    selectByte(first);
    setHighlight(first, last);
}

void ByteSelection::setHighlight(Index first, Index last)
{
    if (first < 0 || last < first) {
        first = -1;
        last = -1;
    }
    if (first == m_first && last == m_last) {
        return;
    }
    changeMarks(first, last, m_rows, m_rowRanges);
}

void ByteSelection::selectRows(std::vector<std::size_t> rows, std::vector<Range> ranges)
{
    const bool any = !ranges.empty();
    const Index first = any ? ranges.front().first : m_current;
    setRows(std::move(rows), std::move(ranges));
    if (any) {
        selectByte(first);
    }
}

void ByteSelection::setRows(std::vector<std::size_t> rows, std::vector<Range> ranges)
{
    if (rows == m_rows && ranges == m_rowRanges) {
        return;
    }
    changeMarks(m_first, m_last, std::move(rows), std::move(ranges));
    emit rowsChanged();
}

void ByteSelection::reset()
{
    const bool hadRows = !m_rows.empty();
    changeMarks(-1, -1, {}, {});
    if (hadRows) {
        emit rowsChanged();
    }
    const Index previous = m_current;
    m_current = 0;
    m_chosen = false;
    emit currentChanged(m_current, previous);
}

ByteSelection::Range ByteSelection::markedSpan() const
{
    Range span{m_first, m_last};
    for (const Range& range : m_rowRanges) {
        if (range.first < 0) {
            continue;
        }
        span.first = span.first < 0 ? range.first : std::min(span.first, range.first);
        span.last = std::max(span.last, range.last);
    }
    return span;
}

void ByteSelection::changeMarks(Index first, Index last, std::vector<std::size_t> rows,
                                std::vector<Range> ranges)
{
    const Range old = markedSpan();
    m_first = first;
    m_last = last;
    m_rows = std::move(rows);
    m_rowRanges = std::move(ranges);
    const Range now = markedSpan();
    if (old.first >= 0 || now.first >= 0) {
        emit highlightChanged(now.first, now.last, old.first, old.last);
    }
}

} // namespace railwright
