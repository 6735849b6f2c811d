#include "palette_swatch_button.h"

#include "report/field_text.h"
#include "settings/setting_bytes.h"
#include "ui/settings/palette_dialog.h"

#include <QPainter>
#include <QStyleOptionFocusRect>

using namespace Qt::StringLiterals;

namespace railwright {

namespace {

constexpr int Padding = 3;

// Wide enough for every name, so the layout does not move when a colour changes;
// measured once per font, as every swatch of the panel asks.
int WidestNameWidth(const QFont& font)
{
    static QFont measuredFont;
    static int widest = -1;
    if (widest < 0 || font != measuredFont) {
        const QFontMetrics metrics(font);
        widest = 0;
        for (int code = 0; code < PaletteSize; ++code) {
            widest = std::max(widest, metrics.horizontalAdvance(PaletteColorName(code)));
        }
        measuredFont = font;
    }
    return widest;
}

} // namespace

PaletteSwatchButton::PaletteSwatchButton(QWidget* parent) : QAbstractButton(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    // Narrower than the longest name when the panel is: the name is elided then.
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setCode(0);
}

void PaletteSwatchButton::setCode(int code)
{
    m_code = code;
    setText(PaletteColorName(code));
    // A narrow panel elides the name on screen; a screen reader gets it whole.
    setAccessibleName(text());
    updateToolTip();
    update();
}

void PaletteSwatchButton::setWarning(const QString& warning)
{
    if (warning != m_warning) {
        m_warning = warning;
        updateToolTip();
        update();
    }
}

void PaletteSwatchButton::updateToolTip()
{
    QString tip = text() + u" (code %1): click to choose from the palette"_s.arg(m_code);
    if (!m_warning.isEmpty()) {
        tip = m_warning + u'\n' + tip;
    }
    setToolTip(tip);
}

QSize PaletteSwatchButton::sizeHint() const
{
    const int square = fontMetrics().height();
    return {Padding * 3 + square + WidestNameWidth(font()), square + Padding * 2};
}

QSize PaletteSwatchButton::minimumSizeHint() const
{
    // A narrow panel elides the name; the tooltip still gives it whole.
    const QFontMetrics metrics = fontMetrics();
    return {Padding * 3 + metrics.height() + metrics.averageCharWidth() * 5,
            metrics.height() + Padding * 2};
}

void PaletteSwatchButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const int square = height() - Padding * 2;
    const QRect swatch(Padding, Padding, square, square);
    const QColor color = PaletteColor(m_code);
    painter.fillRect(swatch, color.isValid() ? QBrush(color) : QBrush(Qt::gray, Qt::BDiagPattern));
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    painter.drawRect(swatch.adjusted(0, 0, -1, -1));
    QRect textRect = rect().adjusted(swatch.right() + Padding * 2, 0, 0, 0);
    if (!m_warning.isEmpty()) {
        const QRect mark(width() - square - Padding, Padding, square, square);
        style()->standardIcon(QStyle::SP_MessageBoxWarning).paint(&painter, mark);
        textRect.setRight(mark.left() - Padding);
    }
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter,
                     fontMetrics().elidedText(text(), Qt::ElideRight, textRect.width()));
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

} // namespace railwright
