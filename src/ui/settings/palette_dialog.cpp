#include "ui/settings/palette_dialog.h"

#include "codec/palette.h"
#include "report/field_text.h"

#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QPainter>
#include <QPen>
#include <QPointer>
#include <QPushButton>
#include <memory>

namespace railwright {

using namespace Qt::StringLiterals;

namespace {

constexpr int Columns = 8;

// Positions and sizes in twips, the unit the layout was drawn in.
constexpr int ClientWidth = 5040;
constexpr int ClientHeight = 1890;
constexpr int SwatchMargin = 75;
constexpr int SwatchPitch = 450;
constexpr int SwatchSize = 390;
constexpr QRect FrameRect(3675, 0, 1290, 1815);
constexpr QRect FinalColorRect(75, 225, 1140, 570);
constexpr QRect OkRect(75, 870, 1140, 420);
constexpr QRect CancelRect(75, 1335, 1140, 420);

constexpr double TwipsPerInch = 1440.0;
constexpr double MinimumTitlePointSize = 6.0;

} // namespace

QColor PaletteColor(int index)
{
    if (index < 0 || index >= int(PaletteRgb.size())) {
        return {};
    }
    const auto& rgb = PaletteRgb[std::size_t(index)];
    return QColor(rgb[0], rgb[1], rgb[2]);
}

ColorField::ColorField(QWidget* parent) : QFrame(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
}

void ColorField::setColor(const QColor& color)
{
    if (m_color == color) {
        return;
    }
    m_color = color;
    update();
}

void ColorField::paintEvent(QPaintEvent* event)
{
    {
        QPainter painter(this);
        painter.fillRect(contentsRect(), m_color);
    }
    QFrame::paintEvent(event);
}

ColorSwatch::ColorSwatch(int index, QWidget* parent)
    : QAbstractButton(parent), m_color(PaletteColor(index))
{
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    const QString name =
        PaletteColorName(index) + u" (%1)"_s.arg(index, 2, 16, QLatin1Char('0')).toUpper();
    setToolTip(name);
    setAccessibleName(name);
}

void ColorSwatch::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect area = rect();
    painter.fillRect(area, m_color);
    // A thin sunken edge keeps pale swatches apart from the window's background.
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawLine(area.topLeft(), area.topRight());
    painter.drawLine(area.topLeft(), area.bottomLeft());
    painter.setPen(palette().color(QPalette::Light));
    painter.drawLine(area.bottomLeft(), area.bottomRight());
    painter.drawLine(area.topRight(), area.bottomRight());
    if (hasFocus()) {
        // A double ring, dark and light, shows on every colour of the palette.
        painter.setPen(QPen(Qt::black, 2));
        painter.drawRect(area.adjusted(1, 1, -1, -1));
        painter.setPen(QPen(Qt::white, 1));
        painter.drawRect(area.adjusted(3, 3, -4, -4));
    }
}

PaletteDialog::PaletteDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(u"Colors"_s);
    setWindowTitle(u"Colors"_s);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    for (int i = 0; i < int(m_swatches.size()); ++i) {
        auto* swatch = new ColorSwatch(i, this);
        swatch->setObjectName(u"Colors_%1"_s.arg(i));
        connect(swatch, &QAbstractButton::clicked, this, [this, i] { chooseSwatch(i); });
        swatch->installEventFilter(this);
        m_swatches[std::size_t(i)] = swatch;
    }

    m_frame = new QGroupBox(u"Selected Color"_s, this);
    m_frame->setObjectName(u"Frame1"_s);

    m_finalColor = new ColorField(m_frame);
    m_finalColor->setObjectName(u"FinalColor"_s);
    m_finalColor->setColor(PaletteColor(0));

    m_ok = new QPushButton(u"Ok"_s, m_frame);
    m_ok->setObjectName(u"Ok"_s);
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);

    m_cancel = new QPushButton(u"Cancel"_s, m_frame);
    m_cancel->setObjectName(u"Cancel"_s);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    layOut();
}

