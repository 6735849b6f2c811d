// Random sequences of piece-list edits on any record never crash, and each one either
// changes nothing (refused) or leaves a list closed by its end marker, with every byte
// outside the list's old and new extent as it was and the bytes it gave up zero. The offers, the
// closing runs and the collisions of every list in between are computed too.
//
// Input: byte 0 picks the layout (bit 0: expansion) and seeds the list; the first half of
// the rest fills the list area; the second half is edits of four bytes each (kind, index
// low and high, count), each followed by `count` piece codes for an insert or replace.
#include "codec/track_construction.h"

#include <algorithm>
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

// Where the list ends: its pieces and the end marker, or the record's end without one.
std::size_t ListEnd(const TrackList& list, std::size_t recordSize)
{
    return std::min(recordSize,
                    list.start + list.pieces.size() * TrackPieceBytes + (list.endMarker ? 1 : 0));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1) {
        return 0;
    }
    const bool expansion = (data[0] & 1) != 0;
    // Short records too: a list with no room, or room for a few pieces.
    const std::size_t length = (data[0] & 2) != 0 ? 0x38 + (data[0] >> 2) : expansion ? 8198 : 8058;
    ByteBuffer record(length, 0);
    record[0] = data[0] >> 3; // a ride type; 0x14, the hedge maze, for A0-A7
    if (length > 7) {
        record[7] = expansion ? 0x04 : 0x00;
    }
    const std::size_t rest = size - 1;
    const std::size_t listBytes = rest / 2;
    const std::size_t start = expansion && length > 0xC4 ? 0xC4 : 0x38;
    for (std::size_t i = 0; i < listBytes && start + i < length; ++i) {
        record[start + i] = data[1 + i];
    }
    for (std::size_t at = 1 + listBytes; at + 4 <= size;) {
        PieceListEdit edit;
        edit.kind = PieceListEdit::Kind(data[at] % 3);
        edit.index = std::size_t(data[at + 1] | data[at + 2] << 8) % 4100;
        edit.count = data[at + 3] % 8;
        at += 4;
        if (edit.kind != PieceListEdit::Kind::Delete) {
            for (std::size_t c = 0; c < edit.count && at < size; ++c, ++at) {
                edit.codes.push_back(data[at]);
            }
        }
        const TrackList before = ReadTrackList(record);
        const ByteBuffer original = record;
        const auto refusal = ApplyPieceListEdit(record, edit);
        require(record.size() == original.size());
        if (refusal) {
            require(!refusal->empty());
            require(record == original);
            continue;
        }
        const TrackList after = ReadTrackList(record);
        require(!after.maze && after.endMarker);
        const std::size_t first = before.start;
        const std::size_t last = std::max(ListEnd(before, length), ListEnd(after, length));
        require(
            std::equal(record.begin(), record.begin() + std::ptrdiff_t(first), original.begin()));
        require(std::equal(record.begin() + std::ptrdiff_t(last), record.end(),
                           original.begin() + std::ptrdiff_t(last)));
        // What the list gave up is zero, as the rest of a record is.
        require(std::all_of(record.begin() + std::ptrdiff_t(ListEnd(after, length)),
                            record.begin() + std::ptrdiff_t(last),
                            [](std::uint8_t byte) { return byte == 0; }));
        const TrackWalk walk = WalkTrack(after);
        (void)FittingPieces(after, after.pieces.size(), PieceChoice::Insert);
        (void)FittingPieces(after, edit.index % (after.pieces.size() + 1), PieceChoice::Replace);
        (void)ClosingPieces(after, walk);
        const TrackCollisions collisions = FindCollisions(after, walk, 32);
        for (const TrackCollision& crossing : collisions.crossings) {
            require(crossing.first < crossing.second && crossing.second < after.pieces.size());
        }
    }
    return 0;
}
