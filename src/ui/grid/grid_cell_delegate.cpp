#include "grid_cell_delegate.h"

#include <QPainter>

namespace railwright {

void GridCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const
{
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    const QPalette::ColorGroup group =
        option.state.testFlag(QStyle::State_Active) ? QPalette::Active : QPalette::Inactive;
    if (selected) {
        painter->fillRect(option.rect, option.palette.brush(group, QPalette::Highlight));
    } else if (const QVariant background = index.data(Qt::BackgroundRole);
               background.canConvert<QBrush>()) {
        painter->fillRect(option.rect, background.value<QBrush>());
    }
    const QString text = index.data(Qt::DisplayRole).toString();
    if (text.isEmpty()) {
        return;
    }
    const auto alignment = Qt::Alignment(index.data(Qt::TextAlignmentRole).toInt());
    // A little room from the grid lines, as the standard painting leaves.
    const QRect textRect = option.rect.adjusted(2, 1, -2, -1);
    const QStaticText& glyphs = staticText(text, option.font);
    const QSizeF size = glyphs.size();
    QPointF topLeft(textRect.left(), textRect.top());
    if (alignment.testFlag(Qt::AlignHCenter)) {
        topLeft.setX(textRect.left() + (textRect.width() - size.width()) / 2);
    }
    if (alignment.testFlag(Qt::AlignVCenter)) {
        topLeft.setY(textRect.top() + (textRect.height() - size.height()) / 2);
    }
    painter->save();
    painter->setFont(option.font);
    const QVariant foreground = index.data(Qt::ForegroundRole);
    painter->setPen(
        foreground.canConvert<QBrush>()
            ? foreground.value<QBrush>().color()
            : option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    painter->drawStaticText(topLeft, glyphs);
    painter->restore();
}

const QStaticText& GridCellDelegate::staticText(const QString& text, const QFont& font) const
{
    if (font != m_cachedFont) {
        m_texts.clear();
        m_cachedFont = font;
    }
    auto found = m_texts.find(text);
    if (found == m_texts.end()) {
        QStaticText glyphs(text);
        glyphs.setTextFormat(Qt::PlainText);
        glyphs.prepare(QTransform(), font);
        found = m_texts.insert(text, glyphs);
    }
    return *found;
}

} // namespace railwright
