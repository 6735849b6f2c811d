#include "command_line.h"

#include "cli/cli_commands.h"
#include "cli/command_parser.h"
#include "cli/convert_command.h"
#include "cli/output_file.h"
#include "cli/pieces_command.h"
#include "cli/render_command.h"
#include "cli/scan_command.h"
#include "cli/track_command.h"
#include "cli/track_input.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileDevice>

namespace railwright::cli {

using namespace Qt::StringLiterals;

namespace {

const QString ProgramName = u"railwright-cli"_s;
// Added by QCommandLineParser::addHelpOption beside --help; the tool has no Qt options to
// list, so it shows the same help.
const QString HelpAllOption = u"help-all"_s;

QCommandLineOption GameOption(const QString& defaultValue = {})
{
    QCommandLineOption option(u"game"_s, u"The game: original, corkscrew or loopy."_s, u"game"_s,
                              defaultValue);
    return option;
}

// The value of --game, or a usage failure when it names no game.
std::optional<CommandResult> ReadGame(const CommandParser& parser, const QCommandLineOption& option,
                                      std::optional<GameVersion>& version)
{
    if (!parser.isSet(option) && option.defaultValues().isEmpty()) {
        version.reset();
        return std::nullopt;
    }
    const QString name = parser.value(option);
    version = ParseGameName(name);
    if (!version) {
        return CommandResult::usage(u"unknown game \""_s + name +
                                    u"\" (use original, corkscrew or loopy)"_s);
    }
    return std::nullopt;
}

QCommandLineOption ForceOption()
{
    return QCommandLineOption(u"force"_s, QString::fromUtf16(ForceOptionText));
}

CommandResult RunDecode(const QStringList& arguments, QTextStream& out)
{
    CommandParser parser(u"decode"_s, u"Writes the decoded record of a track-design file."_s);
    parser.addArgument(u"INPUT"_s, u"The track-design file (.TD4)."_s);
    parser.addArgument(u"OUTPUT"_s, u"The file to write the decoded record to."_s);
    const QCommandLineOption force = ForceOption();
    parser.addOption(force);
    if (auto done = parser.parse(arguments, out)) {
        return *done;
    }
    return DecodeFile(parser.argument(0), OutputFile{parser.argument(1), parser.isSet(force)});
}

CommandResult RunEncode(const QStringList& arguments, QTextStream& out)
{
    CommandParser parser(u"encode"_s, u"Run-length encodes a decoded record and appends the "
                                      u"checksum of the chosen game."_s);
    parser.addArgument(u"INPUT"_s, u"The decoded record."_s);
    parser.addArgument(u"OUTPUT"_s, u"The track-design file to write."_s);
    const QCommandLineOption game = GameOption(u"original"_s);
    const QCommandLineOption force = ForceOption();
    parser.addOption(game);
    parser.addOption(force);
    if (auto done = parser.parse(arguments, out)) {
        return *done;
    }
    std::optional<GameVersion> version;
    if (auto bad = ReadGame(parser, game, version)) {
        return *bad;
    }
    return EncodeFile(parser.argument(0), OutputFile{parser.argument(1), parser.isSet(force)},
                      *version);
}

CommandResult RunVerify(const QStringList& arguments, QTextStream& out)
{
    CommandParser parser(u"verify"_s,
                         u"Prints which game's checksum closes a track-design file: "
                         u"\"original or corkscrew\" or \"loopy\". Fails when none does."_s);
    parser.addArgument(u"INPUT"_s, u"The track-design file (.TD4)."_s);
    if (auto done = parser.parse(arguments, out)) {
        return *done;
    }
    return VerifyFile(parser.argument(0), out);
}

CommandResult RunInfo(const QStringList& arguments, QTextStream& out)
{
    CommandParser parser(u"info"_s, u"Prints the ride info report of a track-design file."_s);
    parser.addArgument(u"INPUT"_s, QString::fromUtf16(TrackInputText));
    const QCommandLineOption game(u"game"_s,
                                  u"The game the report names: original, corkscrew or loopy "
                                  u"(default: as the editor selects on decoding)."_s,
                                  u"game"_s);
    const QCommandLineOption tables(u"tables"_s,
                                    u"The folder of the code tables (default: the program's "
                                    u"folder)."_s,
                                    u"dir"_s);
    const QCommandLineOption decoded(u"decoded"_s, u"INPUT is already decoded."_s);
    parser.addOption(game);
    parser.addOption(tables);
    parser.addOption(decoded);
    if (auto done = parser.parse(arguments, out)) {
        return *done;
    }
    InfoRequest request;
    if (auto bad = ReadGame(parser, game, request.version)) {
        return *bad;
    }
    request.input = parser.argument(0);
    request.tablesDirectory =
        parser.isSet(tables) ? parser.value(tables) : QCoreApplication::applicationDirPath();
    request.inputIsDecoded = parser.isSet(decoded);
    return PrintRideInfo(request, out);
}

CommandResult RunCodesPack(const QStringList& arguments, QTextStream& out)
{
    CommandParser parser(u"codes pack"_s,
                         u"Writes a code table (.RCS) from a UTF-8 text source: one entry a "
                         u"line, two hexadecimal digits, a tab and the name (at most 128 "
                         u"characters of Windows-1252). Empty lines and lines starting with "
                         u"'#' are skipped."_s);
    parser.addArgument(u"SOURCE"_s, u"The text source."_s);
    parser.addArgument(u"OUTPUT"_s, u"The code table to write."_s);
    const QCommandLineOption force = ForceOption();
    parser.addOption(force);
    if (auto done = parser.parse(arguments, out)) {
        return *done;
    }
    return PackCodeTable(parser.argument(0), OutputFile{parser.argument(1), parser.isSet(force)});
}

CommandResult RunCodesList(const QStringList& arguments, QTextStream& out)
{
    CommandParser parser(u"codes list"_s, u"Prints each entry of a code table: code, tab, "
                                          u"name without its padding."_s);
    parser.addArgument(u"FILE"_s, u"The code table (.RCS)."_s);
    if (auto done = parser.parse(arguments, out)) {
        return *done;
    }
    return ListCodeTable(parser.argument(0), out);
}

CommandResult RunCodes(const QStringList& arguments, QTextStream& out)
{
    const QString action = arguments.value(0);
    if (action == u"pack"_s) {
        return RunCodesPack(arguments.mid(1), out);
    }
    if (action == u"list"_s) {
        return RunCodesList(arguments.mid(1), out);
    }
    if (action == u"--help"_s || action == u"-h"_s) {
        out << u"Usage: "_s << ProgramName << u" codes pack SOURCE OUTPUT | codes list FILE\n"_s;
        return CommandResult::success();
    }
    return CommandResult::usage(action.isEmpty() ? u"codes needs pack or list"_s
                                                 : u"unknown codes command \""_s + action +
                                                       u"\" (use pack or list)"_s);
}

using Handler = CommandResult (*)(const QStringList& arguments, QTextStream& out);

// A line of the tool's help: the command's arguments and what it does.
struct CommandHelp
{
    QString usage; // after the command word
    QString summary;
};

// Every command: its word, what runs it and its lines in the tool's help, so that a new
// command is one row here.
struct Command
{
    QString name;
    Handler handler;
    QList<CommandHelp> help;
};

const QList<Command>& Commands()
{
    static const QList<Command> commands{
        {u"decode"_s,
         RunDecode,
         {{u"INPUT OUTPUT"_s, u"write the decoded record of a track-design file"_s}}},
        {u"encode"_s,
         RunEncode,
         {{u"INPUT OUTPUT [--game GAME]"_s, u"encode a record and append the checksum of GAME"_s}}},
        {u"verify"_s, RunVerify, {{u"INPUT"_s, u"tell which game's checksum closes a file"_s}}},
        {u"info"_s,
         RunInfo,
         {{u"INPUT [--game GAME] [--tables DIR] [--decoded]"_s, u"print the ride info report"_s}}},
        {u"scan"_s,
         RunScanCommand,
         {{u"PATH... [--csv|--json] [--tables DIR]"_s,
           u"list the designs in files and folders"_s}}},
        {u"convert"_s,
         RunConvertCommand,
         {{u"INPUT OUTPUT --to expansion|base [--game GAME]"_s,
           u"convert between the base and expansion layouts"_s}}},
        {u"pieces"_s,
         RunPiecesCommand,
         {{u"INPUT [--json] [--decoded]"_s, u"list the track pieces and whether they close"_s}}},
        {u"track"_s,
         RunTrackCommand,
         {{u"INPUT OUTPUT [--delete N[-M]] [--insert N:CODES] [--replace N:CODES]"_s,
           u"delete, insert and replace track pieces"_s}}},
        {u"render"_s,
         RunRenderModule,
         {{u"INPUT... --out DIR|FILE.png [--view plan|side|3d] [--turn 0-3] [--size PIXELS]"_s,
           u"draw each design's track to a picture"_s}}},
        {u"codes"_s,
         RunCodes,
         {{u"pack SOURCE OUTPUT"_s, u"write a code table from text lines \"code<TAB>name\""_s},
          {u"list FILE"_s, u"print the entries of a code table"_s}}},
    };
    return commands;
}

// The tool's description in its help: each command's lines from the table, the summary
// beside the usage or, when the usage is too long, under it.
QString CommandSummary()
{
    constexpr qsizetype SummaryColumn = 31;
    QString text = u"Reads, writes and checks RollerCoaster Tycoon track-design files (.TD4) and "
                   u"the editor's code tables (.RCS).\n\nCommands:\n"_s;
    for (const Command& command : Commands()) {
        for (const CommandHelp& line : command.help) {
            const QString usage = u"  "_s + command.name + u' ' + line.usage;
            text += usage.size() < SummaryColumn - 1 ? usage.leftJustified(SummaryColumn)
                                                     : usage + u'\n' + QString(SummaryColumn, u' ');
            text += line.summary + u'\n';
        }
    }
    return text + u"\nGAME is original, corkscrew or loopy. Run a command with --help for its "
                  u"details."_s;
}

CommandResult Run(const QStringList& arguments, QTextStream& out)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(CommandSummary());
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(u"command"_s, u"The command to run, then its arguments."_s,
                                 u"command [arguments]"_s);
    // Everything from the command word on belongs to the command's own parser.
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    if (!parser.parse(arguments)) {
        return CommandResult::usage(parser.errorText());
    }
    if (parser.isSet(help) || parser.isSet(HelpAllOption)) {
        out << parser.helpText();
        return CommandResult::success();
    }
    if (parser.isSet(version)) {
        out << ProgramName << u' ' << QCoreApplication::applicationVersion() << u'\n';
        return CommandResult::success();
    }

    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty()) {
        return CommandResult::usage(u"no command given (see "_s + ProgramName + u" --help)"_s);
    }
    const QString command = positional.first();
    const QStringList rest = positional.mid(1);
    for (const Command& entry : Commands()) {
        if (command == entry.name) {
            return entry.handler(rest, out);
        }
    }
    return CommandResult::usage(u"unknown command \""_s + command + u"\" (see "_s + ProgramName +
                                u" --help)"_s);
}

} // namespace

int RunCommandLine(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    return FinishCommand(Run(arguments, out), out, err);
}

} // namespace railwright::cli
