#include "grid_geometry.h"

#include <algorithm>
#include <cmath>

namespace railwright {

int GridGeometry::columnCountForWidth(double widthTwips)
{
    // The grid's columns come from a single-precision division rounded half to even,
    // so 9275 twips (24.5 columns) gives 24 and 9625 (25.5) gives 26.
    const float exact =
        (float(std::max(0.0, widthTwips)) - float(LabelColumnTwips)) / float(ByteColumnTwips);
    const float whole = std::floor(exact);
    const float fraction = exact - whole;
    float rounded = whole;
    if (fraction > 0.5f) {
        rounded = whole + 1.0f;
    } else if (fraction == 0.5f) {
        rounded = std::fmod(whole, 2.0f) == 0.0f ? whole : whole + 1.0f;
    }
    return std::max(MinimumColumns, int(rounded));
}

int GridGeometry::twipsToPixels(double twips, double dpi)
{
    return int(std::lround(twips * dpi / TwipsPerInch));
}

double GridGeometry::pixelsToTwips(double pixels, double dpi)
{
    return dpi > 0 ? pixels * TwipsPerInch / dpi : 0.0;
}

GridGeometry::GridGeometry(int columnCount, Index shownBytes)
    : m_columnCount(std::max(MinimumColumns, columnCount)),
      m_shownBytes(std::max<Index>(0, shownBytes))
{
}

GridGeometry::Index GridGeometry::rowCount() const
{
    const Index perRow = bytesPerRow();
    return (m_shownBytes + perRow - 1) / perRow;
}

GridGeometry::Index GridGeometry::indexAt(Index row, int column) const
{
    return row * bytesPerRow() + std::max(column, 1) - 1;
}

GridGeometry::Index GridGeometry::moved(Index index, GridMove move, Index pageRows,
                                        Index last) const
{
    const Index perRow = bytesPerRow();
    const Index rowStart = index - index % perRow;
    Index target = index;
    switch (move) {
    case GridMove::Left:
        target = index - 1;
        break;
    case GridMove::Right:
        target = index + 1;
        break;
    case GridMove::Up:
        target = index - perRow;
        break;
    case GridMove::Down:
        target = index + perRow;
        break;
    case GridMove::PageUp:
        target = index - std::max<Index>(1, pageRows) * perRow;
        break;
    case GridMove::PageDown:
        target = index + std::max<Index>(1, pageRows) * perRow;
        break;
    case GridMove::RowStart:
        target = rowStart;
        break;
    case GridMove::RowEnd:
        target = rowStart + perRow - 1;
        break;
    case GridMove::First:
        target = 0;
        break;
    case GridMove::Last:
        target = last;
        break;
    }
    // A step up from the first row, or down from the last, stays in its row rather
    // than jumping to the other end.
    if ((move == GridMove::Up || move == GridMove::PageUp) && target < 0) {
        target = index % perRow;
    }
    if ((move == GridMove::Down || move == GridMove::PageDown) && target > last) {
        target = index + std::max<Index>(0, last - index) / perRow * perRow;
    }
    return std::clamp<Index>(target, 0, std::max<Index>(0, last));
}

QString GridGeometry::rowLabel(Index row) const
{
    return QString::number(row * bytesPerRow(), 16).toUpper();
}

TrackDesignDocument::Index CountTrailingZeros(const TrackDesignDocument& document, bool skip)
{
    if (!skip) {
        return 0;
    }
    TrackDesignDocument::Index i = document.length() - 1;
    while (i >= 0 && document.valueAt(i) == 0) {
        --i;
    }
    return document.length() - 1 - i;
}

} // namespace railwright