bool PaletteDialog::eventFilter(QObject* watched, QEvent* event)
{
    const auto found = std::find(m_swatches.begin(), m_swatches.end(), watched);
    if (found == m_swatches.end()) {
        return QDialog::eventFilter(watched, event);
    }
    const int index = int(found - m_swatches.begin());
    if (event->type() == QEvent::MouseButtonDblClick) {
        chooseSwatch(index);
        accept();
        return true;
    }
    if (event->type() != QEvent::KeyPress) {
        return QDialog::eventFilter(watched, event);
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & ~Qt::KeypadModifier) {
        return QDialog::eventFilter(watched, event);
    }
    const int rows = int(m_swatches.size()) / Columns;
    int row = index / Columns;
    int column = index % Columns;
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        chooseSwatch(index);
        accept();
        return true;
    case Qt::Key_Left:
        column = (column + Columns - 1) % Columns;
        break;
    case Qt::Key_Right:
        column = (column + 1) % Columns;
        break;
    case Qt::Key_Up:
        row = (row + rows - 1) % rows;
        break;
    case Qt::Key_Down:
        row = (row + 1) % rows;
        break;
    default:
        return QDialog::eventFilter(watched, event);
    }
    // Moving is choosing: the preview follows the focus.
    const int next = row * Columns + column;
    m_swatches[std::size_t(next)]->setFocus(Qt::TabFocusReason);
    chooseSwatch(next);
    return true;
}

void PaletteDialog::layOut()
{
    const double dpi = logicalDpiX() > 0 ? logicalDpiX() : 96;
    const auto px = [dpi](int twips) { return qRound(twips * dpi / TwipsPerInch); };
    const auto pxRect = [&px](const QRect& twips) {
        return QRect(px(twips.left()), px(twips.top()), px(twips.width()), px(twips.height()));
    };

    setFixedSize(px(ClientWidth), px(ClientHeight));
    for (int i = 0; i < int(m_swatches.size()); ++i) {
        const int row = i / Columns;
        const int column = i % Columns;
        m_swatches[std::size_t(i)]->setGeometry(px(SwatchMargin + SwatchPitch * column),
                                                px(SwatchMargin + SwatchPitch * row),
                                                px(SwatchSize), px(SwatchSize));
    }
    m_frame->setGeometry(pxRect(FrameRect));
    m_finalColor->setGeometry(pxRect(FinalColorRect));
    m_ok->setGeometry(pxRect(OkRect));
    m_cancel->setGeometry(pxRect(CancelRect));
    fitFrameTitle();
}

void PaletteDialog::fitFrameTitle()
{
    // The layout was drawn for a narrow 8-point system font; wider fonts would cut the
    // frame's caption, so its font shrinks until the caption fits beside the frame's
    // indent on either side.
    const int room = m_frame->width() - 2 * m_finalColor->x();
    QFont font = m_frame->font();
    while (font.pointSizeF() > MinimumTitlePointSize &&
           QFontMetrics(font).horizontalAdvance(m_frame->title()) > room) {
        font.setPointSizeF(font.pointSizeF() - 0.5);
    }
    m_frame->setFont(font);
    // The children keep the dialog's font.
    m_finalColor->setFont(this->font());
    m_ok->setFont(this->font());
    m_cancel->setFont(this->font());

    // The caption sits on the frame's top line, as the layout expects: the preview
    // starts just below the caption, not below a line drawn under it.
    const QFontMetrics metrics(font);
    m_frame->setStyleSheet(u"QGroupBox#Frame1 { border: 1px solid palette(mid);"
                           " border-radius: 2px; margin-top: %1px; }"
                           "QGroupBox#Frame1::title { subcontrol-origin: margin;"
                           " subcontrol-position: top left; left: %2px;"
                           " padding: 0px 2px; }"_s.arg(metrics.height() / 2)
                               .arg(qMax(0, m_finalColor->x() - 2)));
}

int PaletteDialog::pickColor(int current)
{
    const int start = current >= 0 && current < int(m_swatches.size()) ? current : 0;
    chooseSwatch(start);
    // The keys start on the field's own colour.
    m_swatches[std::size_t(start)]->setFocus(Qt::OtherFocusReason);
    return exec() == QDialog::Accepted ? m_colorCode : -1;
}

QColor PaletteDialog::previewColor() const
{
    return m_finalColor->color();
}

void PaletteDialog::chooseSwatch(int index)
{
    m_finalColor->setColor(m_swatches[std::size_t(index)]->color());
    m_colorCode = index;
}

ColorPicker PaletteDialogPicker(QWidget* parent)
{
    // A dialog without a parent goes with the last copy of the picker; one with a parent
    // goes with its parent, whichever goes first.
    struct Kept
    {
        QPointer<PaletteDialog> dialog;
        ~Kept()
        {
            if (dialog != nullptr && dialog->parent() == nullptr) {
                delete dialog;
            }
        }
    };
    auto kept = std::make_shared<Kept>();
    return [kept, parent = QPointer<QWidget>(parent)](int current) {
        if (kept->dialog == nullptr) {
            kept->dialog = new PaletteDialog(parent);
        }
        return kept->dialog->pickColor(current);
    };
}

} // namespace railwright
