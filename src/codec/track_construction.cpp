#include "track_construction.h"

#include "track_piece_table.h"

#include <algorithm>
#include <array>
#include <tuple>

namespace railwright {

namespace {

constexpr int PitchCount = int(TrackPitch::ReverseFreefall) + 1;
constexpr int RollCount = int(TrackRoll::UpsideDown) + 1;
constexpr std::size_t JoinCount = std::size_t(PitchCount * RollCount * 2);

std::size_t JoinSlot(const TrackJoin& join)
{
    return std::size_t((int(join.pitch) * RollCount + int(join.roll)) * 2 +
                       (join.diagonal ? 1 : 0));
}

TrackJoin StartOf(const TrackPieceShape& shape)
{
    return {shape.pitchStart, shape.rollStart, (shape.beginDir & 4) != 0};
}

TrackJoin EndOf(const TrackPieceShape& shape)
{
    return {shape.pitchEnd, shape.rollEnd, (shape.endDir & 4) != 0};
}

// The pieces of this game by the join they start in, each list by code: built once, so an
// offer is a lookup and a filter of a few dozen codes.
const std::array<std::vector<std::uint8_t>, JoinCount>& PiecesByStart()
{
    static const auto table = [] {
        std::array<std::vector<std::uint8_t>, JoinCount> built;
        for (int code = 0; code < TrackEndCode; ++code) {
            const TrackPieceShape* shape = FindTrackPiece(std::uint8_t(code));
            if (shape != nullptr && shape->inGame) {
                built[JoinSlot(StartOf(*shape))].push_back(std::uint8_t(code));
            }
        }
        return built;
    }();
    return table;
}

bool IsVertical(TrackPitch pitch)
{
    return pitch == TrackPitch::Up90 || pitch == TrackPitch::Down90 || pitch == TrackPitch::Tower ||
           pitch == TrackPitch::ReverseFreefall;
}

bool IsVerticalPiece(std::uint8_t code)
{
    const TrackPieceShape* shape = FindTrackPiece(code);
    return shape != nullptr && (IsVertical(shape->pitchStart) || IsVertical(shape->pitchEnd));
}

} // namespace

std::optional<TrackJoin> PieceStartJoin(std::uint8_t code)
{
    const TrackPieceShape* shape = FindTrackPiece(code);
    return shape != nullptr ? std::optional(StartOf(*shape)) : std::nullopt;
}

std::optional<TrackJoin> PieceEndJoin(std::uint8_t code)
{
    const TrackPieceShape* shape = FindTrackPiece(code);
    return shape != nullptr ? std::optional(EndOf(*shape)) : std::nullopt;
}

std::span<const std::uint8_t> PiecesStartingIn(const TrackJoin& join)
{
    return PiecesByStart()[JoinSlot(join)];
}

std::optional<TrackJoin> JoinBefore(const TrackList& list, std::size_t index)
{
    if (index == 0) {
        return TrackStartJoin;
    }
    return index <= list.pieces.size() ? PieceEndJoin(list.pieces[index - 1].code) : std::nullopt;
}

std::optional<TrackJoin> JoinAfter(const TrackList& list, std::size_t index)
{
    return index < list.pieces.size() ? PieceStartJoin(list.pieces[index].code) : std::nullopt;
}

std::vector<FittingPiece> FittingPieces(const TrackList& list, std::size_t index,
                                        PieceChoice choice)
{
    const bool replace = choice == PieceChoice::Replace;
    if (list.maze || index > list.pieces.size() || (replace && index == list.pieces.size())) {
        return {};
    }
    const std::optional<TrackJoin> before = JoinBefore(list, index);
    const std::optional<TrackJoin> after = JoinAfter(list, replace ? index + 1 : index);
    const auto meetsNext = [&after](std::uint8_t code) {
        return !after.has_value() || PieceEndJoin(code) == after;
    };
    std::vector<FittingPiece> offers;
    const auto offer = [&](std::uint8_t code) {
        const bool joins = meetsNext(code);
        if (joins || !replace) {
            offers.push_back({code, joins});
        }
    };
    if (before.has_value()) {
        for (const std::uint8_t code : PiecesStartingIn(*before)) {
            offer(code);
        }
    } else {
        // After a piece without a row, any piece of this game may follow.
        for (const auto& codes : PiecesByStart()) {
            for (const std::uint8_t code : codes) {
                offer(code);
            }
        }
        std::sort(offers.begin(), offers.end(),
                  [](const FittingPiece& a, const FittingPiece& b) { return a.code < b.code; });
    }
    std::stable_partition(offers.begin(), offers.end(),
                          [](const FittingPiece& piece) { return piece.joinsNext; });
    return offers;
}

std::uint8_t NewPieceFlags(const TrackList& list, std::size_t index, PieceListEdit::Kind kind)
{
    const std::size_t from = kind == PieceListEdit::Kind::Replace ? index : index - 1;
    if ((kind != PieceListEdit::Kind::Replace && index == 0) || from >= list.pieces.size()) {
        return 0;
    }
    return list.pieces[from].flags & PieceSchemeMask;
}

std::size_t TrackCapacity(const TrackList& list, std::size_t recordSize)
{
    if (recordSize <= list.start) {
        return 0;
    }
    // The pieces and the one end-marker byte after them.
    return std::min(MaxTrackPieces, (recordSize - list.start - 1) / TrackPieceBytes);
}

std::optional<std::string> ApplyPieceListEdit(ByteBuffer& record, const PieceListEdit& edit)
{
    const TrackList list = ReadTrackList(record);
    if (list.maze) {
        return "a hedge maze has tiles, not track pieces";
    }
    const std::size_t pieces = list.pieces.size();
    const auto range = [pieces](std::size_t from, std::size_t count) {
        return (count == 1
                    ? "piece " + std::to_string(from)
                    : "pieces " + std::to_string(from) + "-" + std::to_string(from + count - 1)) +
               (pieces == 0 ? std::string(": the track has no pieces")
                            : ": the track has pieces 0-" + std::to_string(pieces - 1));
    };
    std::vector<std::uint8_t> bytes; // the new list, two bytes a piece
    bytes.reserve((pieces + edit.codes.size()) * TrackPieceBytes);
    for (const TrackPiece& piece : list.pieces) {
        bytes.push_back(piece.code);
        bytes.push_back(piece.flags);
    }
    if (edit.kind != PieceListEdit::Kind::Delete) {
        if (edit.codes.empty()) {
            return std::string("no pieces given");
        }
        if (std::find(edit.codes.begin(), edit.codes.end(), TrackEndCode) != edit.codes.end()) {
            return std::string("FF ends the piece list; it is not a piece");
        }
    }
    switch (edit.kind) {
    case PieceListEdit::Kind::Insert: {
        if (edit.index > pieces) {
            return "can't insert at piece " + std::to_string(edit.index) + ": the track has " +
                   Plural(pieces, "piece", "pieces");
        }
        if (!edit.flags.empty() && edit.flags.size() != edit.codes.size()) {
            return std::string("each inserted piece needs its own flags");
        }
        const std::uint8_t newFlags = NewPieceFlags(list, edit.index, edit.kind);
        std::vector<std::uint8_t> added;
        for (std::size_t i = 0; i < edit.codes.size(); ++i) {
            added.push_back(edit.codes[i]);
            added.push_back(edit.flags.empty() ? newFlags : edit.flags[i]);
        }
        bytes.insert(bytes.begin() + std::ptrdiff_t(edit.index * TrackPieceBytes), added.begin(),
                     added.end());
        break;
    }
    case PieceListEdit::Kind::Replace:
        if (edit.index >= pieces || edit.codes.size() > pieces - edit.index) {
            return "can't replace " + range(edit.index, edit.codes.size());
        }
        for (std::size_t i = 0; i < edit.codes.size(); ++i) {
            const std::size_t at = edit.index + i;
            bytes[at * TrackPieceBytes] = edit.codes[i];
            bytes[at * TrackPieceBytes + 1] = NewPieceFlags(list, at, edit.kind);
        }
        break;
    case PieceListEdit::Kind::Delete:
        if (edit.count == 0) {
            return std::string("no pieces to delete");
        }
        if (edit.index >= pieces || edit.count > pieces - edit.index) {
            return "can't delete " + range(edit.index, edit.count);
        }
        bytes.erase(bytes.begin() + std::ptrdiff_t(edit.index * TrackPieceBytes),
                    bytes.begin() + std::ptrdiff_t((edit.index + edit.count) * TrackPieceBytes));
        break;
    }
    const std::size_t newPieces = bytes.size() / TrackPieceBytes;
    const std::size_t capacity = TrackCapacity(list, record.size());
    if (newPieces > capacity) {
        return "the track would have " + Plural(newPieces, "piece", "pieces") +
               "; the record has room for " + Plural(capacity, "piece", "pieces") +
               " and the end marker";
    }
    // The list's old extent: its pieces and the marker when there was one (a list without
    // one may run to the record's end).
    const std::size_t oldEnd =
        std::min(record.size(), list.start + pieces * TrackPieceBytes + (list.endMarker ? 1 : 0));
    const std::size_t newEnd = list.start + bytes.size() + 1;
    std::copy(bytes.begin(), bytes.end(), record.begin() + std::ptrdiff_t(list.start));
    record[list.start + bytes.size()] = TrackEndCode;
    if (oldEnd > newEnd) {
        std::fill(record.begin() + std::ptrdiff_t(newEnd), record.begin() + std::ptrdiff_t(oldEnd),
                  std::uint8_t(0));
    }
    return std::nullopt;
}

std::vector<std::vector<std::uint8_t>> ClosingPieces(const TrackList& list, const TrackWalk& walk,
                                                     std::size_t limit)
{
    std::vector<std::vector<std::uint8_t>> runs;
    const std::size_t pieces = list.pieces.size();
    if (list.maze || pieces == 0 || walk.complete || walk.starts.size() != pieces) {
        return runs;
    }
    const std::optional<TrackJoin> first = JoinAfter(list, 0);
    const std::optional<TrackJoin> open = JoinBefore(list, pieces);
    if (!first.has_value() || !open.has_value()) {
        return runs;
    }
    const auto closes = [&first](const TrackPosition& at, std::uint8_t last) {
        return at == TrackPosition{} && PieceEndJoin(last) == first;
    };
    for (const std::uint8_t code : PiecesStartingIn(*open)) {
        if (runs.size() < limit && closes(NextPosition(walk.end, code), code)) {
            runs.push_back({code});
        }
    }
    for (const std::uint8_t code : PiecesStartingIn(*open)) {
        const TrackPosition middle = NextPosition(walk.end, code);
        for (const std::uint8_t next : PiecesStartingIn(*PieceEndJoin(code))) {
            if (runs.size() < limit && closes(NextPosition(middle, next), next)) {
                runs.push_back({code, next});
            }
        }
    }
    return runs;
}

int DeepestTrackDrop()
{
    return track_table::HighestTrackUnits - track_table::LowestLandUnits;
}

TrackCollisions FindCollisions(const TrackList& list, const TrackWalk& walk,
                               std::optional<int> clearance)
{
    TrackCollisions found;
    found.clearanceKnown = clearance.has_value();
    const int needed = std::max(1, clearance.value_or(1));
    const std::size_t pieces = list.pieces.size();
    std::vector<bool> below(pieces, false);
    const int lowest = walk.footprint.maxZ - DeepestTrackDrop();
    for (std::size_t i = 0; i < walk.starts.size() && i < pieces; ++i) {
        below[i] = walk.starts[i].z < lowest;
    }
    std::vector<CoveredTile> tiles = walk.tiles;
    for (const CoveredTile& tile : tiles) {
        if (tile.piece < pieces && tile.z < lowest) {
            below[tile.piece] = true;
        }
    }
    for (std::size_t i = 0; i < pieces; ++i) {
        if (below[i]) {
            found.belowGround.push_back(i);
        }
    }
    std::sort(tiles.begin(), tiles.end(), [](const CoveredTile& a, const CoveredTile& b) {
        return std::tie(a.x, a.y, a.z, a.piece) < std::tie(b.x, b.y, b.z, b.piece);
    });
    // A vertical run (a tower, a vertical climb) passes through its tiles one above another.
    std::vector<std::size_t> verticalRunStart(pieces, 0);
    for (std::size_t i = 0; i < pieces; ++i) {
        const bool vertical = IsVerticalPiece(list.pieces[i].code);
        verticalRunStart[i] = vertical && i > 0 && IsVerticalPiece(list.pieces[i - 1].code)
                                  ? verticalRunStart[i - 1]
                                  : i;
    }
    const auto joined = [&](std::size_t a, std::size_t b) {
        return b - a <= 1 || (walk.complete && a == 0 && b + 1 == pieces) ||
               (IsVerticalPiece(list.pieces[b].code) && verticalRunStart[b] <= a);
    };
    for (std::size_t i = 0; i < tiles.size(); ++i) {
        for (std::size_t j = i + 1; j < tiles.size(); ++j) {
            const CoveredTile& a = tiles[i];
            const CoveredTile& b = tiles[j];
            if (b.x != a.x || b.y != a.y || b.z - a.z >= needed) {
                break;
            }
            const std::size_t first = std::min(a.piece, b.piece);
            const std::size_t second = std::max(a.piece, b.piece);
            if (first != second && !joined(first, second)) {
                found.crossings.push_back({first, second, a.x, a.y});
            }
        }
    }
    std::stable_sort(found.crossings.begin(), found.crossings.end(),
                     [](const TrackCollision& a, const TrackCollision& b) {
                         return std::tie(a.first, a.second) < std::tie(b.first, b.second);
                     });
    // One entry a pair: the first tile they share in the sorted order.
    found.crossings.erase(std::unique(found.crossings.begin(), found.crossings.end(),
                                      [](const TrackCollision& a, const TrackCollision& b) {
                                          return a.first == b.first && a.second == b.second;
                                      }),
                          found.crossings.end());
    return found;
}

std::vector<std::string> CollisionLines(const TrackCollisions& collisions)
{
    std::vector<std::string> lines;
    for (const TrackCollision& crossing : collisions.crossings) {
        lines.push_back("Pieces " + std::to_string(crossing.first) + " and " +
                        std::to_string(crossing.second) + " collide on tile (" +
                        std::to_string(crossing.x) + ", " + std::to_string(crossing.y) + ")");
    }
    for (const std::size_t piece : collisions.belowGround) {
        lines.push_back("Piece " + std::to_string(piece) +
                        " lies below the lowest ground the game builds on");
    }
    return lines;
}

} // namespace railwright
