#include "cli/render_request.h"
#include "cli/track_input.h"
#include "codec/track_pieces.h"
#include "render/track_picture.h"
#include "report/visible_text.h"
#include "rules/ride_rules.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>
#include <QSet>
#include <QTemporaryFile>
#include <filesystem>

namespace railwright::cli {

using namespace Qt::StringLiterals;

namespace {

constexpr int PngQuality = 80;

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

#ifdef Q_OS_WIN

// Writes through a temporary file that replaces `path` only once it is whole. On Windows a
// QTemporaryFile keeps its handle open after close(), which stops a rename, and a rename
// does not replace an existing file: QSaveFile does both, though it also waits for the disk.
QString WritePng(const QImage& image, const QString& path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return u"Can't open file: "_s + QDir::toNativeSeparators(path) + u" ("_s +
               file.errorString() + u')';
    }
    QImageWriter writer(&file, "png");
    writer.setQuality(PngQuality);
    if (!writer.write(image)) {
        file.cancelWriting();
        return u"Can't save file: "_s + QDir::toNativeSeparators(path) + u" ("_s +
               (writer.error() != QImageWriter::UnknownError ? writer.errorString()
                                                             : file.errorString()) +
               u')';
    }
    if (!file.commit()) {
        return u"Can't save file: "_s + QDir::toNativeSeparators(path) + u" ("_s +
               file.errorString() + u')';
    }
    return {};
}

#else

// Writes through a temporary file renamed over `path`, so a picture is never seen half
// written. Unlike a saved design it is not forced to disk first: a picture can be drawn
// again, and waiting for the disk would slow a folder of designs several times over.
QString WritePng(const QImage& image, const QString& path)
{
    QTemporaryFile file(path + u".XXXXXX"_s);
    if (!file.open()) {
        return u"Can't open file: "_s + QDir::toNativeSeparators(path) + u" ("_s +
               file.errorString() + u')';
    }
    QImageWriter writer(&file, "png");
    // Qt's PNG writer takes quality 80 as zlib's level 1: flat-coloured pictures stay
    // nearly as small as at its default level, and are written a third faster.
    writer.setQuality(PngQuality);
    if (!writer.write(image) || !file.flush()) {
        return u"Can't save file: "_s + QDir::toNativeSeparators(path) + u" ("_s +
               (writer.error() != QImageWriter::UnknownError ? writer.errorString()
                                                             : file.errorString()) +
               u')';
    }
    file.close();
    // A temporary file is private to its owner; a picture is as readable as any file.
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                        QFileDevice::ReadOther);
    std::error_code error;
    std::filesystem::rename(QFile::encodeName(file.fileName()).toStdString(),
                            QFile::encodeName(path).toStdString(), error);
    if (error) {
        return u"Can't save file: "_s + QDir::toNativeSeparators(path) + u" ("_s +
               QString::fromLocal8Bit(error.message()) + u')';
    }
    file.setAutoRemove(false);
    return {};
}

#endif

} // namespace

CommandResult RenderDesigns(const RenderRequest& request, QTextStream& err)
{
    const TrackView view = request.view == u"plan"_s   ? TrackView::Plan
                           : request.view == u"side"_s ? TrackView::Side
                                                       : TrackView::Iso;
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
        // The track's warnings, as the Track panel shows them.
        for (const QString& warning : rules::TrackWarnings(input.record, list, walk)) {
            report(path, u"warning: "_s + warning);
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
        const QImage image = DrawTrackPicture(list, walk, input.record, view, request.size);
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

} // namespace railwright::cli
