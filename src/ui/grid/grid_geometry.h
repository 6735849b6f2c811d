#pragma once

#include "document/track_design_document.h"

#include <QString>

namespace railwright {

// The keyboard's moves of the selected byte, as hex editors have them.
enum class GridMove
{
    Left,
    Right,
    Up,
    Down,
    PageUp,
    PageDown,
    RowStart,
    RowEnd,
    First,
    Last,
};

// The grid's layout as arithmetic: how many columns fit a width, how many bytes a row
// holds, which cell shows which byte and how rows are labelled. Column 0 of the grid
// holds the row labels; columns 1 to bytesPerRow() hold bytes.
class GridGeometry
{
public:
    using Index = TrackDesignDocument::Index;

    static constexpr int LabelColumnTwips = 700;
    static constexpr int ByteColumnTwips = 350;
    static constexpr int MinimumColumns = 5;
    static constexpr int TwipsPerInch = 1440;

    // Column count C (label column included) for a grid `widthTwips` wide: the
    // columns that fit, rounded half to even, never fewer than MinimumColumns. A
    // negative width counts as 0.
    [[nodiscard]] static int columnCountForWidth(double widthTwips);
    // Screen pixels for a length in twips at `dpi` dots per inch, rounded.
    [[nodiscard]] static int twipsToPixels(double twips, double dpi);
    [[nodiscard]] static double pixelsToTwips(double pixels, double dpi);

    // The geometry of a grid with `columnCount` columns (raised to the minimum) over
    // `shownBytes` bytes (N: the document's length less the hidden trailing zeros).
    GridGeometry(int columnCount = MinimumColumns, Index shownBytes = 0);

    [[nodiscard]] int columnCount() const { return m_columnCount; }
    [[nodiscard]] int bytesPerRow() const { return m_columnCount - 1; }
    [[nodiscard]] Index shownBytes() const { return m_shownBytes; }
    // Rows needed for the shown bytes; 0 when nothing is shown.
    [[nodiscard]] Index rowCount() const;

    // Byte index of cell (row, column); the label column counts as column 1, so it
    // addresses the row's first byte. The index may lie past the shown bytes.
    [[nodiscard]] Index indexAt(Index row, int column) const;
    [[nodiscard]] Index rowOf(Index index) const { return index / bytesPerRow(); }
    [[nodiscard]] int columnOf(Index index) const { return int(index % bytesPerRow()) + 1; }
    // The byte a move from `index` selects; a page is `pageRows` rows. The result stays
    // within 0..last (0 when `last` is negative).
    [[nodiscard]] Index moved(Index index, GridMove move, Index pageRows, Index last) const;
    // Row label: the first byte's index in upper-case hexadecimal ("18" for row 1, P = 24).
    [[nodiscard]] QString rowLabel(Index row) const;

private:
    int m_columnCount;
    Index m_shownBytes;
};

// Z: the zero bytes at the document's end that "&Skip Zero's" hides, 0 when `skip` is
// off. Empty elements count as zeros; the whole length when every byte is zero.
[[nodiscard]] TrackDesignDocument::Index CountTrailingZeros(const TrackDesignDocument& document,
                                                            bool skip);

} // namespace railwright
