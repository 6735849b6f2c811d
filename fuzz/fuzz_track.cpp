// Reading, walking and drawing the track of any record never crashes, never hangs and
// stays within bounds: at most 4,000 pieces (2,000 maze entries), every piece placed or
// skipped, heights within what 4,000 of the steepest pieces can reach, and a picture of
// the requested size in each view.
//
// Input: the decoded record itself.
#include "codec/track_pieces.h"
#include "render/track_picture.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

using namespace railwright;

void require(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

// No piece rises or falls more than 300 units.
constexpr int HeightBound = 4000 * 300;
constexpr int PictureSize = 40;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const ByteView record(data, size);
    const TrackList list = ReadTrackList(record);
    require(list.pieces.size() <= MaxTrackPieces);
    require(list.mazeEntries.size() <= MaxTrackPieces / 2);
    const TrackWalk walk = WalkTrack(list);
    if (!list.maze) {
        require(walk.starts.size() == list.pieces.size());
        require(walk.firstTile.size() == list.pieces.size() + 1);
        require(walk.tiles.size() <= list.pieces.size() * 16);
    }
    require(std::abs(walk.footprint.minZ) <= HeightBound);
    require(std::abs(walk.footprint.maxZ) <= HeightBound);
    require(!TrackSummary(list, walk).empty());
    for (const TrackView view : {TrackView::Plan, TrackView::Side, TrackView::Iso}) {
        const QImage image = DrawTrackPicture(list, walk, record, view, PictureSize, int(size % 4));
        require(std::max(image.width(), image.height()) == PictureSize);
    }
    return 0;
}
