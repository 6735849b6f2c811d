#include "ride_rules.h"

#include "codec/record_layout.h"

#include <algorithm>
#include <array>
#include <memory>

namespace railwright::rules {

using namespace Qt::StringLiterals;

namespace {

// The operating mode whose trains must come round to the station again.
constexpr std::uint8_t ContinuousCircuitMode = 0x01;

// What a ride does with each piece code, one byte per code, so that a design's pieces are
// checked without a search.
enum PieceBit : std::uint8_t
{
    BuildsBit = 1,
    PossiblyBit = 2,
    CheatOnlyBit = 4,
    LiftBit = 8,
};

struct RideIndex
{
    std::array<const RideRules*, 256> rules{};
    std::array<std::array<std::uint8_t, 256>, 256> pieces{}; // zero for an unknown ride
};

const RideIndex& Index()
{
    static const std::unique_ptr<const RideIndex> index = [] {
        auto built = std::make_unique<RideIndex>();
        for (std::size_t i = 0; i < AllRideRulesCount; ++i) {
            const RideRules& rules = AllRideRules[i];
            built->rules[rules.ride] = &rules;
            auto& pieces = built->pieces[rules.ride];
            for (const auto& [codes, bit] :
                 {std::pair{rules.pieces, BuildsBit}, std::pair{rules.softPieces, PossiblyBit},
                  std::pair{rules.cheatPieces, CheatOnlyBit},
                  std::pair{rules.chainLiftPieces, LiftBit}}) {
                for (const std::uint8_t code : codes) {
                    pieces[code] |= bit;
                }
            }
        }
        return built;
    }();
    return *index;
}

// Hexadecimal with its base marked: codes in two digits as `pieces` shows them.
QString hex(unsigned value, int digits = 2)
{
    return u"0x"_s + QString::number(value, 16).toUpper().rightJustified(digits, u'0');
}

QString versionName(GameVersion version)
{
    switch (version) {
    case GameVersion::Original:
        break;
    case GameVersion::CorkscrewFollies:
        return u"Corkscrew Follies"_s;
    case GameVersion::LoopyLandscapes:
        return u"Loopy Landscapes"_s;
    }
    return u"the base game"_s;
}

// A sentence after a colon, or a clause starting one.
QString withFirstLetter(QString text, bool upper)
{
    if (!text.isEmpty()) {
        text[0] = upper ? text[0].toUpper() : text[0].toLower();
    }
    return text;
}

enum class PieceProblem
{
    None,
    NoSuchPiece,
    LaterGame,
    NeverBuilds,
    CheatOnly,
    ChainLift,
    Inverted,
};

// What is wrong with a piece on a ride, by table lookups only: a design's pieces are
// checked one by one.
PieceProblem ProblemOf(const RideIndex& index, std::uint8_t ride, std::uint8_t code,
                       std::uint8_t flags)
{
    const TrackPieceShape* shape = FindTrackPiece(code);
    if (shape == nullptr) {
        return PieceProblem::NoSuchPiece;
    }
    if (!shape->inGame) {
        return PieceProblem::LaterGame;
    }
    const RideRules* rules = index.rules[ride];
    if (rules == nullptr) {
        return PieceProblem::None;
    }
    const std::uint8_t bits = index.pieces[ride][code];
    if ((bits & (BuildsBit | PossiblyBit)) == 0) {
        return (bits & CheatOnlyBit) != 0 ? PieceProblem::CheatOnly : PieceProblem::NeverBuilds;
    }
    if ((flags & PieceChainLift) != 0 && (bits & LiftBit) == 0) {
        return PieceProblem::ChainLift;
    }
    if ((flags & PieceInverted) != 0 && !rules->usesInvertedFlag) {
        return PieceProblem::Inverted;
    }
    return PieceProblem::None;
}

QString ProblemText(PieceProblem problem)
{
    switch (problem) {
    case PieceProblem::None:
        break;
    case PieceProblem::NoSuchPiece:
        return u"This code is no track piece; it is left out of the track's shape"_s;
    case PieceProblem::LaterGame:
        return u"This piece is not track of this game; it is left out of the track's shape"_s;
    case PieceProblem::NeverBuilds:
        return u"This ride cannot build this piece in the game"_s;
    case PieceProblem::CheatOnly:
        return u"This ride builds this piece only with a construction cheat"_s;
    case PieceProblem::ChainLift:
        return u"This piece cannot carry a chain lift on this ride"_s;
    case PieceProblem::Inverted:
        return u"This piece is marked inverted, which only the Flying Roller Coaster uses"_s;
    }
    return {};
}

} // namespace

const RideRules* RulesForRide(std::uint8_t ride)
{
    return Index().rules[ride];
}

Fit VehicleFit(std::uint8_t ride, std::uint8_t vehicle, GameVersion version)
{
    const RideRules* rules = RulesForRide(ride);
    if (rules == nullptr) {
        return Fit::Fits;
    }
    for (const VehicleOffer& offer : rules->vehicles) {
        if (offer.vehicle == vehicle) {
            return int(offer.since) <= int(version) ? Fit::Fits : Fit::LaterGame;
        }
    }
    return Fit::NotOffered;
}

Fit ModeFit(std::uint8_t ride, std::uint8_t mode)
{
    const RideRules* rules = RulesForRide(ride);
    if (rules == nullptr) {
        return Fit::Fits;
    }
    const bool offered = std::any_of(rules->modes.begin(), rules->modes.end(),
                                     [mode](const ModeOffer& offer) { return offer.mode == mode; });
    return offered ? Fit::Fits : Fit::NotOffered;
}

PieceFit PieceFitFor(std::uint8_t ride, std::uint8_t piece)
{
    const RideIndex& index = Index();
    const std::uint8_t bits = index.pieces[ride][piece];
    if (index.rules[ride] == nullptr || (bits & BuildsBit) != 0) {
        return PieceFit::Builds;
    }
    return (bits & PossiblyBit) != 0    ? PieceFit::Possibly
           : (bits & CheatOnlyBit) != 0 ? PieceFit::CheatOnly
                                        : PieceFit::NeverBuilds;
}

bool ChainLiftFits(std::uint8_t ride, std::uint8_t piece)
{
    const RideIndex& index = Index();
    return index.rules[ride] == nullptr || (index.pieces[ride][piece] & LiftBit) != 0;
}

QString VehicleWarning(std::uint8_t ride, std::uint8_t vehicle, GameVersion version)
{
    switch (VehicleFit(ride, vehicle, version)) {
    case Fit::Fits:
        break;
    case Fit::NotOffered:
        return u"This vehicle is not offered for this ride in the game"_s;
    case Fit::LaterGame:
        for (const VehicleOffer& offer : RulesForRide(ride)->vehicles) {
            if (offer.vehicle == vehicle) {
                return u"The game offers this vehicle for this ride only from %1 on"_s.arg(
                    versionName(offer.since));
            }
        }
        break;
    }
    return {};
}

QString ModeWarning(std::uint8_t ride, std::uint8_t mode)
{
    return ModeFit(ride, mode) == Fit::NotOffered
               ? u"This operating mode is not offered for this ride in the game"_s
               : QString();
}

QString PieceWarning(std::uint8_t ride, std::uint8_t piece, std::uint8_t flags)
{
    return ProblemText(ProblemOf(Index(), ride, piece, flags));
}

QString PieceReference(std::size_t row, const TrackPiece& piece)
{
    return u"piece %1, %2 (code %3, byte %4)"_s.arg(row).arg(
        QString::fromStdString(TrackPieceName(piece.code)), hex(piece.code),
        hex(unsigned(piece.offset), 1));
}

QStringList TrackWarnings(ByteView record, const TrackList& list, const TrackWalk& walk)
{
    QStringList warnings;
    // A record that ends before its list has no track to warn about.
    if (record.size() <= list.start) {
        return warnings;
    }
    if (!list.endMarker) {
        warnings.append(list.maze ? u"The maze has no end marker: its tiles run to the end of "
                                    u"the list"_s
                                  : u"The track has no end marker: its pieces run to the end of "
                                    u"the list"_s);
    }
    if (!list.maze && !list.pieces.empty() && !walk.complete &&
        record.size() > record::OperatingMode &&
        record[record::OperatingMode] == ContinuousCircuitMode) {
        warnings.append(u"The track does not return to its start, but the ride runs as a "
                        u"continuous circuit"_s);
    }
    const RideIndex& index = Index();
    for (std::size_t i = 0; i < list.pieces.size(); ++i) {
        const TrackPiece& piece = list.pieces[i];
        const PieceProblem problem = ProblemOf(index, list.rideType, piece.code, piece.flags);
        if (problem != PieceProblem::None) {
            warnings.append(withFirstLetter(PieceReference(i, piece), true) + u": "_s +
                            withFirstLetter(ProblemText(problem), false));
        }
    }
    return warnings;
}

QStringList TrackWarnings(ByteView record)
{
    const TrackList list = ReadTrackList(record);
    return TrackWarnings(record, list, WalkTrack(list, WalkDetail::Outline));
}

QStringList DesignWarnings(ByteView record, GameVersion version, const TrackList& list,
                           const TrackWalk& walk)
{
    QStringList warnings;
    if (record.size() <= record::RideType) {
        return warnings;
    }
    const std::uint8_t ride = record[record::RideType];
    if (record.size() > record::VehicleType) {
        const std::uint8_t vehicle = record[record::VehicleType];
        const QString why = VehicleWarning(ride, vehicle, version);
        if (!why.isEmpty()) {
            warnings.append(u"Vehicle %1: %2"_s.arg(hex(vehicle), withFirstLetter(why, false)));
        }
    }
    if (record.size() > record::OperatingMode) {
        const std::uint8_t mode = record[record::OperatingMode];
        const QString why = ModeWarning(ride, mode);
        if (!why.isEmpty()) {
            warnings.append(u"Operating mode %1: %2"_s.arg(hex(mode), withFirstLetter(why, false)));
        }
    }
    return warnings + TrackWarnings(record, list, walk);
}

QStringList DesignWarnings(ByteView record, GameVersion version)
{
    const TrackList list = ReadTrackList(record);
    return DesignWarnings(record, version, list, WalkTrack(list, WalkDetail::Outline));
}

} // namespace railwright::rules
