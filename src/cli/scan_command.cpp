#include "scan_command.h"

#include "cli/command_parser.h"
#include "cli/scan_files.h"
#include "codec/design_inspection.h"
#include "codec/record_fields.h"
#include "codec/track_pieces.h"
#include "document/native_path.h"
#include "report/number_text.h"
#include "report/visible_text.h"
#include "rules/ride_rules.h"
#include "settings/code_names.h"
#include "settings/code_tables.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <algorithm>
#include <array>
#include <cstdio>
#include <unistd.h>

namespace railwright::cli {

using namespace Qt::StringLiterals;

namespace {

// The columns of a row, in the order of the machine formats.
enum Column : std::size_t
{
    PathColumn,
    SizeColumn,
    ChecksumColumn,
    GameColumn,
    LayoutColumn,
    LengthColumn,
    RideTypeColumn,
    VehicleTypeColumn,
    OperatingModeColumn,
    ExcitementColumn,
    IntensityColumn,
    NauseaColumn,
    MaxSpeedColumn,
    TrackPiecesColumn,
    CompleteColumn,
    FootprintColumn,
    ProblemColumn,
    WarningsColumn,
    ColumnCount
};

constexpr std::array NameFields = {record::RideTypeField, record::VehicleTypeField,
                                   record::OperatingModeField};
constexpr std::array StatisticFields = {record::ExcitementField, record::IntensityField,
                                        record::NauseaField, record::MaxSpeedField};
constexpr std::array<std::string_view, ColumnCount> Keys = {"path",
                                                            "size",
                                                            "checksum",
                                                            "game",
                                                            "layout",
                                                            "record_length",
                                                            NameFields[0].key,
                                                            NameFields[1].key,
                                                            NameFields[2].key,
                                                            StatisticFields[0].key,
                                                            StatisticFields[1].key,
                                                            StatisticFields[2].key,
                                                            StatisticFields[3].key,
                                                            "track_pieces",
                                                            "complete",
                                                            "footprint",
                                                            "problem",
                                                            "warnings"};

struct Cell
{
    enum Kind
    {
        Null,
        Text,
        Number,
        List, // `text` holds the items joined by "; ", `items` each one
    } kind = Null;
    QString text;
    QStringList items;
};
using Row = std::array<Cell, ColumnCount>;

// Turns files into rows; the code tables' names are looked up once for all files, and one
// buffer serves every file.
class RowMaker
{
public:
    RowMaker(const CodeTables& tables, QLocale numbers)
        : m_names{CodeNames(tables.rideTypes), CodeNames(tables.vehicleTypes),
                  CodeNames(tables.operatingModes)},
          m_numbers(std::move(numbers))
    {
    }

    [[nodiscard]] const CodeNames& names(std::size_t field) const { return m_names[field]; }

