#include "track_picture_view.h"

#include "codec/record_fields.h"
#include "codec/track_pieces.h"
#include "document/byte_selection.h"

#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace railwright {

namespace {

constexpr double Margin = 8;
constexpr double MinimumZoom = 0.25;
constexpr double MaximumZoom = 64;
constexpr double ZoomPerNotch = 1.25;
// Pixels a click may miss a piece's path by.
constexpr double PickPixels = 6;
// Pixels the pointer moves before a press becomes a drag rather than a click.
constexpr double DragPixels = 4;
// An arrow key moves the picture by this share of the widget.
constexpr double PanShare = 0.1;
// The game's land step is a metre and a half; the scale counts steps in feet and metres.
constexpr double MetresPerLandStep = 1.5;
// Ticks of the height scale are at least this many pixels apart.
constexpr double TickPixels = 28;
// The rings of the open end and of collisions, pixels across.
constexpr double MarkPixels = 14;

} // namespace

TrackPictureView::TrackPictureView(QWidget* parent) : QWidget(parent)
{
    setMinimumSize(160, 120);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setAutoFillBackground(false);
    // The arrow keys and + and - reach it once it is clicked or tabbed to.
    setFocusPolicy(Qt::StrongFocus);
    setToolTip(u"Drag or use the arrow keys to move, the wheel or + and - to zoom"_s);
}

TrackPictureView::~TrackPictureView() = default;

void TrackPictureView::setScene(std::unique_ptr<TrackScene> scene, int lowestZ)
{
    m_scene = std::move(scene);
    m_lowestZ = lowestZ;
    m_collisions.clear();
    update();
}

void TrackPictureView::showRowsOf(const ByteSelection& selection)
{
    m_selection = &selection;
    connect(&selection, &ByteSelection::rowsChanged, this, qOverload<>(&QWidget::update));
    update();
}

void TrackPictureView::fit()
{
    m_zoom = 1;
    m_pan = {};
    update();
}

QTransform TrackPictureView::sceneToWidget() const
{
    if (!m_scene) {
        return {};
    }
    QTransform zoom;
    zoom.translate(width() / 2.0 + m_pan.x(), height() / 2.0 + m_pan.y());
    zoom.scale(m_zoom, m_zoom);
    zoom.translate(-width() / 2.0, -height() / 2.0);
    // The side view keeps a strip on the left for its height scale, clear of the track.
    const double scale = m_scene->view() == TrackView::Side
                             ? fontMetrics().horizontalAdvance(u"000 ft (000.0 m)"_s) + 10
                             : 0;
    const QSizeF fitted(std::max(1.0, width() - scale), height());
    return m_scene->fitTransform(fitted, Margin) * QTransform::fromTranslate(scale, 0) * zoom;
}

void TrackPictureView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(246, 248, 242));
    if (!m_scene) {
        return;
    }
    std::vector<bool> marked;
    if (m_selection != nullptr) {
        for (const std::size_t row : m_selection->rows()) {
            marked.resize(std::max(marked.size(), row + 1), false);
            marked[row] = true;
        }
    }
    m_scene->paint(painter, sceneToWidget(), marked);
    paintConstructionMarks(painter);
    if (m_scene->view() == TrackView::Side) {
        paintHeightScale(painter);
    }
}

void TrackPictureView::setCollisions(std::vector<std::pair<std::size_t, std::size_t>> pairs)
{
    m_collisions = std::move(pairs);
    update();
}

void TrackPictureView::paintConstructionMarks(QPainter& painter) const
{
    const QTransform toWidget = sceneToWidget();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    if (const auto end = m_scene->openEnd()) {
        const QPointF at = toWidget.map(end->at);
        QPointF ahead = toWidget.map(end->next) - at;
        // At least a readable arrow, however far out the picture is zoomed.
        const double length = std::hypot(ahead.x(), ahead.y());
        if (length > 0 && length < MarkPixels * 2) {
            ahead *= MarkPixels * 2 / length;
        }
        painter.setPen(QPen(QColor(30, 110, 200), 2));
        painter.drawEllipse(at, MarkPixels / 2, MarkPixels / 2);
        painter.setPen(QPen(QColor(30, 110, 200), 2, Qt::DashLine));
        painter.drawLine(at, at + ahead);
        const double angle = std::atan2(ahead.y(), ahead.x());
        for (const double side : {2.6, -2.6}) {
            painter.drawLine(at + ahead,
                             at + ahead +
                                 QPointF(std::cos(angle + side), std::sin(angle + side)) *
                                     (MarkPixels / 2));
        }
    }
    painter.setPen(QPen(QColor(210, 30, 30), 2));
    for (const auto& [first, second] : m_collisions) {
        const auto a = m_scene->pieceCentre(first);
        const auto b = m_scene->pieceCentre(second);
        for (const auto& centre : {a, b}) {
            if (centre) {
                painter.drawEllipse(toWidget.map(*centre), MarkPixels / 2, MarkPixels / 2);
            }
        }
        if (a && b) {
            painter.drawLine(toWidget.map(*a), toWidget.map(*b));
        }
    }
    painter.restore();
}

