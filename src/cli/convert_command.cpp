#include "convert_command.h"

#include "cli/command_parser.h"
#include "cli/output_file.h"
#include "cli/track_input.h"
#include "codec/checksum.h"
#include "codec/layout_conversion.h"
#include "codec/rle.h"
#include "document/document_file.h"

namespace railwright::cli {

using namespace Qt::StringLiterals;

namespace {

struct ConvertRequest
{
    QString input;
    OutputFile output;
    RecordLayout target = RecordLayout::Expansion;
    std::optional<GameVersion> version;
    bool inputIsDecoded = false;
    bool force = false;
};

CommandResult ConvertFile(const ConvertRequest& request)
{
    const QString input = ShownPath(request.input);
    LoadResult load = LoadFile(request.input);
    if (!load.ok()) {
        // Some of the editor's messages name the file, some do not.
        return CommandResult::failure(
            load.errorText.contains(input) ? load.errorText : input + u": "_s + load.errorText);
    }
    ByteBuffer record = std::move(load.bytes);
    GameVersion version = request.version.value_or(GameVersion::Original);
    if (!request.inputIsDecoded) {
        if (auto refusal = DecodedRecordRefusal(request.input, record)) {
            return *refusal;
        }
        const ChecksumMatch match = MatchChecksum(record);
        if (!request.version && match == ChecksumMatch::None) {
            return CommandResult::failure(input +
                                          u": the checksum matches no game; name the game whose "
                                          u"checksum to write with --game"_s);
        }
        if (!request.version && match == ChecksumMatch::LoopyLandscapes) {
            version = GameVersion::LoopyLandscapes;
        }
        DecodeResult decoded = RLEDecode(record);
        if (!decoded.ok()) {
            return CommandResult::failure(input + u": "_s + QString::fromStdString(decoded.error));
        }
        record = std::move(decoded.record);
    }

    LayoutConversion converted = ConvertLayout(record, request.target, false);
    QString dropped;
    if (converted.lossy && request.force) {
        dropped = QString::fromStdString(converted.error);
        converted = ConvertLayout(record, request.target, true);
    }
    if (!converted.ok()) {
        return CommandResult::failure(
            input + u": "_s + QString::fromStdString(converted.error) +
            (converted.lossy ? u"; --force converts anyway"_s : QString()));
    }
    const ByteBuffer bytes = request.inputIsDecoded ? std::move(converted.record)
                                                    : EncodeDesign(converted.record, version);
    CommandResult result = WriteOutput(request.output, bytes);
    if (result.exitCode == ExitSuccess && !dropped.isEmpty()) {
        // The refusal ("the base layout would lose X") names what was dropped.
        dropped.remove(u"the base layout would lose "_s);
        result.notes.append(input +
                            u": converted with --force, dropping what the base layout "_s
                            u"cannot hold: "_s +
                            dropped);
    }
    return result;
}

} // namespace

CommandResult RunConvertCommand(const QStringList& arguments, QTextStream& out)
{
    CommandParser parser(
        u"convert"_s,
        u"Converts a track design between the base layout (8,058 bytes, one set of track "
        u"colours) and the expansion layout (8,198 bytes, four track colour schemes)."_s);
    parser.addArgument(u"INPUT"_s, QString::fromUtf16(TrackInputText));
    parser.addArgument(u"OUTPUT"_s, u"The file to write; may be INPUT."_s);
    const QCommandLineOption to(u"to"_s, u"The layout to convert to: expansion or base."_s,
                                u"layout"_s);
    const QCommandLineOption game(u"game"_s,
                                  u"The game whose checksum closes OUTPUT: original, corkscrew "
                                  u"or loopy (default: the one INPUT's checksum matches)."_s,
                                  u"game"_s);
    const QCommandLineOption decoded(u"decoded"_s, u"INPUT and OUTPUT are decoded records."_s);
    const QCommandLineOption force(u"force"_s,
                                   u"Convert to base even when track colour schemes 1-3 or other "
                                   u"expansion data are lost (and say what was). "_s +
                                       QString::fromUtf16(ForceOptionText));
    for (const QCommandLineOption& option : {to, game, decoded, force}) {
        parser.addOption(option);
    }
    if (auto done = parser.parse(arguments, out)) {
        return *done;
    }
    ConvertRequest request;
    request.input = parser.argument(0);
    request.output = {parser.argument(1), parser.isSet(force)};
    const QString layout = parser.value(to).toLower();
    if (layout != u"expansion"_s && layout != u"base"_s) {
        return CommandResult::usage(u"convert needs --to expansion or --to base"_s);
    }
    request.target = layout == u"base"_s ? RecordLayout::Base : RecordLayout::Expansion;
    request.inputIsDecoded = parser.isSet(decoded);
    request.force = parser.isSet(force);
    if (parser.isSet(game)) {
        if (request.inputIsDecoded) {
            return CommandResult::usage(u"convert: --game names no checksum for --decoded "
                                        u"records"_s);
        }
        request.version = ParseGameName(parser.value(game));
        if (!request.version) {
            return CommandResult::usage(u"unknown game \""_s + parser.value(game) +
                                        u"\" (use original, corkscrew or loopy)"_s);
        }
    }
    return ConvertFile(request);
}

} // namespace railwright::cli