    Row row(const FoundPath& found)
    {
        Row row;
        row[PathColumn] = {Cell::Text, found.path, {}};
        const ScannedFile file =
            found.problem.isEmpty() ? ReadScannedFile(found.path, m_file, found.listedAsRegularFile)
                                    : ScannedFile{{}, found.problem, {}};
        if (file.size) {
            row[SizeColumn] = {Cell::Number, QString::number(*file.size), {}};
        }
        if (!file.problem.isEmpty()) {
            row[ProblemColumn] = {Cell::Text, file.problem, {}};
            return row;
        }
        const DesignInspection inspection = InspectDesign(file.bytes, m_record);
        const bool matches = inspection.checksum != ChecksumMatch::None;
        row[ChecksumColumn] = {Cell::Text, matches ? u"valid"_s : u"mismatch"_s, {}};
        if (matches) {
            const bool loopy = inspection.checksum == ChecksumMatch::LoopyLandscapes;
            row[GameColumn] = {Cell::Text, loopy ? u"loopy"_s : u"original/corkscrew"_s, {}};
        }
        if (!inspection.decodes()) {
            row[ProblemColumn] = {Cell::Text, QString::fromStdString(inspection.decodeError), {}};
            return row;
        }
        static const QString layouts[] = {u"base"_s, u"expansion"_s, u"unusual"_s};
        row[LayoutColumn] = {Cell::Text, layouts[std::size_t(inspection.record.layout)], {}};
        row[LengthColumn] = {Cell::Number, QString::number(inspection.record.length), {}};
        for (std::size_t i = 0; i < NameFields.size(); ++i) {
            const std::optional<int> code = record::StoredValue(m_record, NameFields[i]);
            if (code && !m_names[i].name(std::uint8_t(*code)).isEmpty()) {
                row[RideTypeColumn + i] = {Cell::Text, m_names[i].name(std::uint8_t(*code)), {}};
            }
        }
        for (std::size_t i = 0; i < StatisticFields.size(); ++i) {
            if (const auto value = record::ScaledValue(m_record, StatisticFields[i])) {
                row[ExcitementColumn + i] = {Cell::Number, FormatNumber(*value, m_numbers), {}};
            }
        }
        if (inspection.record.trackPieces) {
            row[TrackPiecesColumn] = {
                Cell::Number, QString::number(*inspection.record.trackPieces), {}};
        }
        // Whether the track closes and the ground it needs: yes/no/- and "W x L" or "-". The
        // list is read and walked once for these and the warnings.
        const TrackList list = ReadTrackList(m_record);
        const TrackWalk walk = WalkTrack(list, WalkDetail::Outline);
        const TrackDigest track = DigestTrack(list, walk);
        row[CompleteColumn] = {Cell::Text, QString::fromStdString(track.complete), {}};
        row[FootprintColumn] = {Cell::Text, QString::fromStdString(track.footprint), {}};
        if (!matches) {
            row[ProblemColumn] = {Cell::Text, u"the checksum matches no game"_s, {}};
        }
        // What the game would not offer or build, for the game the editor would choose.
        const QStringList warnings = rules::DesignWarnings(
            m_record, DesignGameVersion(inspection.checksum, m_record), list, walk);
        row[WarningsColumn] = {Cell::List, warnings.join(u"; "_s), warnings};
        return row;
    }

private:
    std::array<CodeNames, 3> m_names;
    QLocale m_numbers;
    ByteBuffer m_file;
    ByteBuffer m_record;
};

// A CSV record ends in CR LF. Windows' C runtime writes each line feed of the standard output
// as CR LF already, so there the line feed alone gives those bytes.
#ifdef Q_OS_WIN
constexpr QStringView CsvRecordEnd = u"\n";
#else
constexpr QStringView CsvRecordEnd = u"\r\n";
#endif

// A name's exact bytes where they are UTF-8; otherwise each byte that is not as "\xHH".
QString MachinePath(const QString& path)
{
    return EscapeUndecodableBytes(path);
}

// A field with a comma, quote or line break is quoted. One pass over plain characters:
// the CSV writer runs once per field of every design.
bool NeedsCsvQuotes(QStringView text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) {
        const char16_t u = c.unicode();
        return u == u',' || u == u'"' || u == u'\r' || u == u'\n';
    });
}

QString CsvLine(const Row& row)
{
    QString line;
    line.reserve(320);
    for (std::size_t i = 0; i < ColumnCount; ++i) {
        if (i > 0) {
            line += u',';
        }
        const QString text = i == PathColumn ? MachinePath(row[i].text) : row[i].text;
        if (NeedsCsvQuotes(text)) {
            line += u'"';
            line += QString(text).replace(u'"', u"\"\""_s);
            line += u'"';
        } else {
            line += text;
        }
    }
    return line += CsvRecordEnd;
}

// Written by hand: QJsonObject and QJsonDocument take the scan's JSON output from about
// 100 to 185 ms per 10,000 designs in bench/scan_bench.cpp, where the rule is 10 %.
QString JsonString(QStringView text)
{
    QString out = u"\""_s;
    for (const QChar c : text) {
        if (c == u'"' || c == u'\\') {
            out += u'\\';
        } else if (c.unicode() < 0x20) {
            out += u"\\u"_s + QString::number(c.unicode(), 16).rightJustified(4, u'0');
            continue;
        }
        out += c;
    }
    return out + u'"';
}

QString JsonLine(const Row& row)
{
    static const std::array<QString, ColumnCount> names = [] {
        std::array<QString, ColumnCount> quoted;
        for (std::size_t i = 0; i < ColumnCount; ++i) {
            quoted[i] =
                (i == 0 ? u"{"_s : u","_s) + JsonString(QString::fromLatin1(Keys[i])) + u':';
        }
        return quoted;
    }();
    QString line;
    for (std::size_t i = 0; i < ColumnCount; ++i) {
        line += names[i];
        if (row[i].kind == Cell::List) {
            QStringList quoted;
            for (const QString& item : row[i].items) {
                quoted.append(JsonString(item));
            }
            line += u'[' + quoted.join(u',') + u']';
            continue;
        }
        line += row[i].kind == Cell::Null ? u"null"_s
                : row[i].kind == Cell::Text
                    ? JsonString(i == PathColumn ? MachinePath(row[i].text) : row[i].text)
                    : row[i].text;
    }
    return line + u"}\n"_s;
}

