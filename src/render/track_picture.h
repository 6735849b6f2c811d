#pragma once

#include "render/track_scene.h"

#include <QImage>

namespace railwright {

// The size of a picture whose longer side is `longerSide` pixels: the scene's
// proportions (the side view 2:1), the shorter side at least an eighth of the longer.
[[nodiscard]] QSize TrackPictureSize(const TrackScene& scene, int longerSide);

// Draws a decoded record's ride (or maze) on a light ground, with no text: reads the
// list, walks it and paints it with its supports and trains. Never fails: a damaged list draws what
// can be placed.
[[nodiscard]] QImage DrawTrackPicture(ByteView record, TrackView view, int longerSide,
                                      int quarterTurns = 0);

// The same from a list already read and walked.
[[nodiscard]] QImage DrawTrackPicture(const TrackList& list, const TrackWalk& walk, ByteView record,
                                      TrackView view, int longerSide, int quarterTurns = 0);

} // namespace railwright
