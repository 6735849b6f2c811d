#pragma once

#include "document/track_design_document.h"
#include "ui/grid/display_mode.h"

#include <QColor>
#include <QFont>
#include <QGlyphRun>
#include <QHash>
#include <QImage>
#include <QList>
#include <QTableView>
#include <array>

namespace railwright {

class GridModel;

// The byte grid. It paints the visible cells itself, straight from the document, as
// copies of cells drawn once per text: the generic painting asks the model and the
// style for every cell and blends every glyph anew, which made a repaint cost several
// times more for a long document (full rows) than for a short one. Grid lines are
// drawn solid whatever gridStyle() says. Everything else (geometry, hit tests, mouse
// handling) is the table view's own.
class GridView : public QTableView
{
    Q_OBJECT

public:
    // Shows `model`, which must outlive the view; headers are hidden.
    explicit GridView(GridModel* model, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // What a cell is drawn on.
    enum class Background
    {
        Plain,
        Label,
        Tinted, // a byte of the field the design panel points at
    };
    // A cell text laid out once (glyphs relative to the text's top-left corner), and
    // the whole cell, grid lines included, drawn with it on first use: on its plain (or
    // label) background and on the tint.
    struct CellText
    {
        QList<QGlyphRun> runs;
        QSizeF size;
        QImage image;
        QImage tintedImage;
    };
    // What the cached cells were drawn with.
    struct CellColours
    {
        QColor background;
        QColor label;
        QColor text;
        QColor grid;
        QColor tint;
        bool operator==(const CellColours&) const = default;
    };
    // Byte texts depend only on the value (256 = empty element) and the display mode.
    struct ModeTexts
    {
        std::array<CellText, 257> texts;
        std::array<bool, 257> ready{};
    };

    CellText& labelText(const QString& text);
    CellText& byteText(ModeTexts& cache, TrackDesignDocument::Index index) const;
    CellText layOut(const QString& text) const;
    void dropCachesIfStale(const CellColours& colours);
    // Where a text starts in a cell of `section` size (grid line included).
    [[nodiscard]] QPointF textOffset(const CellText& text, QSize section, bool isLabel) const;
    const QImage& cellImage(CellText& text, QSize section, Background background) const;
    void drawGridLines(QPainter& painter, const QRect& section) const;

    GridModel* m_model;
    // All modes are kept, so that switching back and forth lays out nothing anew.
    std::array<ModeTexts, 3> m_byteTexts;
    QHash<QString, CellText> m_labelTexts;
    CellText m_blank; // a cell past the document's end
    QFont m_cachedFont;
    CellColours m_cachedColours;
};

} // namespace railwright
