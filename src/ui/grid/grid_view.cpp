#include "grid_view.h"

#include "ui/grid/byte_editing.h"
#include "ui/grid/grid_model.h"

#include <QHeaderView>
#include <QPaintEvent>
#include <QPainter>
#include <QStyleOptionViewItem>
#include <QTextLayout>

namespace railwright {

GridView::GridView(GridModel* model, QWidget* parent) : QTableView(parent), m_model(model)
{
    // The headers are hidden and fixed before the model arrives, so that no header
    // measures its sections' contents at start-up.
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setMinimumSectionSize(0);
    verticalHeader()->setMinimumSectionSize(0);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setModel(model);
}

void GridView::paintEvent(QPaintEvent* event)
{
    const QRect area = event->rect();
    const int firstRow = rowAt(area.top());
    const int firstColumn = columnAt(area.left());
    if (firstRow < 0 || firstColumn < 0) {
        return;
    }
    const int lastRow = rowAt(area.bottom()) < 0 ? m_model->rowCount() - 1 : rowAt(area.bottom());
    const int lastColumn =
        columnAt(area.right()) < 0 ? m_model->columnCount() - 1 : columnAt(area.right());

    // The model's colours for the label column and the selected byte (it hands them
    // out through its roles), the item views' text colour and the style's grid colour.
    const QPalette modelColours;
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    dropCachesIfStale(
        {viewport()->palette().color(viewport()->backgroundRole()),
         modelColours.color(QPalette::Button),
         palette().color(window()->isActiveWindow() ? QPalette::Active : QPalette::Inactive,
                         QPalette::Text),
         QColor::fromRgba(QRgb(style()->styleHint(QStyle::SH_Table_GridLineColor, &option, this))),
         GridModel::tintColor()});

    const GridGeometry& geometry = m_model->geometry();
    const auto selected = m_model->selectedIndex();
    ModeTexts& byteTexts = m_byteTexts[std::size_t(m_model->displayMode()) - 1];
    QPainter painter(viewport());
    for (int row = firstRow; row <= lastRow; ++row) {
        const int top = rowViewportPosition(row);
        const int height = rowHeight(row);
        for (int column = firstColumn; column <= lastColumn; ++column) {
            const QRect section(columnViewportPosition(column), top, columnWidth(column), height);
            if (column == 0) {
                painter.drawImage(section.topLeft(), cellImage(labelText(geometry.rowLabel(row)),
                                                               section.size(), Background::Label));
                continue;
            }
            const auto index = geometry.indexAt(row, column);
            CellText& text = index < geometry.shownBytes() ? byteText(byteTexts, index) : m_blank;
            if (index != selected) {
                const Background background =
                    m_model->isTinted(index) ? Background::Tinted : Background::Plain;
                painter.drawImage(section.topLeft(), cellImage(text, section.size(), background));
                continue;
            }
            const int gridSize = showGrid() ? 1 : 0;
            painter.fillRect(section.adjusted(0, 0, -gridSize, -gridSize),
                             modelColours.brush(QPalette::Highlight));
            painter.setPen(modelColours.color(QPalette::HighlightedText));
            const QPointF origin = section.topLeft() + textOffset(text, section.size(), false);
            for (const QGlyphRun& run : text.runs) {
                painter.drawGlyphRun(origin, run);
            }
            drawGridLines(painter, section);
        }
    }
}

GridView::CellText& GridView::labelText(const QString& text)
{
    auto found = m_labelTexts.find(text);
    if (found == m_labelTexts.end()) {
        // Labels change with the layout; keep the cache from growing without end.
        if (m_labelTexts.size() > 8192) {
            m_labelTexts.clear();
        }
        found = m_labelTexts.insert(text, layOut(text));
    }
    return *found;
}

GridView::CellText& GridView::byteText(ModeTexts& cache, TrackDesignDocument::Index index) const
{
    const TrackDesignDocument& document = m_model->document();
    const std::size_t slot = document.isEmptyElement(index) ? 256 : document.valueAt(index);
    if (!cache.ready[slot]) {
        cache.texts[slot] = layOut(CellDisplayText(document, index, m_model->displayMode()));
        cache.ready[slot] = true;
    }
    return cache.texts[slot];
}

GridView::CellText GridView::layOut(const QString& text) const
{
    QTextLayout layout(text, font());
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (!line.isValid()) {
        layout.endLayout();
        return {};
    }
    line.setLeadingIncluded(true);
    layout.endLayout();
    line.setPosition(QPointF());
    return {layout.glyphRuns(), QSizeF(line.naturalTextWidth(), line.height()), QImage(), QImage()};
}

void GridView::dropCachesIfStale(const CellColours& colours)
{
    if (font() == m_cachedFont && colours == m_cachedColours) {
        return;
    }
    m_cachedFont = font();
    m_cachedColours = colours;
    m_labelTexts.clear();
    m_byteTexts = {};
    m_blank = {};
}

QPointF GridView::textOffset(const CellText& text, QSize section, bool isLabel) const
{
    const int gridSize = showGrid() ? 1 : 0;
    // A little room from the grid lines, as the standard painting leaves.
    const QRect textRect = QRect(QPoint(), section).adjusted(2, 1, -2 - gridSize, -1 - gridSize);
    if (isLabel) {
        return textRect.topLeft();
    }
    return {textRect.left() + (textRect.width() - text.size.width()) / 2,
            textRect.top() + (textRect.height() - text.size.height()) / 2};
}

const QImage& GridView::cellImage(CellText& text, QSize section, Background background) const
{
    const qreal ratio = devicePixelRatioF();
    const bool isLabel = background == Background::Label;
    QImage& cached = background == Background::Tinted ? text.tintedImage : text.image;
    if (cached.deviceIndependentSize() != QSizeF(section) || cached.devicePixelRatio() != ratio) {
        // Drawn on the cell's own background, so that the copy is opaque and a repaint
        // copies pixels instead of blending each glyph anew.
        QImage image(section * ratio, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        image.fill(isLabel                            ? m_cachedColours.label
                   : background == Background::Tinted ? m_cachedColours.tint
                                                      : m_cachedColours.background);
        QPainter painter(&image);
        painter.setPen(m_cachedColours.text);
        const QPointF origin = textOffset(text, section, isLabel);
        for (const QGlyphRun& run : text.runs) {
            painter.drawGlyphRun(origin, run);
        }
        drawGridLines(painter, QRect(QPoint(), section));
        painter.end();
        cached = image.convertToFormat(QImage::Format_RGB32);
    }
    return cached;
}

void GridView::drawGridLines(QPainter& painter, const QRect& section) const
{
    // The table view's lines: the last pixel column and row of every cell.
    if (showGrid()) {
        painter.fillRect(section.right(), section.top(), 1, section.height(), m_cachedColours.grid);
        painter.fillRect(section.left(), section.bottom(), section.width(), 1,
                         m_cachedColours.grid);
    }
}

} // namespace railwright
