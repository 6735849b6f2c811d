#include "pieces_command.h"

#include "cli/command_parser.h"
#include "cli/track_input.h"
#include "codec/track_construction.h"
#include "codec/track_pieces.h"
#include "rules/ride_rules.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace railwright::cli {

using namespace Qt::StringLiterals;

namespace {

QString Hex(unsigned value, int digits)
{
    return QString::number(value, 16).toUpper().rightJustified(digits, u'0');
}

QString YesNo(bool value)
{
    return value ? u"yes"_s : u"no"_s;
}

// "station 2", "station 0, departure", "speed 9" or "-".
QString StationOrSpeed(const TrackPiece& piece)
{
    if (const auto station = piece.station()) {
        return u"station %1"_s.arg(*station) +
               (piece.departureStation() ? u", departure"_s : QString());
    }
    if (const auto speed = piece.speed()) {
        return u"speed %1"_s.arg(*speed);
    }
    return u"-"_s;
}

QString MazeKind(const MazeEntry& entry)
{
    switch (entry.kind) {
    case MazeEntryKind::Entrance:
        return u"entrance facing %1"_s.arg(entry.direction);
    case MazeEntryKind::Exit:
        return u"exit facing %1"_s.arg(entry.direction);
    case MazeEntryKind::Tile:
        break;
    }
    return u"tile"_s;
}

// Columns: heading text and width (negative: left-aligned).
struct Column
{
    QString title;
    int width;
};

QString Line(const QList<Column>& columns, const QStringList& cells)
{
    QString line;
    for (qsizetype i = 0; i < columns.size(); ++i) {
        const int width = std::abs(columns[i].width);
        const QString& cell = cells.value(i);
        line += (columns[i].width < 0 ? cell.leftJustified(width) : cell.rightJustified(width));
        line += i + 1 < columns.size() ? u"  "_s : QString();
    }
    // No trailing blanks from a left-aligned last column.
    while (line.endsWith(u' ')) {
        line.chop(1);
    }
    return line + u'\n';
}

QString LayoutName(const TrackList& list)
{
    return list.layout == RecordLayout::Expansion ? u"expansion"_s : u"base"_s;
}

} // namespace

QString PiecesTable(ByteView record, GameVersion version)
{
    const TrackList list = ReadTrackList(record);
    const TrackWalk walk = WalkTrack(list);
    QString text;
    if (list.maze) {
        const QList<Column> columns{{u"index"_s, 5}, {u"offset"_s, 6}, {u"x"_s, 4},
                                    {u"y"_s, 4},     {u"walls"_s, -5}, {u"kind"_s, -18}};
        QStringList titles;
        for (const Column& column : columns) {
            titles.append(column.title);
        }
        text += Line(columns, titles);
        for (std::size_t i = 0; i < list.mazeEntries.size(); ++i) {
            const MazeEntry& entry = list.mazeEntries[i];
            text += Line(columns, {QString::number(i), QString::number(entry.offset),
                                   QString::number(entry.x), QString::number(entry.y),
                                   Hex(entry.walls, 4), MazeKind(entry)});
        }
    } else {
        const QList<Column> columns{
            {u"index"_s, 5},  {u"offset"_s, 6},    {u"code"_s, -4},  {u"name"_s, -40},
            {u"chain"_s, -5}, {u"inverted"_s, -8}, {u"scheme"_s, 6}, {u"station/speed"_s, -21},
            {u"x"_s, 5},      {u"y"_s, 5},         {u"z"_s, 6},      {u"heading"_s, 7}};
        QStringList titles;
        for (const Column& column : columns) {
            titles.append(column.title);
        }
        text += Line(columns, titles);
        for (std::size_t i = 0; i < list.pieces.size(); ++i) {
            const TrackPiece& piece = list.pieces[i];
            const TrackPosition& at = walk.starts[i];
            text +=
                Line(columns,
                     {QString::number(i), QString::number(piece.offset), Hex(piece.code, 2),
                      QString::fromStdString(TrackPieceName(piece.code)), YesNo(piece.chainLift()),
                      YesNo(piece.inverted()), QString::number(piece.scheme()),
                      StationOrSpeed(piece), QString::number(at.x), QString::number(at.y),
                      QString::number(at.z), QString::number(at.heading)});
        }
    }
    text += QString::fromStdString(TrackSummary(list, walk)) + u'\n';
    for (const std::string& line :
         CollisionLines(FindCollisions(list, walk, RideClearance(list.rideType)))) {
        text += u"Collision: "_s + QString::fromStdString(line) + u'\n';
    }
    for (const QString& warning : rules::DesignWarnings(record, version, list, walk)) {
        text += u"Warning: "_s + warning + u'\n';
    }
    return text;
}