// The people's table: fixed widths and the path last, so the columns line up without
// holding rows back. The name columns are as wide as the longest name of their code table,
// within a limit.
class TableWriter
{
public:
    explicit TableWriter(const RowMaker& maker)
    {
        constexpr qsizetype MaxNameWidth = 26;
        for (Place& place : m_places) {
            if (place.width != 0) {
                continue;
            }
            qsizetype widest = place.title.size();
            for (int code = 0; code < 256; ++code) {
                const CodeNames& names = maker.names(place.column - RideTypeColumn);
                widest = std::max(widest, names.name(std::uint8_t(code)).size());
            }
            place.width = -std::min(widest, MaxNameWidth);
        }
    }

    [[nodiscard]] QString header() const
    {
        Row titles;
        for (const Place& place : m_places) {
            titles[place.column].text = place.title;
        }
        return line(titles, u"PATH"_s);
    }

    [[nodiscard]] QString row(Row row) const
    {
        if (!row[GameColumn].text.isEmpty()) {
            row[ChecksumColumn].text += u' ' + row[GameColumn].text;
        }
        if (row[LayoutColumn].text == u"unusual"_s) {
            row[LayoutColumn].text += u' ' + row[LengthColumn].text;
        }
        const QString& problem = row[ProblemColumn].text;
        const QString path = ShownPath(row[PathColumn].text);
        return line(row, VisibleText(problem.isEmpty() ? path : path + u": "_s + problem));
    }

private:
    struct Place
    {
        Column column;
        QString title;
        qsizetype width; // negative: left-aligned and cut to fit; 0: a name column
    };

    [[nodiscard]] QString line(const Row& row, const QString& last) const
    {
        QString line;
        for (const Place& place : m_places) {
            // One row per file, whatever a code table's names hold.
            QString text =
                row[place.column].text.isEmpty() ? u"-"_s : VisibleText(row[place.column].text);
            const qsizetype width = std::abs(place.width);
            if (place.width < 0 && text.size() > width) {
                text = text.left(width - 1) + u'\u2026';
            }
            line += (place.width < 0 ? text.leftJustified(width) : text.rightJustified(width)) +
                    u"  "_s;
        }
        return line + last + u'\n';
    }

    std::array<Place, 11> m_places = {{
        {SizeColumn, u"SIZE"_s, 6},
        {ChecksumColumn, u"CHECKSUM"_s, -24},
        {LayoutColumn, u"LAYOUT"_s, -13},
        {ExcitementColumn, u"EXC"_s, 4},
        {IntensityColumn, u"INT"_s, 4},
        {NauseaColumn, u"NAU"_s, 4},
        {MaxSpeedColumn, u"MPH"_s, 6},
        {TrackPiecesColumn, u"PIECES"_s, 6},
        {RideTypeColumn, u"RIDE TYPE"_s, 0},
        {VehicleTypeColumn, u"VEHICLE TYPE"_s, 0},
        {OperatingModeColumn, u"OPERATING MODE"_s, 0},
    }};
};

// A line on a terminal's standard error once a scan has run for a second. It ends in a
// carriage return, so rows written to the same terminal overwrite it.
class ProgressLine
{
public:
    ProgressLine() : m_enabled(isatty(STDERR_FILENO) != 0) { m_clock.start(); }
    ~ProgressLine()
    {
        if (m_width > 0) {
            std::fprintf(stderr, "%*s\r", m_width, "");
        }
    }

    void update(qint64 files, QTextStream& out)
    {
        if (!m_enabled || m_clock.elapsed() < m_nextMs) {
            return;
        }
        m_nextMs = m_clock.elapsed() + 200;
        out.flush();
        m_width = std::fprintf(stderr, "scanned %lld files\r", static_cast<long long>(files));
        std::fflush(stderr);
    }

private:
    bool m_enabled;
    QElapsedTimer m_clock;
    qint64 m_nextMs = 1000;
    int m_width = 0;
};

