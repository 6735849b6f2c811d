// The ride info report never fails, whatever the record and the code tables hold: it
// always has its 22 lines, each with its own label, joined by the line break with none
// after the last.
//
// Input layout: byte 0 is the record length less one, the record follows (cut short
// at the end of the input), then come the ride type, vehicle type and operating mode
// tables, each as one byte whose value modulo 5 is its entry count, followed by that
// many 130-byte entries (the last table may be cut short like a damaged file).
#include "codec/code_table_format.h"
#include "codec/game_version.h"
#include "report/ride_info_report.h"
#include "report/visible_text.h"

#include <QString>
#include <QStringList>
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

using namespace railwright;
using namespace Qt::StringLiterals;

void require(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

constexpr std::size_t MaxTableEntries = 4;

// Reads one table from `data` starting at `at`, moving `at` past it.
CodeTable NextTable(const std::uint8_t* data, std::size_t size, std::size_t& at)
{
    if (at >= size) {
        return {};
    }
    const std::size_t entries = data[at++] % (MaxTableEntries + 1);
    const std::size_t length = std::min(entries * CodeRecordLength, size - at);
    const CodeTable table = ParseCodeTable(ByteView(data + at, length));
    at += length;
    return table;
}

// The fixed start of each line; the separator lines are nothing but their dashes.
const std::array<QString, 22> Labels = {
    u"RCT Version: "_s,  u"Ride Type: "_s,     u"Vechicle Type: "_s,  u"Operating Mode: "_s,
    u"Color Scheme: "_s, u"Num of Trains: "_s, u"Cars Per Train: "_s, u"Speed/People: "_s,
    QString(20, u'-'),   u"Excitement: "_s,    u"Intensity: "_s,      u"Nausea: "_s,
    QString(20, u'-'),   u"Max Speed: "_s,     u"Average Speed: "_s,  u"Ride Length: "_s,
    u"Postive G's: "_s,  u"Negitive G's: "_s,  u"Laterial G's: "_s,   u"Num of Inversions: "_s,
    u"Num of Drops: "_s, u"Higest Drop: "_s,
};

// The name the report should give the byte at `offset`: that of the last entry whose code
// is the byte in upper-case hexadecimal with its control characters shown, nothing when
// no entry has it, "-" past the end of the record.
QString ExpectedName(const CodeTable& table, ByteView record, std::size_t offset)
{
    if (record.size() <= offset) {
        return u"-"_s;
    }
    const std::uint8_t value = record[offset];
    const char* const digits = "0123456789ABCDEF";
    const std::string code{digits[value >> 4], digits[value & 0x0F]};
    QString name;
    for (const CodeRecord& entry : table) {
        if (entry.code == code) {
            name = VisibleText(QString::fromUtf8(Windows1252ToUtf8(TrimmedName(entry))));
        }
    }
    return name;
}

void CheckReport(ByteView record, const CodeTables& tables, GameVersion version)
{
    const QString report = BuildRideInfoReport(record, tables, version);
    require(!report.endsWith(u"\r\n"_s));
    // Nothing a terminal would act on, whatever the names hold.
    const QString text = QString(report).remove(u"\r\n"_s);
    for (const QChar c : text) {
        require(c.unicode() >= 0x20 && (c.unicode() < 0x7F || c.unicode() >= 0xA0));
    }

    // A code table's name may itself hold a line break, so the lines are counted with
    // a break that no table name can produce, and the usual report must be the same
    // text with the usual break.
    const QString marker(QChar(0xFFFF));
    const QString marked = BuildRideInfoReport(record, tables, version, marker);
    require(QString(marked).replace(marker, u"\r\n"_s) == report);
    const QStringList lines = marked.split(marker);
    require(lines.size() == int(Labels.size()));
    for (std::size_t i = 0; i < Labels.size(); ++i) {
        require(lines[qsizetype(i)].startsWith(Labels[i]));
    }
    require(lines[8] == Labels[8] && lines[12] == Labels[12]);

    const QString versionText = version == GameVersion::Original           ? u"Orginal"_s
                                : version == GameVersion::CorkscrewFollies ? u"Corkscrew Follies"_s
                                                                           : u"Loopy Landscapes"_s;
    require(lines[0] == Labels[0] + versionText);
    require(lines[1] == Labels[1] + ExpectedName(tables.rideTypes, record, 0));
    require(lines[2] == Labels[2] + ExpectedName(tables.vehicleTypes, record, 1));
    require(lines[3] == Labels[3] + ExpectedName(tables.operatingModes, record, 6));
    // Plain byte values, shown as decimal with at least two digits; "-" for a field past
    // the end of the record, with no unit after it.
    const auto present = [&record](std::size_t end) { return record.size() >= end; };
    const auto decimal = [&](std::size_t offset) {
        return present(offset + 1)
                   ? QStringLiteral("%1").arg(record[offset], 2, 10, QLatin1Char('0'))
                   : u"-"_s;
    };
    const auto withUnit = [&](int line, std::size_t end, const QString& unit) {
        return present(end) ? lines[line].endsWith(unit) : lines[line] == Labels[line] + u"-"_s;
    };
    require(lines[5] == Labels[5] + decimal(36));
    require(lines[6] == Labels[6] + decimal(37));
    require(withUnit(7, 41, u" Mph/"_s + decimal(40)));
    require(withUnit(13, 42, u" Mph"_s) && withUnit(14, 43, u" Mph"_s));
    require(withUnit(15, 45, u" Feet"_s));
    require(lines[21] == Labels[21] + decimal(50) + (present(51) ? u" Feet"_s : QString()));
    // The counters use only their low bits.
    const int inversions = lines[19].mid(Labels[19].size()).toInt();
    const int drops = lines[20].mid(Labels[20].size()).toInt();
    require(inversions >= 0 && inversions < 32 && drops >= 0 && drops < 64);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2) {
        return 0;
    }
    const std::size_t recordLength = std::min<std::size_t>(std::size_t(data[0]) + 1, size - 1);
    const ByteView record(data + 1, recordLength);
    std::size_t at = 1 + recordLength;
    CodeTables tables;
    tables.rideTypes = NextTable(data, size, at);
    tables.vehicleTypes = NextTable(data, size, at);
    tables.operatingModes = NextTable(data, size, at);

    for (const GameVersion version :
         {GameVersion::Original, GameVersion::CorkscrewFollies, GameVersion::LoopyLandscapes}) {
        CheckReport(record, tables, version);
    }
    return 0;
}
