#pragma once

#include "render/track_scene.h"

#include <QWidget>
#include <memory>
#include <optional>

namespace railwright {

class ByteSelection;

// The Track panel's picture: the same drawing as `railwright-cli render`, fitted to the
// widget, zoomed with the wheel about the pointer, and picking the piece under a click.
// It marks the rows a ByteSelection holds, read as it paints.
class TrackPictureView : public QWidget
{
    Q_OBJECT

public:
    explicit TrackPictureView(QWidget* parent = nullptr);
    ~TrackPictureView() override;

    // Shows `scene` (nothing: an empty picture); the zoom stays.
    void setScene(std::unique_ptr<TrackScene> scene);
    // Marks the rows `selection` holds, following its changes.
    void showRowsOf(const ByteSelection& selection);
    [[nodiscard]] double zoom() const { return m_zoom; }
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

private:
    std::unique_ptr<TrackScene> m_scene;
    const ByteSelection* m_selection = nullptr;
    double m_zoom = 1;
    QPointF m_pan; // widget pixels the zoomed picture is moved by
};

} // namespace railwright