// As `info` reads them: a command-line run must not create the missing tables that the
// editor would.
std::optional<CommandResult> ReadTables(const QString& directory, CodeTables& tables)
{
    if (!IsFolder(directory)) {
        return CommandResult::failure(directory + u": no such folder for the code tables"_s);
    }
    CodeTablesLoad load = ReadCodeTables(directory, MissingCodeTables::Refuse);
    if (load.tableMissing) {
        return CommandResult::failure(load.messages.first());
    }
    if (!load.messages.isEmpty()) {
        return CommandResult::failure(directory + u": "_s + load.messages.join(u"; "_s));
    }
    tables = std::move(load.tables);
    return std::nullopt;
}

} // namespace

ScanTotals ScanPaths(const QStringList& paths, const CodeTables& tables, ScanFormat format,
                     QTextStream& out, const std::function<void(qint64 files)>& onFile)
{
    RowMaker maker(tables, format == ScanFormat::Table ? QLocale() : QLocale::c());
    const TableWriter table(maker);
    if (format == ScanFormat::Table) {
        out << table.header();
    } else if (format == ScanFormat::Csv) {
        Row keys;
        for (std::size_t i = 0; i < ColumnCount; ++i) {
            keys[i].text = QString::fromLatin1(Keys[i]);
        }
        out << CsvLine(keys);
    }
    ScanTotals totals;
    ForEachScannedFile(paths, [&](const FoundPath& found) {
        const Row row = maker.row(found);
        out << (format == ScanFormat::Table ? table.row(row)
                : format == ScanFormat::Csv ? CsvLine(row)
                                            : JsonLine(row));
        if (!found.problem.isEmpty()) {
            ++totals.unlistedFolders;
        } else {
            ++totals.files;
            totals.notDesigns += row[ProblemColumn].text.isEmpty() ? 0 : 1;
        }
        if (onFile) {
            onFile(totals.files);
        }
        // Once the output is lost there is no one to tell about the rest.
        return out.status() == QTextStream::Ok;
    });
    return totals;
}

CommandResult RunScanCommand(const QStringList& arguments, QTextStream& out)
{
    CommandParser parser(
        u"scan"_s,
        u"Lists the track designs in files and folders (folders with their subfolders; "
        u"there, files ending in .td4): one row per file with its size, checksum, layout, "
        u"ride, vehicle and operating mode, ratings, maximum speed and track pieces, or why "
        u"it is not a valid design. Fails when any file is not, or a folder cannot be "
        u"listed; exits with 2 when the rows cannot be written."_s);
    parser.addArgument(u"PATH"_s, u"A track-design file or a folder."_s, true);
    const QCommandLineOption csv(u"csv"_s, u"Write CSV (RFC 4180) with a header row."_s);
    const QCommandLineOption json(u"json"_s, u"Write one JSON object per line."_s);
    const QCommandLineOption tables(
        u"tables"_s, u"The folder of the code tables (default: the program's folder)."_s, u"dir"_s);
    for (const QCommandLineOption& option : {csv, json, tables}) {
        parser.addOption(option);
    }
    if (auto done = parser.parse(arguments, out)) {
        return *done;
    }
    if (parser.isSet(csv) && parser.isSet(json)) {
        return CommandResult::usage(u"scan: --csv and --json exclude each other"_s);
    }
    CodeTables codeTables;
    if (auto failure = ReadTables(parser.isSet(tables) ? parser.value(tables)
                                                       : QCoreApplication::applicationDirPath(),
                                  codeTables)) {
        return *failure;
    }
    const ScanFormat format = parser.isSet(csv)    ? ScanFormat::Csv
                              : parser.isSet(json) ? ScanFormat::Json
                                                   : ScanFormat::Table;
    ScanTotals totals;
    {
        ProgressLine progress;
        totals = ScanPaths(parser.arguments(), codeTables, format, out,
                           [&](qint64 files) { progress.update(files, out); });
        out.flush();
    }
    QStringList problems;
    if (totals.notDesigns > 0) {
        problems << u"%1 of %2 files are not valid track designs"_s.arg(totals.notDesigns)
                        .arg(totals.files);
    }
    if (totals.unlistedFolders > 0) {
        problems << (totals.unlistedFolders == 1
                         ? u"1 folder could not be listed"_s
                         : u"%1 folders could not be listed"_s.arg(totals.unlistedFolders));
    }
    // Whatever else happened: rows that never arrived make the whole listing worthless.
    if (const QString lost = OutputFailure(out); !lost.isEmpty()) {
        return {ExitUsage, (problems << lost).join(u"; "_s), {}};
    }
    if (!problems.isEmpty()) {
        return CommandResult::failure(problems.join(u"; "_s));
    }
    return CommandResult::success();
}

} // namespace railwright::cli
