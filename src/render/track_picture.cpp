#include "track_picture.h"

#include <QPainter>
#include <algorithm>

namespace railwright {

namespace {

const QColor Background(246, 248, 242);
constexpr double MarginShare = 0.04;
constexpr int ShortestShare = 8;

} // namespace

QSize TrackPictureSize(const TrackScene& scene, int longerSide)
{
    longerSide = std::max(longerSide, 1);
    const QRectF bounds = scene.bounds();
    const double aspect = scene.view() == TrackView::Side
                              ? 2.0
                              : std::max(bounds.width(), 1.0) / std::max(bounds.height(), 1.0);
    const int shortest = std::max(1, longerSide / ShortestShare);
    if (aspect >= 1) {
        return {longerSide,
                std::clamp(int(std::lround(longerSide / aspect)), shortest, longerSide)};
    }
    return {std::clamp(int(std::lround(longerSide * aspect)), shortest, longerSide), longerSide};
}

QImage DrawTrackPicture(ByteView record, TrackView view, int longerSide, int quarterTurns)
{
    const TrackList list = ReadTrackList(record);
    return DrawTrackPicture(list, WalkTrack(list), record, view, longerSide, quarterTurns);
}

QImage DrawTrackPicture(const TrackList& list, const TrackWalk& walk, ByteView record,
                        TrackView view, int longerSide, int quarterTurns)
{
    const TrackScene scene(list, walk, ReadRideLook(record, list.layout), view, quarterTurns);
    const QSize size = TrackPictureSize(scene, longerSide);
    // Opaque: the PNG needs no alpha channel.
    QImage image(size, QImage::Format_RGB32);
    image.fill(Background);
    QPainter painter(&image);
    const double margin = std::max(2.0, std::max(size.width(), size.height()) * MarginShare);
    scene.paint(painter, scene.fitTransform(QSizeF(size), margin));
    painter.end();
    return image;
}

} // namespace railwright
