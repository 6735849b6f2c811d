#include "convert_command.h"

#include "codec/checksum.h"
#include "codec/layout_conversion.h"
#include "codec/rle.h"
#include "document/document_file.h"

#include <QCommandLineParser>

namespace railwright::cli {

using namespace Qt::StringLiterals;

namespace {

struct ConvertRequest
{
    QString input;
    QString output;
    RecordLayout target = RecordLayout::Expansion;
    std::optional<GameVersion> version;
    bool inputIsDecoded = false;
    bool force = false;
};

CommandResult ConvertFile(const ConvertRequest& request)
{
    LoadResult load = LoadFile(request.input);
    if (!load.ok()) {
        // Some of the editor's messages name the file, some do not.
        return CommandResult::failure(load.errorText.contains(request.input)
                                          ? load.errorText
                                          : request.input + u": "_s + load.errorText);
    }
    ByteBuffer record = std::move(load.bytes);
    GameVersion version = request.version.value_or(GameVersion::Original);
    if (!request.inputIsDecoded) {
        const ChecksumMatch match = MatchChecksum(record);
        if (!request.version && match == ChecksumMatch::None) {
            return CommandResult::failure(request.input +
                                          u": the checksum matches no game; name the game whose "
                                          u"checksum to write with --game"_s);
        }
        if (!request.version && match == ChecksumMatch::LoopyLandscapes) {
            version = GameVersion::LoopyLandscapes;
        }
        DecodeResult decoded = RLEDecode(record);
        if (!decoded.ok()) {
            return CommandResult::failure(request.input + u": "_s +
                                          QString::fromStdString(decoded.error));
        }
        record = std::move(decoded.record);
    }

    LayoutConversion converted = ConvertLayout(record, request.target, request.force);
    if (!converted.ok()) {
        return CommandResult::failure(
            request.input + u": "_s + QString::fromStdString(converted.error) +
            (converted.lossy ? u"; --force converts anyway"_s : QString()));
    }
    const ByteBuffer bytes = request.inputIsDecoded
                                 ? std::move(converted.record)
                                 : AppendChecksum(RLEEncode(converted.record), version);
    const SaveResult saved = SaveFile(request.output, bytes);
    return saved.ok() ? CommandResult::success() : CommandResult::failure(saved.errorText);
}

} // namespace

CommandResult RunConvertCommand(const QStringList& arguments, QTextStream& out)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Converts a track design between the base layout (8,058 bytes, one set of track "
        u"colours) and the expansion layout (8,198 bytes, four track colour schemes)."_s);
    const QCommandLineOption help = parser.addHelpOption();
    parser.addPositionalArgument(u"INPUT"_s,
                                 u"The track-design file, or a decoded record "
                                 u"with --decoded."_s,
                                 u"convert INPUT"_s);
    parser.addPositionalArgument(u"OUTPUT"_s, u"The file to write; may be INPUT."_s);
    const QCommandLineOption to(u"to"_s, u"The layout to convert to: expansion or base."_s,
                                u"layout"_s);
    const QCommandLineOption game(u"game"_s,
                                  u"The game whose checksum closes OUTPUT: original, corkscrew "
                                  u"or loopy (default: the one INPUT's checksum matches)."_s,
                                  u"game"_s);
    const QCommandLineOption decoded(u"decoded"_s, u"INPUT and OUTPUT are decoded records."_s);
    const QCommandLineOption force(u"force"_s, u"Convert to base even when track colour "
                                               u"schemes 1-3 or other expansion data are lost."_s);
    parser.addOptions({to, game, decoded, force});
    if (!parser.parse(QStringList{u"railwright-cli"_s} + arguments)) {
        return CommandResult::usage(u"convert: "_s + parser.errorText());
    }
    if (parser.isSet(help) || parser.isSet(u"help-all"_s)) {
        out << parser.helpText();
        return CommandResult::success();
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() != 2) {
        return CommandResult::usage(
            u"convert takes INPUT OUTPUT (see railwright-cli convert --help)"_s);
    }
    ConvertRequest request;
    request.input = files[0];
    request.output = files[1];
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
