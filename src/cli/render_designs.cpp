#include "cli/output_file.h"
#include "cli/render_request.h"
#include "cli/scan_files.h"
#include "cli/track_input.h"
#include "codec/track_pieces.h"
#include "document/native_path.h"
#include "render/track_picture.h"
#include "report/visible_text.h"
#include "rules/ride_rules.h"

#include <QBuffer>
#include <QImageWriter>
#include <QSet>
#include <algorithm>
#include <filesystem>
#include <optional>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

namespace railwright::cli {

using namespace Qt::StringLiterals;
namespace fs = std::filesystem;

namespace {

constexpr int PngQuality = 80;

// Named files as given; in folders every file ending in .td4 (any case), in name order,
// and each folder that could not be listed with why. Names keep their bytes.
std::vector<FoundPath> DesignFiles(const QStringList& inputs)
{
    std::vector<FoundPath> files;
    for (const QString& input : inputs) {
        const auto first = files.size();
        ForEachScannedFile({input}, [&files](const FoundPath& found) {
            files.push_back(found);
            return true;
        });
        std::sort(files.begin() + qsizetype(first), files.end(),
                  [](const FoundPath& a, const FoundPath& b) { return a.path < b.path; });
    }
    return files;
}

bool IsPngName(const QString& path)
{
    return path.endsWith(u".png"_s, Qt::CaseInsensitive) && !IsFolder(path);
}

// Which file `path` leads to, links followed; nothing when there is none.
std::optional<QString> FileIdentity(const QString& path)
{
#ifdef Q_OS_WIN
    std::error_code error;
    const fs::path real = fs::canonical(SystemPath(path), error);
    if (error) {
        return std::nullopt;
    }
    return QString::fromStdWString(real.native()).toLower();
#else
    struct stat status
    {
    };
    if (::stat(NativePath(path).constData(), &status) != 0) {
        return std::nullopt;
    }
    return u"%1:%2"_s.arg(quint64(status.st_dev)).arg(quint64(status.st_ino));
#endif
}

// The picture's name in the output folder: the design's name, its last suffix replaced
// by ".png", its bytes kept.
QString PictureBaseName(const QString& path)
{
    qsizetype slash = path.lastIndexOf(u'/');
#ifdef Q_OS_WIN
    slash = std::max(slash, path.lastIndexOf(u'\\'));
#endif
    QString name = path.mid(slash + 1);
    if (const qsizetype dot = name.lastIndexOf(u'.'); dot > 0) {
        name.truncate(dot);
    }
    return name;
}

QString InFolder(const QString& folder, const QString& name)
{
    const bool separated = folder.endsWith(u'/')
#ifdef Q_OS_WIN
                           || folder.endsWith(u'\\')
#endif
        ;
    return separated ? folder + name : folder + u'/' + name;
}

// The PNG file of `image`, made in memory so that it reaches the disk by the saving rules
// every output follows; empty with `why` set when it cannot be made.
QByteArray EncodePng(const QImage& image, QString& why)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    // Qt's PNG writer takes quality 80 as zlib's level 1: flat-coloured pictures stay
    // nearly as small as at its default level, and are written a third faster.
    writer.setQuality(PngQuality);
    if (!writer.write(image)) {
        why = writer.errorString();
        return {};
    }
    return bytes;
}

} // namespace

CommandResult RenderDesigns(const RenderRequest& request, QTextStream& err)
{
    const TrackView view = request.view == u"plan"_s   ? TrackView::Plan
                           : request.view == u"side"_s ? TrackView::Side
                                                       : TrackView::Iso;
    const std::vector<FoundPath> files = DesignFiles(request.inputs);
    if (files.empty()) {
        return CommandResult::failure(u"0 designs found: there are no files ending in .td4 in "_s +
                                      ShownPath(request.inputs.join(u", "_s)));
    }
    const bool toStandardOutput = IsStandardOutput(request.output);
    const bool single = toStandardOutput || IsPngName(request.output);
    if (single && files.size() != 1) {
        return CommandResult::usage(
            (toStandardOutput ? u"render: --out %1 writes one picture to standard output but "
                                u"there are %2 designs; name a folder"_s
                              : u"render: --out %1 names one .png file but there are %2 "
                                u"designs; name a folder"_s)
                .arg(ShownPath(request.output))
                .arg(files.size()));
    }
    if (!single) {
        std::error_code error;
        fs::create_directories(SystemPath(request.output), error);
        if (error && !IsFolder(request.output)) {
            return CommandResult::failure(u"Can't create folder: "_s + ShownPath(request.output) +
                                          u" ("_s + QString::fromLocal8Bit(error.message()) + u')');
        }
    }
    const auto report = [&err](const QString& message) {
        err << u"railwright-cli: "_s << VisibleText(message) << u'\n';
        err.flush();
    };
    // A picture never replaces a design being drawn (a folder of designs named .png).
    QSet<QString> inputFiles;
    for (const FoundPath& file : files) {
        if (const auto identity = FileIdentity(file.path)) {
            inputFiles.insert(*identity);
        }
    }
    qsizetype failed = 0;
    QString lastFailure;
    // Why a design was not drawn: for one design, the command's own failure.
    const auto fail = [&](const QString& message) {
        if (files.size() > 1) {
            report(message);
        }
        lastFailure = message;
        ++failed;
    };
    QSet<QString> written;
    for (const FoundPath& file : files) {
        const QString& path = file.path;
        if (!file.problem.isEmpty()) {
            fail(ShownPath(path) + u": "_s + file.problem);
            continue;
        }
        const TrackInput input = ReadTrackInput(path, request.inputsAreDecoded);
        if (input.failure) {
            fail(input.failure->message);
            continue;
        }
        const TrackList list = ReadTrackList(input.record);
        const TrackWalk walk = WalkTrack(list);
        // The track's warnings, as the Track panel shows them.
        for (const QString& warning : rules::TrackWarnings(input.record, list, walk)) {
            report(ShownPath(path) + u": warning: "_s + warning);
        }
        QString target = request.output;
        if (!single) {
            // Designs of the same name in different folders each keep a picture.
            const QString base = PictureBaseName(path);
            QString name = base + u".png"_s;
            for (int n = 2; written.contains(name.toLower()); ++n) {
                name = base + u'-' + QString::number(n) + u".png"_s;
            }
            written.insert(name.toLower());
            target = InFolder(request.output, name);
        }
        if (const auto identity = toStandardOutput ? std::nullopt : FileIdentity(target);
            identity && inputFiles.contains(*identity)) {
            fail(u"Can't open file: "_s + ShownPath(target) +
                 u" (is one of the designs to draw; name another --out)"_s);
            continue;
        }
        QString why;
        const QByteArray png = EncodePng(
            DrawTrackPicture(list, walk, input.record, view, request.size, request.turn), why);
        const CommandResult saved =
            png.isEmpty()
                ? CommandResult::failure(u"Can't save file: "_s + ShownPath(target) + u" ("_s +
                                         why + u")"_s)
                : WriteOutput({target, request.force, false},
                              ByteView(reinterpret_cast<const std::uint8_t*>(png.constData()),
                                       std::size_t(png.size())));
        if (saved.exitCode != ExitSuccess) {
            fail(saved.message);
        }
    }
    if (files.size() == 1 && failed > 0) {
        return CommandResult::failure(lastFailure);
    }
    if (failed > 0) {
        return CommandResult::failure(
            u"%1 of %2 designs were not drawn"_s.arg(failed).arg(files.size()));
    }
    return CommandResult::success();
}

} // namespace railwright::cli
