#include "track_edits.h"

#include "rules/ride_rules.h"

namespace railwright {

using namespace Qt::StringLiterals;

namespace {

// Applies `change` to the flags of each selected piece it accepts.
template <typename Accepts, typename Change>
TrackEdit FlagsEdit(const TrackList& list, const std::vector<std::size_t>& pieces, QString name,
                    Accepts accepts, Change change)
{
    TrackEdit edit{std::move(name), {}};
    for (const std::size_t i : pieces) {
        if (i >= list.pieces.size() || !accepts(list.pieces[i])) {
            continue;
        }
        const TrackPiece& piece = list.pieces[i];
        const std::uint8_t flags = change(piece.flags);
        if (flags != piece.flags) {
            edit.edits.push_back({TrackDesignDocument::Index(piece.offset + 1), flags});
        }
    }
    return edit;
}

} // namespace

TrackEdit ChainLiftEdit(const TrackList& list, const std::vector<std::size_t>& pieces, bool on)
{
    return FlagsEdit(
        list, pieces, on ? u"Chain Lift On"_s : u"Chain Lift Off"_s,
        [&list, on](const TrackPiece& piece) {
            return !on || rules::ChainLiftFits(list.rideType, piece.code);
        },
        [on](std::uint8_t flags) {
            return std::uint8_t(on ? flags | PieceChainLift : flags & ~PieceChainLift);
        });
}

TrackEdit SchemeEdit(const TrackList& list, const std::vector<std::size_t>& pieces, int scheme)
{
    const bool expansion = list.layout == RecordLayout::Expansion;
    return FlagsEdit(
        list, pieces, QStringLiteral("Track Scheme %1").arg(scheme),
        [expansion](const TrackPiece&) { return expansion; },
        [scheme](std::uint8_t flags) {
            return std::uint8_t((flags & ~PieceSchemeMask) |
                                ((scheme << PieceSchemeShift) & PieceSchemeMask));
        });
}

TrackEdit SpeedEdit(const TrackList& list, const std::vector<std::size_t>& pieces, int speed)
{
    return FlagsEdit(
        list, pieces, QStringLiteral("Brake Speed %1").arg(speed),
        [](const TrackPiece& piece) { return piece.hasSpeed(); },
        [speed](std::uint8_t flags) {
            return std::uint8_t((flags & ~PieceSpeedMask) | (speed & PieceSpeedMask));
        });
}

TrackEdit StationBitEdit(const TrackList& list, const std::vector<std::size_t>& pieces, bool on)
{
    return FlagsEdit(
        list, pieces,
        on ? QStringLiteral("Departure Station On") : QStringLiteral("Departure Station Off"),
        [](const TrackPiece& piece) { return piece.isStation(); },
        [on](std::uint8_t flags) {
            return std::uint8_t(on ? flags | PieceStationBit3 : flags & ~PieceStationBit3);
        });
}

std::optional<std::size_t> PieceOfByte(const TrackList& list, TrackDesignDocument::Index index)
{
    if (list.maze || list.pieces.empty() || index < TrackDesignDocument::Index(list.start)) {
        return std::nullopt;
    }
    const auto piece =
        std::size_t(index - TrackDesignDocument::Index(list.start)) / TrackPieceBytes;
    return piece < list.pieces.size() ? std::optional<std::size_t>(piece) : std::nullopt;
}

} // namespace railwright
