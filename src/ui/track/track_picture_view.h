#pragma once

#include "render/track_scene.h"

#include <QWidget>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace railwright {

class ByteSelection;

// The Track panel's picture: the same drawing as `railwright-cli render`, fitted to the
// widget, zoomed with the wheel about the pointer and with + and -, moved by dragging and
// with the arrow keys, and picking the piece under a click. It marks the rows a
// ByteSelection holds, read as it paints. The side view gets a height scale in feet and
// metres from the track's lowest point. An open track's end is ringed with an arrow to
// where the next piece goes, and colliding pieces are ringed in red and joined.
class TrackPictureView : public QWidget
{
    Q_OBJECT

public:
    explicit TrackPictureView(QWidget* parent = nullptr);
    ~TrackPictureView() override;

    // Shows `scene` (nothing: an empty picture); the zoom stays. `lowestZ` is the height
    // (units) the side view's scale counts from.
    void setScene(std::unique_ptr<TrackScene> scene, int lowestZ = 0);
    [[nodiscard]] const TrackScene* scene() const { return m_scene.get(); }
    // Pairs of pieces that collide, ringed in the picture until the next scene.
    void setCollisions(std::vector<std::pair<std::size_t, std::size_t>> pairs);
    // Marks the rows `selection` holds, following its changes.
    void showRowsOf(const ByteSelection& selection);
    [[nodiscard]] double zoom() const { return m_zoom; }
    [[nodiscard]] QPointF pan() const { return m_pan; }
    // Back to the whole track in view.
    void fit();
    // Scene to widget as painted now.
    [[nodiscard]] QTransform sceneToWidget() const;

signals:
    // A click on piece `piece`; `extend` when Ctrl or Shift was held.
    void pieceClicked(std::size_t piece, bool extend);

protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Zooms by `factor` keeping the widget point `at` where it is.
    void zoomAbout(QPointF at, double factor);
    void paintHeightScale(QPainter& painter) const;
    // The open end and where the next piece goes, and the collisions.
    void paintConstructionMarks(QPainter& painter) const;
    std::unique_ptr<TrackScene> m_scene;
    const ByteSelection* m_selection = nullptr;
    double m_zoom = 1;
    QPointF m_pan; // widget pixels the zoomed picture is moved by
    int m_lowestZ = 0;
    std::vector<std::pair<std::size_t, std::size_t>> m_collisions;
    std::optional<QPointF> m_pressed; // where the left button went down, until it moves
    QPointF m_dragFrom;               // while dragging: the last pointer position
    bool m_dragging = false;
};

} // namespace railwright