// Ticks up the left edge at whole land steps, at least TickPixels apart, each labelled
// with its height above the track's lowest point in feet and metres.
void TrackPictureView::paintHeightScale(QPainter& painter) const
{
    const QTransform toWidget = sceneToWidget();
    const double pixelsPerStep =
        std::abs(toWidget.map(QPointF(0, 0)).y() - toWidget.map(QPointF(0, -LandStepUnits)).y());
    if (pixelsPerStep <= 0) {
        return;
    }
    int steps = 1;
    for (const int candidate : {1, 2, 5, 10, 20, 50, 100, 200, 500}) {
        steps = candidate;
        if (candidate * pixelsPerStep >= TickPixels) {
            break;
        }
    }
    const auto yOf = [&](int step) {
        return toWidget.map(QPointF(0, -(m_lowestZ + step * LandStepUnits))).y();
    };
    // y falls as the height rises: the steps in view lie between these.
    const double y0 = yOf(0);
    const int first = int(std::floor((y0 - height()) / pixelsPerStep / steps)) * steps;
    const int last = int(std::ceil(y0 / pixelsPerStep / steps)) * steps;
    const QLocale locale;
    const QFontMetrics metrics = painter.fontMetrics();
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QColor ink(70, 70, 70);
    painter.setPen(ink);
    painter.drawLine(QPointF(2, 0), QPointF(2, height()));
    for (int step = first; step <= last; step += steps) {
        const double y = yOf(step);
        if (y < 0 || y > height()) {
            continue;
        }
        const double metres = step * MetresPerLandStep;
        const QString label =
            u"%1 ft (%2 m)"_s.arg(locale.toString(metres / record::MetresPerFoot, 'f', 0),
                                  locale.toString(metres, 'f', 1));
        const QRectF box(6, y - metrics.height() / 2.0, metrics.horizontalAdvance(label) + 4,
                         metrics.height());
        painter.fillRect(box, QColor(246, 248, 242, 210));
        painter.drawLine(QPointF(2, y), QPointF(6, y));
        painter.drawText(box.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, label);
    }
}

void TrackPictureView::wheelEvent(QWheelEvent* event)
{
    const double notches = event->angleDelta().y() / 120.0;
    if (notches == 0 || !m_scene) {
        return;
    }
    // The point under the pointer stays where it is.
    zoomAbout(event->position(), std::pow(ZoomPerNotch, notches));
    event->accept();
}

void TrackPictureView::zoomAbout(QPointF at, double factor)
{
    const double old = m_zoom;
    m_zoom = std::clamp(m_zoom * factor, MinimumZoom, MaximumZoom);
    const QPointF centre(width() / 2.0, height() / 2.0);
    m_pan = at - centre - (at - centre - m_pan) * (m_zoom / old);
    update();
}

void TrackPictureView::keyPressEvent(QKeyEvent* event)
{
    const QPointF centre(width() / 2.0, height() / 2.0);
    const double stepX = width() * PanShare;
    const double stepY = height() * PanShare;
    switch (event->key()) {
    case Qt::Key_Left:
        m_pan += QPointF(stepX, 0);
        break;
    case Qt::Key_Right:
        m_pan -= QPointF(stepX, 0);
        break;
    case Qt::Key_Up:
        m_pan += QPointF(0, stepY);
        break;
    case Qt::Key_Down:
        m_pan -= QPointF(0, stepY);
        break;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        zoomAbout(centre, ZoomPerNotch);
        break;
    case Qt::Key_Minus:
        zoomAbout(centre, 1 / ZoomPerNotch);
        break;
    case Qt::Key_Home:
        fit();
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    update();
    event->accept();
}

void TrackPictureView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        return;
    }
    setFocus(Qt::MouseFocusReason);
    m_pressed = event->position();
    m_dragFrom = event->position();
    m_dragging = false;
}

void TrackPictureView::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_pressed || !(event->buttons() & Qt::LeftButton)) {
        return;
    }
    if (!m_dragging && (event->position() - *m_pressed).manhattanLength() < DragPixels) {
        return;
    }
    m_dragging = true;
    setCursor(Qt::ClosedHandCursor);
    m_pan += event->position() - m_dragFrom;
    m_dragFrom = event->position();
    update();
}

// A press and release without a drag between picks the piece there.
void TrackPictureView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !m_pressed) {
        return;
    }
    const bool dragged = m_dragging;
    m_pressed.reset();
    m_dragging = false;
    unsetCursor();
    if (dragged || !m_scene) {
        return;
    }
    bool invertible = false;
    const QTransform toScene = sceneToWidget().inverted(&invertible);
    if (!invertible) {
        return;
    }
    const double scale = std::max(std::hypot(toScene.m11(), toScene.m12()),
                                  std::hypot(toScene.m21(), toScene.m22()));
    if (const auto piece = m_scene->pieceAt(toScene.map(event->position()), PickPixels * scale)) {
        emit pieceClicked(*piece,
                          (event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier)) != 0);
    }
}

} // namespace railwright
