#include "track_picture_view.h"

#include "document/byte_selection.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace railwright {

namespace {

constexpr double Margin = 8;
constexpr double MinimumZoom = 0.25;
constexpr double MaximumZoom = 64;
constexpr double ZoomPerNotch = 1.25;
// Pixels a click may miss a piece's path by.
constexpr double PickPixels = 6;

} // namespace

TrackPictureView::TrackPictureView(QWidget* parent) : QWidget(parent)
{
    setMinimumSize(160, 120);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setAutoFillBackground(false);
}

TrackPictureView::~TrackPictureView() = default;

void TrackPictureView::setScene(std::unique_ptr<TrackScene> scene)
{
    m_scene = std::move(scene);
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
    return m_scene->fitTransform(QSizeF(size()), Margin) * zoom;
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
}

void TrackPictureView::wheelEvent(QWheelEvent* event)
{
    const double notches = event->angleDelta().y() / 120.0;
    if (notches == 0 || !m_scene) {
        return;
    }
    // The point under the pointer stays where it is.
    const QPointF at = event->position();
    const double old = m_zoom;
    m_zoom = std::clamp(m_zoom * std::pow(ZoomPerNotch, notches), MinimumZoom, MaximumZoom);
    const QPointF centre(width() / 2.0, height() / 2.0);
    m_pan = at - centre - (at - centre - m_pan) * (m_zoom / old);
    update();
    event->accept();
}

void TrackPictureView::mousePressEvent(QMouseEvent* event)
{
    if (!m_scene || event->button() != Qt::LeftButton) {
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
