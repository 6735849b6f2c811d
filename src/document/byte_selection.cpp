#include "byte_selection.h"

namespace railwright {

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
    const Index oldFirst = m_first;
    const Index oldLast = m_last;
    m_first = first;
    m_last = last;
    emit highlightChanged(m_first, m_last, oldFirst, oldLast);
}

} // namespace railwright
