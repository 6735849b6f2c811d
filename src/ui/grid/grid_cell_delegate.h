#pragma once

#include <QHash>
#include <QStaticText>
#include <QStyledItemDelegate>

namespace railwright {

// Paints a grid cell as plain text on its background. The cells hold at most three
// characters and never wrap, elide or carry icons, so the general item painting (a
// text layout per cell) would cost several times more per repaint.
class GridCellDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    // The grid shows few distinct texts (256 values in three modes, row labels), so
    // their laid-out glyphs are kept; the cache is dropped when the font changes.
    const QStaticText& staticText(const QString& text, const QFont& font) const;

    mutable QHash<QString, QStaticText> m_texts;
    mutable QFont m_cachedFont;
};

} // namespace railwright
