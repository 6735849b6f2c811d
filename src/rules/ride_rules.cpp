#include "ride_rules.h"

#include "codec/record_layout.h"
#include "codec/track_pieces.h"

#include <algorithm>

namespace railwright::rules {

using namespace Qt::StringLiterals;

namespace {

bool holds(std::span<const std::uint8_t> codes, std::uint8_t code)
{
    return std::binary_search(codes.begin(), codes.end(), code);
}

QString hex(std::uint8_t code)
{
    return u"%1"_s.arg(code, 2, 16, QLatin1Char('0')).toUpper();
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

} // namespace

const RideRules* RulesForRide(std::uint8_t ride)
{
    const RideRules* end = AllRideRules + AllRideRulesCount;
    const RideRules* found =
        std::lower_bound(AllRideRules, end, ride, [](const RideRules& rules, std::uint8_t code) {
            return rules.ride < code;
        });
    return found != end && found->ride == ride ? found : nullptr;
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
    const RideRules* rules = RulesForRide(ride);
    if (rules == nullptr || holds(rules->pieces, piece)) {
        return PieceFit::Builds;
    }
    if (holds(rules->softPieces, piece)) {
        return PieceFit::Possibly;
    }
    return holds(rules->cheatPieces, piece) ? PieceFit::CheatOnly : PieceFit::NeverBuilds;
}

bool ChainLiftFits(std::uint8_t ride, std::uint8_t piece)
{
    const RideRules* rules = RulesForRide(ride);
    return rules == nullptr || holds(rules->chainLiftPieces, piece);
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
    switch (PieceFitFor(ride, piece)) {
    case PieceFit::NeverBuilds:
        return u"This ride cannot build this piece in the game"_s;
    case PieceFit::CheatOnly:
        return u"This ride builds this piece only with a construction cheat"_s;
    case PieceFit::Builds:
    case PieceFit::Possibly:
        break;
    }
    if ((flags & PieceChainLift) != 0 && !ChainLiftFits(ride, piece)) {
        return u"This piece cannot carry a chain lift on this ride"_s;
    }
    const RideRules* rules = RulesForRide(ride);
    if ((flags & PieceInverted) != 0 && rules != nullptr && !rules->usesInvertedFlag) {
        return u"This piece is marked inverted, which only the Flying Roller Coaster uses"_s;
    }
    return {};
}

QStringList DesignWarnings(ByteView record, GameVersion version)
{
    QStringList warnings;
    if (record.size() <= record::RideType) {
        return warnings;
    }
    const std::uint8_t ride = record[record::RideType];
    if (RulesForRide(ride) == nullptr) {
        return warnings;
    }
    if (record.size() > record::VehicleType) {
        const std::uint8_t vehicle = record[record::VehicleType];
        const QString why = VehicleWarning(ride, vehicle, version);
        if (!why.isEmpty()) {
            warnings.append(u"Vehicle %1: %2"_s.arg(hex(vehicle), why));
        }
    }
    if (record.size() > record::OperatingMode) {
        const std::uint8_t mode = record[record::OperatingMode];
        const QString why = ModeWarning(ride, mode);
        if (!why.isEmpty()) {
            warnings.append(u"Operating mode %1: %2"_s.arg(hex(mode), why));
        }
    }
    // One line per reason: the first piece that has it, and how many do. Hedge mazes hold
    // maze tiles, not pieces.
    struct Count
    {
        QString why;
        std::size_t first = 0;
        std::uint8_t piece = 0;
        int count = 0;
    };
    std::vector<Count> counts;
    for (const TrackPiece& piece : ReadTrackList(record).pieces) {
        const QString why = PieceWarning(ride, piece.code, piece.flags);
        if (why.isEmpty()) {
            continue;
        }
        auto known = std::find_if(counts.begin(), counts.end(),
                                  [&why](const Count& count) { return count.why == why; });
        if (known == counts.end()) {
            counts.push_back({why, piece.offset, piece.code, 1});
        } else {
            ++known->count;
        }
    }
    for (const Count& count : counts) {
        warnings.append(u"Track piece %1 at byte %2%3: %4"_s.arg(
            hex(count.piece), QString::number(count.first, 16).toUpper(),
            count.count > 1 ? u" and %1 more"_s.arg(count.count - 1) : QString(), count.why));
    }
    return warnings;
}

} // namespace railwright::rules
