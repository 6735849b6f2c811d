#include "track_command.h"

#include "cli/command_parser.h"
#include "cli/output_file.h"
#include "cli/track_input.h"
#include "codec/checksum.h"
#include "document/native_path.h"

namespace railwright::cli {

using namespace Qt::StringLiterals;

namespace {

// "N" or "N-M", pieces counted from 0; nothing for other text.
std::optional<std::pair<std::size_t, std::size_t>> ParseRange(const QString& text)
{
    const QStringList ends = text.split(u'-');
    if (ends.size() > 2) {
        return std::nullopt;
    }
    bool firstOk = false;
    bool lastOk = false;
    const qulonglong first = ends.front().trimmed().toULongLong(&firstOk);
    const qulonglong last = ends.back().trimmed().toULongLong(&lastOk);
    if (!firstOk || !lastOk || last < first || last >= MaxTrackPieces) {
        return std::nullopt;
    }
    return std::pair{std::size_t(first), std::size_t(last)};
}

} // namespace

std::optional<std::uint8_t> ParsePieceCode(const QString& text)
{
    const QString name = text.trimmed();
    bool isHex = false;
    const uint code = name.toUInt(&isHex, 16);
    if (name.size() == 2 && isHex && code < TrackEndCode) {
        return std::uint8_t(code);
    }
    for (int candidate = 0; candidate < TrackEndCode; ++candidate) {
        const TrackPieceShape* shape = FindTrackPiece(std::uint8_t(candidate));
        if (shape != nullptr &&
            QString::fromUtf8(shape->label.data(), qsizetype(shape->label.size()))
                    .compare(name, Qt::CaseInsensitive) == 0) {
            return std::uint8_t(candidate);
        }
    }
    return std::nullopt;
}

TrackStep ParseTrackStep(const QString& option, const QString& value)
{
    PieceListEdit edit;
    if (option == u"delete"_s) {
        const auto range = ParseRange(value);
        if (!range) {
            return {std::nullopt, u"expected a piece N or a run N-M, counted from 0"_s};
        }
        edit.kind = PieceListEdit::Kind::Delete;
        edit.index = range->first;
        edit.count = range->second - range->first + 1;
        return {edit, {}};
    }
    edit.kind = option == u"insert"_s ? PieceListEdit::Kind::Insert : PieceListEdit::Kind::Replace;
    const qsizetype colon = value.indexOf(u':');
    bool indexOk = false;
    edit.index = colon < 0 ? 0 : std::size_t(value.left(colon).trimmed().toULongLong(&indexOk));
    if (!indexOk || edit.index > MaxTrackPieces) {
        return {std::nullopt, u"expected N:CODE[,CODE...], N counted from 0"_s};
    }
    for (const QString& name : value.mid(colon + 1).split(u',')) {
        const auto code = ParsePieceCode(name);
        if (!code) {
            return {std::nullopt, u"\"%1\" is no piece: give two hexadecimal digits or the "
                                  u"piece's name as pieces prints it"_s.arg(name.trimmed())};
        }
        edit.codes.push_back(*code);
    }
    return {edit, {}};
}

CommandResult RunTrackCommand(const QStringList& arguments, QTextStream& out)
{
    CommandParser parser(
        u"track"_s,
        u"Builds or repairs a design's track: deletes, inserts and replaces pieces in the "
        u"order given (N counts pieces from 0 as pieces shows them; CODE is two hexadecimal "
        u"digits or the piece's name as pieces prints it). Inserted pieces take the colour "
        u"scheme of the piece before them; a replaced piece's scheme stays. Nothing is "
        u"written when any step fails."_s);
    parser.addArgument(u"INPUT"_s, QString::fromUtf16(TrackInputText));
    parser.addArgument(u"OUTPUT"_s, u"The file to write, in INPUT's form; may be INPUT."_s);
    const QCommandLineOption remove(u"delete"_s, u"Delete piece N, or pieces N to M."_s,
                                    u"N[-M]"_s);
    const QCommandLineOption insert(u"insert"_s, u"Insert pieces; the first becomes piece N."_s,
                                    u"N:CODE[,CODE...]"_s);
    const QCommandLineOption replace(
        u"replace"_s, u"Replace pieces N on, one for each CODE given."_s, u"N:CODE[,CODE...]"_s);
    const QCommandLineOption decoded(u"decoded"_s, u"INPUT and OUTPUT are decoded records."_s);
    const QCommandLineOption force(u"force"_s, QString::fromUtf16(ForceOptionText));
    for (const QCommandLineOption& step : {remove, insert, replace}) {
        parser.addOption(step, true);
    }
    parser.addOption(decoded);
    parser.addOption(force);
    if (auto done = parser.parse(arguments, out)) {
        return *done;
    }
    const auto steps = parser.valuesInOrder({remove, insert, replace});
    if (steps.isEmpty()) {
        return CommandResult::usage(u"track: give at least one --delete, --insert or "
                                    u"--replace"_s);
    }
    std::vector<PieceListEdit> edits;
    for (qsizetype i = 0; i < steps.size(); ++i) {
        const auto& [option, value] = steps[i];
        const TrackStep step = ParseTrackStep(option, value);
        if (!step.edit) {
            return CommandResult::usage(
                u"track: step %1 (--%2 %3): %4"_s.arg(i + 1).arg(option, value, step.error));
        }
        edits.push_back(*step.edit);
    }
    const bool isDecoded = parser.isSet(decoded);
    TrackInput input = ReadTrackInput(parser.argument(0), isDecoded);
    if (input.failure) {
        return *input.failure;
    }
    for (std::size_t i = 0; i < edits.size(); ++i) {
        if (const auto refusal = ApplyPieceListEdit(input.record, edits[i])) {
            const auto& [option, value] = steps[qsizetype(i)];
            return CommandResult::failure(
                u"%1: step %2 (--%3 %4): %5; nothing written"_s.arg(ShownPath(parser.argument(0)))
                    .arg(i + 1)
                    .arg(option, value, QString::fromStdString(*refusal)));
        }
    }
    const ByteBuffer bytes = isDecoded ? input.record : EncodeDesign(input.record, input.version);
    CommandResult result = WriteOutput({parser.argument(1), parser.isSet(force)}, bytes);
    if (result.exitCode == ExitSuccess) {
        const TrackList list = ReadTrackList(input.record);
        result.notes.append(QString::fromStdString(TrackSummary(list, WalkTrack(list))));
    }
    return result;
}

} // namespace railwright::cli
