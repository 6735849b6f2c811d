#include "render_command.h"

#include "cli/track_input.h"
#include "codec/track_pieces.h"
#include "render/track_picture.h"
#include "report/visible_text.h"

#include <QCommandLineParser>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>
#include <QSet>

namespace railwright::cli {

using namespace Qt::StringLiterals;

namespace {

constexpr int MaxPictureSize = 8192;

// Named files as given; in folders every .td4 file, in name order.
QStringList DesignFiles(const QStringList& inputs)
{
    QStringList files;
    for (const QString& input : inputs) {
        if (!QFileInfo(input).isDir()) {
            files.append(input);
            continue;
        }
        QStringList found;
        QDirIterator it(input, {u"*.td4"_s}, QDir::Files | QDir::Hidden,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            found.append(it.next());
        }
        found.sort();
        files += found;
    }
    return files;
}

bool IsPngName(const QString& path)
{
    return path.endsWith(u".png"_s, Qt::CaseInsensitive) && !QFileInfo(path).isDir();
}

QString WritePng(const QImage& image, const QString& path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return u"Can't open file: "_s + QDir::toNativeSeparators(path) + u" ("_s +
               file.errorString() + u')';
    }
    QImageWriter writer(&file, "png");
    if (!writer.write(image) || !file.commit()) {
        file.cancelWriting();
        return u"Can't save file: "_s + QDir::toNativeSeparators(path) + u" ("_s +
               (writer.error() != QImageWriter::UnknownError ? writer.errorString()
                                                             : file.errorString()) +
               u')';
    }
    return {};
}

} // namespace

CommandResult RenderDesigns(const RenderRequest& request, QTextStream& err)
{
    const QStringList files = DesignFiles(request.inputs);
    const bool single = IsPngName(request.output);
    if (single && files.size() != 1) {
        return CommandResult::usage(u"render: --out names one .png file but there are %1 "
                                    u"designs; name a folder"_s.arg(files.size()));
    }
    if (!single && !QDir().mkpath(request.output)) {
        return CommandResult::failure(u"Can't create folder: "_s +
                                      QDir::toNativeSeparators(request.output));
    }
    const auto report = [&err](const QString& path, const QString& message) {
        err << u"railwright-cli: "_s
            << VisibleText(QDir::toNativeSeparators(path) + u": "_s + message) << u'\n';
        err.flush();
    };
    qsizetype failed = 0;
    QSet<QString> written;
    for (const QString& path : files) {
        const TrackInput input = ReadTrackInput(path, request.inputsAreDecoded);
        if (input.failure) {
            report(path, input.failure->message.startsWith(QDir::toNativeSeparators(path))
                             ? input.failure->message.mid(QDir::toNativeSeparators(path).size() + 2)
                             : input.failure->message);
            ++failed;
            continue;
        }
        const TrackList list = ReadTrackList(input.record);
        const TrackWalk walk = WalkTrack(list);
        for (const std::string& problem : TrackProblems(list, walk, false)) {
            report(path, u"warning: "_s + QString::fromStdString(problem));
        }
        QString target = request.output;
        if (!single) {
            // Designs of the same name in different folders each keep a picture.
            const QString base = QFileInfo(path).completeBaseName();
            QString name = base + u".png"_s;
            for (int n = 2; written.contains(name.toLower()); ++n) {
                name = base + u'-' + QString::number(n) + u".png"_s;
            }
            written.insert(name.toLower());
            target = QDir(request.output).filePath(name);
        }
        const QImage image = DrawTrackPicture(list, walk, input.record, request.view, request.size);
        if (const QString problem = WritePng(image, target); !problem.isEmpty()) {
            report(path, problem);
            ++failed;
        }
    }
    if (failed > 0) {
        return CommandResult::failure(
            u"%1 of %2 designs were not drawn"_s.arg(failed).arg(files.size()));
    }
    return CommandResult::success();
}

CommandResult RunRenderCommand(const QStringList& arguments, QTextStream& out)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Draws each design's track to a PNG picture: plan (from above, shaded by height), "
        u"side (height along the track) or iso (the game's view), in the design's track "
        u"colours, with chain lifts, stations and the start marked. A folder INPUT draws "
        u"every .td4 file in it."_s);
    const QCommandLineOption help = parser.addHelpOption();
    parser.addPositionalArgument(u"INPUT"_s, u"Track-design files or folders."_s,
                                 u"render INPUT..."_s);
    const QCommandLineOption output(u"out"_s,
                                    u"The folder to write the pictures to (NAME.png for each "
                                    u"INPUT), or a .png file for a single design."_s,
                                    u"dir|file.png"_s);
    const QCommandLineOption view(u"view"_s, u"plan, side or iso (default)."_s, u"view"_s,
                                  u"iso"_s);
    const QCommandLineOption size(
        u"size"_s, u"Pixels on the picture's longer side (default 512)."_s, u"pixels"_s, u"512"_s);
    const QCommandLineOption decoded(u"decoded"_s, u"The inputs are decoded records."_s);
    parser.addOptions({output, view, size, decoded});
    if (!parser.parse(QStringList{u"railwright-cli"_s} + arguments)) {
        return CommandResult::usage(u"render: "_s + parser.errorText());
    }
    if (parser.isSet(help) || parser.isSet(u"help-all"_s)) {
        out << parser.helpText();
        return CommandResult::success();
    }
    if (parser.positionalArguments().isEmpty() || !parser.isSet(output)) {
        return CommandResult::usage(
            u"render takes INPUT... --out DIR|FILE.png (see railwright-cli render --help)"_s);
    }
    RenderRequest request;
    request.inputs = parser.positionalArguments();
    request.output = parser.value(output);
    request.inputsAreDecoded = parser.isSet(decoded);
    const QString viewName = parser.value(view).toLower();
    if (viewName == u"plan"_s) {
        request.view = TrackView::Plan;
    } else if (viewName == u"side"_s) {
        request.view = TrackView::Side;
    } else if (viewName == u"iso"_s) {
        request.view = TrackView::Iso;
    } else {
        return CommandResult::usage(u"render: unknown view \""_s + parser.value(view) +
                                    u"\" (use plan, side or iso)"_s);
    }
    bool ok = false;
    request.size = parser.value(size).toInt(&ok);
    if (!ok || request.size < 16 || request.size > MaxPictureSize) {
        return CommandResult::usage(u"render: --size must be a number of pixels from 16 to "_s +
                                    QString::number(MaxPictureSize));
    }
    QTextStream err(stderr);
    return RenderDesigns(request, err);
}

} // namespace railwright::cli
