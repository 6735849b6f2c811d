#include "cli_commands.h"

#include "cli/code_table_source.h"
#include "cli/output_file.h"
#include "cli/track_input.h"
#include "codec/checksum.h"
#include "codec/design_inspection.h"
#include "codec/record_layout.h"
#include "codec/rle.h"
#include "document/document_file.h"
#include "report/ride_info_report.h"
#include "settings/code_tables.h"

namespace railwright::cli {

using namespace Qt::StringLiterals;

namespace {

// Larger sources are surely not code tables: 32,767 entries of 128 characters, each
// at most 3 bytes of UTF-8, stay far below this.
constexpr qint64 MaxCodeTableSourceSize = 16 * 1024 * 1024;

struct Loaded
{
    ByteBuffer bytes;
    std::optional<CommandResult> failure;
};

// The longest record a track-design file decodes to: a two-byte run block gives at most
// 129 bytes.
constexpr qint64 MaxDecodedRecordSize = MaxDocumentFileSize / 2 * 129;

Loaded LoadInput(const QString& path, qint64 limit = MaxDocumentFileSize)
{
    LoadResult load = limit == MaxDocumentFileSize ? LoadFile(path) : ReadRegularFile(path, limit);
    if (load.ok() && qint64(load.bytes.size()) <= limit) {
        return {std::move(load.bytes), std::nullopt};
    }
    if (load.ok() || load.tooLarge) {
        return {{},
                CommandResult::failure(
                    u"%1: the file is larger than the %2 bytes a %3 may have"_s.arg(ShownPath(path))
                        .arg(limit)
                        .arg(limit == MaxDocumentFileSize ? u"track-design file"_s
                                                          : u"decoded record"_s))};
    }
    // Some of the editor's messages name the file, some do not.
    QString message = load.errorText;
    if (!message.contains(ShownPath(path))) {
        message = ShownPath(path) + u": "_s + message;
    }
    return {{}, CommandResult::failure(message)};
}

// Decodes a whole track-design file, refusing a damaged body and an empty result.
std::optional<CommandResult> Decode(const QString& path, const ByteBuffer& file, ByteBuffer& record)
{
    DecodeResult decoded = RLEDecode(file);
    if (!decoded.ok()) {
        return CommandResult::failure(ShownPath(path) + u": "_s +
                                      QString::fromStdString(decoded.error));
    }
    if (decoded.record.empty()) {
        return CommandResult::failure(
            ShownPath(path) +
            u": the file decodes to nothing (a track design is longer than 5 bytes)"_s);
    }
    record = std::move(decoded.record);
    return std::nullopt;
}

std::uint32_t StoredChecksum(const ByteBuffer& file)
{
    const std::size_t at = file.size() - 4;
    return std::uint32_t(file[at]) | std::uint32_t(file[at + 1]) << 8 |
           std::uint32_t(file[at + 2]) << 16 | std::uint32_t(file[at + 3]) << 24;
}

QString Hex32(std::uint32_t value)
{
    return QString::number(value, 16).toUpper().rightJustified(8, u'0');
}

} // namespace

std::optional<GameVersion> ParseGameName(const QString& name)
{
    const QString key = name.toLower();
    if (key == u"original"_s) {
        return GameVersion::Original;
    }
    if (key == u"corkscrew"_s) {
        return GameVersion::CorkscrewFollies;
    }
    if (key == u"loopy"_s) {
        return GameVersion::LoopyLandscapes;
    }
    return std::nullopt;
}

CommandResult DecodeFile(const QString& input, const OutputFile& output)
{
    Loaded loaded = LoadInput(input);
    if (loaded.failure) {
        return *loaded.failure;
    }
    ByteBuffer record;
    if (auto failure = Decode(input, loaded.bytes, record)) {
        return *failure;
    }
    return WriteOutput(output, record);
}

CommandResult EncodeFile(const QString& input, const OutputFile& output, GameVersion version)
{
    Loaded loaded = LoadInput(input, MaxDecodedRecordSize);
    if (loaded.failure) {
        return *loaded.failure;
    }
    const ByteBuffer file = EncodeDesign(loaded.bytes, version);
    // A file the editor refuses to open would be a dead end for the user.
    if (file.size() > std::size_t(MaxDocumentFileSize)) {
        return CommandResult::failure(
            ShownPath(input) +
            u": the encoded file would be %1 bytes, more than the %2 a track-design "
            u"file may have"_s.arg(file.size())
                .arg(MaxDocumentFileSize));
    }
    return WriteOutput(output, file);
}

CommandResult VerifyFile(const QString& input, QTextStream& out)
{
    Loaded loaded = LoadInput(input);
    if (loaded.failure) {
        return *loaded.failure;
    }
    const ByteBuffer& file = loaded.bytes;
    if (file.size() < 4) {
        return CommandResult::failure(ShownPath(input) +
                                      u": the file is too short to end in a 4-byte checksum"_s);
    }
    switch (MatchChecksum(file)) {
    case ChecksumMatch::OriginalOrCorkscrew:
        out << "original or corkscrew\n";
        return CommandResult::success();
    case ChecksumMatch::LoopyLandscapes:
        out << "loopy\n";
        return CommandResult::success();
    case ChecksumMatch::None:
        break;
    }
    if (IsDecodedRecord(file)) {
        return CommandResult::failure(ShownPath(input) + u": decoded record, not encoded"_s);
    }
    const ByteView body(file.data(), file.size() - 4);
    return CommandResult::failure(
        ShownPath(input) +
        u": the checksum %1 matches no game (original or corkscrew: %2, loopy: %3)"_s.arg(
            Hex32(StoredChecksum(file)), Hex32(ComputeChecksum(body, GameVersion::Original)),
            Hex32(ComputeChecksum(body, GameVersion::LoopyLandscapes))));
}

CommandResult PackCodeTable(const QString& source, const OutputFile& output)
{
    const LoadResult read = ReadRegularFile(source, MaxCodeTableSourceSize);
    if (!read.ok()) {
        return CommandResult::failure(read.errorText);
    }
    if (qint64(read.bytes.size()) > MaxCodeTableSourceSize) {
        return CommandResult::failure(ShownPath(source) +
                                      u": the file is too large for a code-table source"_s);
    }
    const CodeTableSource parsed = ParseCodeTableSource(
        QByteArray(reinterpret_cast<const char*>(read.bytes.data()), qsizetype(read.bytes.size())));
    if (!parsed.ok()) {
        return CommandResult::failure(ShownPath(source) + u':' + QString::number(parsed.errorLine) +
                                      u": "_s + parsed.error);
    }
    return WriteOutput(output, SerializeCodeTable(parsed.table));
}

CommandResult ListCodeTable(const QString& path, QTextStream& out)
{
    // Records past the largest count a table may hold are never shown.
    const qint64 limit = qint64(MaxCodeTableEntries * CodeRecordLength);
    const LoadResult read = ReadRegularFile(path, limit);
    if (!read.ok()) {
        return CommandResult::failure(read.errorText);
    }
    const ByteView contents(read.bytes);
    out << CodeTableListing(
        ParseCodeTable(contents.first(qMin(contents.size(), std::size_t(limit)))));
    return CommandResult::success();
}

CommandResult PrintRideInfo(const InfoRequest& request, QTextStream& out)
{
    // The editor creates a missing table; a command-line run must not leave files behind
    // in a folder it was only asked to read, so it refuses instead.
    if (!IsFolder(request.tablesDirectory)) {
        return CommandResult::failure(ShownPath(request.tablesDirectory) +
                                      u": no such folder for the code tables"_s);
    }
    const CodeTablesLoad load = ReadCodeTables(request.tablesDirectory, MissingCodeTables::Refuse);
    if (!load.messages.isEmpty()) {
        return CommandResult::failure(load.messages.join(u"; "_s));
    }

    Loaded loaded = LoadInput(request.input);
    if (loaded.failure) {
        return *loaded.failure;
    }
    ByteBuffer decoded;
    // The game the editor selects on opening and decoding this file: its checksum first (a
    // decoded record has none).
    const ChecksumMatch checksum =
        request.inputIsDecoded ? ChecksumMatch::None : MatchChecksum(loaded.bytes);
    if (request.inputIsDecoded) {
        decoded = std::move(loaded.bytes);
    } else if (auto refusal = DecodedRecordRefusal(request.input, loaded.bytes)) {
        return *refusal;
    } else if (auto failure = Decode(request.input, loaded.bytes, decoded)) {
        return *failure;
    }

    if (decoded.empty()) {
        return CommandResult::failure(ShownPath(request.input) +
                                      u": there is no record to report on"_s);
    }
    const GameVersion version = request.version.value_or(DesignGameVersion(checksum, decoded));
    out << BuildRideInfoReport(decoded, load.tables, version, u"\n"_s) << '\n';
    return CommandResult::success();
}

} // namespace railwright::cli