QByteArray PiecesJson(ByteView record, GameVersion version)
{
    const TrackList list = ReadTrackList(record);
    const TrackWalk walk = WalkTrack(list);
    QJsonObject document;
    document[u"layout"_s] = LayoutName(list);
    QJsonArray pieces;
    for (std::size_t i = 0; i < list.pieces.size(); ++i) {
        const TrackPiece& piece = list.pieces[i];
        const TrackPosition& at = walk.starts[i];
        const auto station = piece.station();
        const auto speed = piece.speed();
        pieces.append(QJsonObject{
            {u"index"_s, qint64(i)},
            {u"offset"_s, qint64(piece.offset)},
            {u"code"_s, Hex(piece.code, 2)},
            {u"name"_s, QString::fromStdString(TrackPieceName(piece.code))},
            {u"chain"_s, piece.chainLift()},
            {u"inverted"_s, piece.inverted()},
            {u"scheme"_s, piece.scheme()},
            {u"station"_s, station ? QJsonValue(*station) : QJsonValue()},
            {u"speed"_s, speed ? QJsonValue(*speed) : QJsonValue()},
            {u"x"_s, at.x},
            {u"y"_s, at.y},
            {u"z"_s, at.z},
            {u"heading"_s, at.heading},
        });
    }
    document[u"pieces"_s] = pieces;
    if (list.maze) {
        QJsonArray tiles;
        for (std::size_t i = 0; i < list.mazeEntries.size(); ++i) {
            const MazeEntry& entry = list.mazeEntries[i];
            tiles.append(QJsonObject{
                {u"index"_s, qint64(i)},
                {u"offset"_s, qint64(entry.offset)},
                {u"x"_s, entry.x},
                {u"y"_s, entry.y},
                {u"walls"_s, Hex(entry.walls, 4)},
                {u"kind"_s, entry.kind == MazeEntryKind::Entrance ? u"entrance"_s
                            : entry.kind == MazeEntryKind::Exit   ? u"exit"_s
                                                                  : u"tile"_s},
                {u"direction"_s,
                 entry.kind == MazeEntryKind::Tile ? QJsonValue() : QJsonValue(entry.direction)},
            });
        }
        document[u"maze"_s] = tiles;
    }
    document[u"end_marker"_s] = list.endMarker;
    const TrackDigest digest = DigestTrack(list, walk);
    document[u"complete"_s] = digest.complete == "-" ? QJsonValue() : QJsonValue(walk.complete);
    document[u"end"_s] = QJsonObject{{u"x"_s, walk.end.x},
                                     {u"y"_s, walk.end.y},
                                     {u"z"_s, walk.end.z},
                                     {u"heading"_s, walk.end.heading}};
    document[u"footprint"_s] = walk.hasTiles
                                   ? QJsonValue(QJsonObject{{u"width"_s, walk.footprint.width()},
                                                            {u"length"_s, walk.footprint.length()},
                                                            {u"min_z"_s, walk.footprint.minZ},
                                                            {u"max_z"_s, walk.footprint.maxZ}})
                                   : QJsonValue();
    document[u"summary"_s] = QString::fromStdString(TrackSummary(list, walk));
    const TrackCollisions collisions = FindCollisions(list, walk, RideClearance(list.rideType));
    QJsonArray crossings;
    for (const TrackCollision& crossing : collisions.crossings) {
        crossings.append(
            QJsonObject{{u"pieces"_s, QJsonArray{qint64(crossing.first), qint64(crossing.second)}},
                        {u"x"_s, crossing.x},
                        {u"y"_s, crossing.y}});
    }
    document[u"collisions"_s] = crossings;
    QJsonArray deep;
    for (const std::size_t piece : collisions.belowGround) {
        deep.append(qint64(piece));
    }
    document[u"below_ground"_s] = deep;
    document[u"warnings"_s] =
        QJsonArray::fromStringList(rules::DesignWarnings(record, version, list, walk));
    return QJsonDocument(document).toJson(QJsonDocument::Indented);
}

CommandResult RunPiecesCommand(const QStringList& arguments, QTextStream& out)
{
    CommandParser parser(
        u"pieces"_s,
        u"Lists the track pieces of a track design: index, byte offset, code, name, chain "
        u"lift, inverted, colour scheme, station or speed, and where each piece starts (x, y "
        u"in tiles, z in height units, heading 0-7; the track starts at 0, 0, 0 heading 0), "
        u"then a summary line. A hedge maze lists its tiles."_s);
    parser.addArgument(u"INPUT"_s, QString::fromUtf16(TrackInputText));
    const QCommandLineOption json(u"json"_s, u"Write one JSON document instead of a table."_s);
    const QCommandLineOption decoded(u"decoded"_s, u"INPUT is already decoded."_s);
    parser.addOption(json);
    parser.addOption(decoded);
    if (auto done = parser.parse(arguments, out)) {
        return *done;
    }
    const TrackInput input = ReadTrackInput(parser.argument(0), parser.isSet(decoded));
    if (input.failure) {
        return *input.failure;
    }
    if (parser.isSet(json)) {
        out << QString::fromUtf8(PiecesJson(input.record, input.version));
    } else {
        out << PiecesTable(input.record, input.version);
    }
    return CommandResult::success();
}

} // namespace railwright::cli
