#include "render_command.h"

#include "cli/command_parser.h"
#include "cli/output_file.h"

namespace railwright::cli {

using namespace Qt::StringLiterals;

namespace {

constexpr int MaxPictureSize = 8192;

} // namespace

CommandResult RunRenderCommand(const QStringList& arguments, QTextStream& out)
{
    CommandParser parser(
        u"render"_s,
        u"Draws each design's track to a PNG picture: plan (from above, shaded by height), "
        u"side (height along the track) or 3d (the game's view, as the editor's 3D button; iso "
        u"is another name for it), in the design's track "
        u"colours, with chain lifts, stations and the start marked. A folder INPUT draws "
        u"every .td4 file in it. A picture is written by the rules of every command's OUTPUT "
        u"and never over one of the designs drawn."_s);
    parser.addArgument(u"INPUT"_s, u"Track-design files or folders."_s, true);
    const QCommandLineOption output(u"out"_s,
                                    u"The folder to write the pictures to (NAME.png for each "
                                    u"INPUT), or a .png file or - (standard output) for a "
                                    u"single design."_s,
                                    u"dir|file.png"_s);
    const QCommandLineOption view(u"view"_s, u"plan, side or 3d (default; iso is the same)."_s,
                                  u"view"_s, u"3d"_s);
    const QCommandLineOption size(
        u"size"_s, u"Pixels on the picture's longer side (default 512)."_s, u"pixels"_s, u"512"_s);
    const QCommandLineOption turn(u"turn"_s, u"Quarter turns of the 3d view, 0 (default) to 3."_s,
                                  u"0-3"_s, u"0"_s);
    const QCommandLineOption decoded(u"decoded"_s, u"The inputs are decoded records."_s);
    const QCommandLineOption force(u"force"_s, QString::fromUtf16(ForceOptionText));
    for (const QCommandLineOption& option : {output, view, size, turn, decoded, force}) {
        parser.addOption(option);
    }
    if (auto done = parser.parse(arguments, out)) {
        return *done;
    }
    if (!parser.isSet(output)) {
        return CommandResult::usage(
            u"render takes INPUT... --out DIR|FILE.png (see railwright-cli render --help)"_s);
    }
    RenderRequest request;
    request.inputs = parser.arguments();
    request.output = parser.value(output);
    request.inputsAreDecoded = parser.isSet(decoded);
    request.force = parser.isSet(force);
    request.view = parser.value(view).toLower();
    // The editor calls the game's view "3D"; "iso", its first name here, keeps scripts
    // written before working.
    if (request.view == u"iso"_s) {
        request.view = u"3d"_s;
    }
    if (request.view != u"plan"_s && request.view != u"side"_s && request.view != u"3d"_s) {
        return CommandResult::usage(u"render: unknown view \""_s + parser.value(view) +
                                    u"\" (use plan, side or 3d)"_s);
    }
    bool ok = false;
    request.size = parser.value(size).toInt(&ok);
    if (!ok || request.size < 16 || request.size > MaxPictureSize) {
        return CommandResult::usage(u"render: --size must be a number of pixels from 16 to "_s +
                                    QString::number(MaxPictureSize));
    }
    request.turn = parser.value(turn).toInt(&ok);
    if (!ok || request.turn < 0 || request.turn > 3) {
        return CommandResult::usage(u"render: --turn must be 0, 1, 2 or 3"_s);
    }
    QTextStream err(stderr);
    return RenderDesigns(request, err);
}

} // namespace railwright::cli
