#include "track_edits.h"

#include "rules/ride_rules.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace railwright {

using namespace Qt::StringLiterals;

namespace {

// Applies `change` to the flags of each selected piece it accepts.
template <typename Accepts, typename Change>
TrackEdit FlagsEdit(const TrackList& list, const std::vector<std::size_t>& pieces, QString name,
                    QString skipReason, Accepts accepts, Change change)
{
    TrackEdit edit{std::move(name), {}, {}, {}, std::move(skipReason)};
    for (const std::size_t i : pieces) {
        if (list.maze || i >= list.pieces.size()) {
            continue;
        }
        if (!accepts(list.pieces[i])) {
            edit.skipped.push_back(i);
            continue;
        }
        edit.applied.push_back(i);
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
        u"this ride cannot carry a chain lift there"_s,
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
        list, pieces, u"Track Scheme %1"_s.arg(scheme), u"the base layout has no track schemes"_s,
        [expansion](const TrackPiece&) { return expansion; },
        [scheme](std::uint8_t flags) {
            return std::uint8_t((flags & ~PieceSchemeMask) |
                                ((scheme << PieceSchemeShift) & PieceSchemeMask));
        });
}

TrackEdit SpeedEdit(const TrackList& list, const std::vector<std::size_t>& pieces, int speed)
{
    return FlagsEdit(
        list, pieces, u"Brake Speed %1"_s.arg(speed), u"only brakes and boosters have a speed"_s,
        [](const TrackPiece& piece) { return piece.hasSpeed(); },
        [speed](std::uint8_t flags) {
            return std::uint8_t((flags & ~PieceSpeedMask) | (speed & PieceSpeedMask));
        });
}

TrackEdit StationBitEdit(const TrackList& list, const std::vector<std::size_t>& pieces, bool on)
{
    return FlagsEdit(
        list, pieces, on ? u"Departure Station On"_s : u"Departure Station Off"_s,
        u"only station pieces mark the departure station"_s,
        [](const TrackPiece& piece) { return piece.isStation(); },
        [on](std::uint8_t flags) {
            return std::uint8_t(on ? flags | PieceStationBit3 : flags & ~PieceStationBit3);
        });
}

QString PieceCodeText(std::uint8_t code)
{
    return u"%1"_s.arg(code, 2, 16, QLatin1Char('0')).toUpper();
}

QString PieceRowsText(const std::vector<std::size_t>& rows)
{
    QStringList runs;
    for (std::size_t i = 0; i < rows.size();) {
        std::size_t j = i;
        while (j + 1 < rows.size() && rows[j + 1] == rows[j] + 1) {
            ++j;
        }
        runs.append(j == i ? QString::number(rows[i]) : u"%1-%2"_s.arg(rows[i]).arg(rows[j]));
        i = j + 1;
    }
    if (runs.isEmpty()) {
        return {};
    }
    const QString last = runs.takeLast();
    const QString all = runs.isEmpty() ? last : runs.join(u", "_s) + u" and "_s + last;
    return (rows.size() == 1 ? u"piece "_s : u"pieces "_s) + all;
}

QString TrackEditMessage(const TrackList& list, const TrackEdit& edit)
{
    if (edit.applied.empty() && edit.skipped.empty()) {
        return {};
    }
    QString text = edit.stepName + u": "_s +
                   (edit.applied.empty() ? u"no piece changed"_s : PieceRowsText(edit.applied));
    if (!edit.skipped.empty()) {
        QStringList names;
        for (const std::size_t i : edit.skipped) {
            const QString name = QString::fromStdString(TrackPieceName(list.pieces[i].code));
            if (!names.contains(name)) {
                names.append(name);
            }
        }
        text += u"; skipped %1 (%2): %3"_s.arg(PieceRowsText(edit.skipped), names.join(u", "_s),
                                               edit.skipReason);
    }
    return text;
}

std::size_t RowCount(const TrackList& list)
{
    return list.maze ? list.mazeEntries.size() : list.pieces.size();
}

std::optional<std::size_t> RowOfByte(const TrackList& list, TrackDesignDocument::Index index)
{
    if (RowCount(list) == 0 || index < TrackDesignDocument::Index(list.start)) {
        return std::nullopt;
    }
    const std::size_t rowBytes = list.maze ? MazeEntryBytes : TrackPieceBytes;
    const auto row = std::size_t(index - TrackDesignDocument::Index(list.start)) / rowBytes;
    return row < RowCount(list) ? std::optional<std::size_t>(row) : std::nullopt;
}

ByteSelection::Range RowBytes(const TrackList& list, std::size_t row)
{
    if (row >= RowCount(list)) {
        return {};
    }
    const auto first = TrackDesignDocument::Index(list.maze ? list.mazeEntries[row].offset
                                                            : list.pieces[row].offset);
    return {first,
            first + TrackDesignDocument::Index(list.maze ? MazeEntryBytes : TrackPieceBytes) - 1};
}

} // namespace railwright
