#include "document_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_WIN
#include <QSaveFile>
#else
#include <QRandomGenerator>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace railwright {

using namespace Qt::StringLiterals;

namespace {

QString cantOpen(const QString& path, const QString& why)
{
    return u"Can't open file: "_s + QDir::toNativeSeparators(path) + u" ("_s + why + u')';
}

QString saveFailed(const QString& path, const QString& why, bool existed)
{
    return u"Can't save file: "_s + QDir::toNativeSeparators(path) + u" ("_s + why + u"). "_s +
           (existed ? u"The file on disk was left as it was."_s : u"No file was created."_s);
}

QString tooLarge()
{
    return u"The file is too large to open."_s;
}

#ifndef Q_OS_WIN

QString systemReason(int error)
{
    return error == ENOENT ? u"does not exist"_s : qt_error_string(error);
}

// Why what is at a path cannot be one of our files; empty for a regular file.
QString typeRefusal(mode_t mode)
{
    if (S_ISREG(mode)) {
        return {};
    }
    if (S_ISDIR(mode)) {
        return u"is a folder"_s;
    }
    if (S_ISFIFO(mode)) {
        return u"is a named pipe, not a file"_s;
    }
    if (S_ISSOCK(mode)) {
        return u"is a socket, not a file"_s;
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return u"is a device, not a file"_s;
    }
    return u"is not a regular file"_s;
}

// Opening a named pipe waits for a writer and opening a device can act on it, so the type
// is looked at first; the open itself never waits, and what it opened is looked at again
// in case the path changed in between.
QString openForReading(const QString& path, QFile& file)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat info
    {
    };
    if (::stat(name.constData(), &info) != 0) {
        return systemReason(errno);
    }
    if (QString why = typeRefusal(info.st_mode); !why.isEmpty()) {
        return why;
    }
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return systemReason(errno);
    }
    QString why = ::fstat(fd, &info) == 0 ? typeRefusal(info.st_mode) : qt_error_string(errno);
    if (why.isEmpty() && !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        why = file.errorString();
    }
    if (!why.isEmpty()) {
        ::close(fd);
    }
    return why;
}

#else

QString openForReading(const QString& path, QFile& file)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        return u"does not exist"_s;
    }
    if (info.isDir()) {
        return u"is a folder"_s;
    }
    if (!info.isFile()) {
        return u"is not a file"_s;
    }
    file.setFileName(path);
    return file.open(QIODevice::ReadOnly) ? QString() : file.errorString();
}

#endif

} // namespace

LoadResult ReadRegularFile(const QString& path, qint64 limit)
{
    LoadResult result;
    QFile file;
    if (const QString why = openForReading(path, file); !why.isEmpty()) {
        result.errorText = cantOpen(path, why);
        return result;
    }
    // Up to one byte past the limit: a file whose length cannot be known up front, or
    // that grew since it was measured, is still caught by its real length.
    constexpr qint64 Chunk = 64 * 1024;
    qint64 total = 0;
    while (total <= limit) {
        const qint64 wanted = qMin(Chunk, limit + 1 - total);
        result.bytes.resize(std::size_t(total + wanted));
        const qint64 got = file.read(reinterpret_cast<char*>(result.bytes.data()) + total, wanted);
        if (got < 0) {
            result.bytes.clear();
            result.errorText = u"Can't read file: "_s + QDir::toNativeSeparators(path) + u" ("_s +
                               file.errorString() + u')';
            return result;
        }
        total += got;
        if (got == 0) {
            break;
        }
    }
    result.bytes.resize(std::size_t(total));
    return result;
}

LoadResult LoadFile(const QString& path)
{
    LoadResult result = ReadRegularFile(path, MaxDocumentFileSize);
    if (!result.ok()) {
        return result;
    }
    if (qint64(result.bytes.size()) > MaxDocumentFileSize) {
        result.bytes.clear();
        result.errorText = tooLarge();
    } else if (result.bytes.empty()) {
        result.errorText = u"The file "_s + QDir::toNativeSeparators(path) +
                           u" is empty; there is nothing to open."_s;
    }
    return result;
}

#ifndef Q_OS_WIN

namespace {

// The file a save replaces: the one at the end of the links, which stay as they are.
QString followLinks(const QString& path)
{
    QString target = path;
    QFileInfo info(path);
    for (int depth = 0; depth < 40 && info.isSymLink(); ++depth) {
        target = info.symLinkTarget();
        info.setFile(target);
    }
    return target;
}

// A temporary name beside the target: its name, cut where needed so that a random
// suffix still fits the longest name the folder allows, then the suffix.
QByteArray temporaryName(const QByteArray& folder, const QByteArray& fileName)
{
    constexpr char Letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    constexpr int SuffixLength = 7; // the dot and six letters
    const long nameMax = ::pathconf(folder.constData(), _PC_NAME_MAX);
    QByteArray stem = fileName;
    const qsizetype room = (nameMax > SuffixLength ? qsizetype(nameMax) : 255) - SuffixLength;
    if (stem.size() > room) {
        stem.truncate(room);
        // Never half a UTF-8 character: drop the last one whole.
        while (!stem.isEmpty() && (uchar(stem.back()) & 0xC0) == 0x80) {
            stem.chop(1);
        }
        if (!stem.isEmpty() && uchar(stem.back()) >= 0xC0) {
            stem.chop(1);
        }
    }
    QByteArray suffix(1, '.');
    for (int i = 1; i < SuffixLength; ++i) {
        suffix += Letters[QRandomGenerator::global()->bounded(int(sizeof(Letters)) - 1)];
    }
    return folder + '/' + stem + suffix;
}

// Writes all of `bytes`; the system's error number when that fails, otherwise 0.
int writeAll(int fd, ByteView bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR) {
            continue;
        }
        if (wrote <= 0) {
            return wrote < 0 ? errno : EIO;
        }
        done += std::size_t(wrote);
    }
    return 0;
}

} // namespace

SaveResult SaveFile(const QString& path, ByteView bytes)
{
    SaveResult result;
    const QString target = followLinks(path);
    const QByteArray targetName = QFile::encodeName(target);
    struct stat old
    {
    };
    const bool existed = ::stat(targetName.constData(), &old) == 0;
    if (!existed && errno != ENOENT) {
        result.errorText = cantOpen(path, qt_error_string(errno));
        return result;
    }
    if (existed) {
        if (const QString why = typeRefusal(old.st_mode); !why.isEmpty()) {
            result.errorText = cantOpen(path, why);
            return result;
        }
        // A read-only file stays as it is, though its folder would let a rename replace it.
        if (::access(targetName.constData(), W_OK) != 0) {
            result.errorText = cantOpen(path, qt_error_string(errno));
            return result;
        }
    }

    // The new bytes go to a temporary file beside the target, which a rename puts in the
    // target's place only once they are all on the disk: a failure at any step leaves the
    // old file whole. Until then the copy of an existing file is private; a new one gets
    // the usual permissions.
    const QFileInfo info(target);
    const QByteArray folder = QFile::encodeName(info.absolutePath());
    QByteArray temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = temporaryName(folder, QFile::encodeName(info.fileName()));
        fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                    existed ? 0600 : 0666);
        if (fd < 0 && errno != EEXIST) {
            break;
        }
    }
    if (fd < 0) {
        const int error = errno;
        result.errorText = cantOpen(path, error == ENOENT ? u"its folder does not exist"_s
                                                          : qt_error_string(error));
        return result;
    }
    int error = writeAll(fd, bytes);
    if (error == 0 && ::fsync(fd) != 0) {
        error = errno;
    }
    if (error == 0 && existed && ::fchmod(fd, old.st_mode & 0777) != 0) {
        error = errno;
    }
    if (::close(fd) != 0 && error == 0) {
        error = errno;
    }
    if (error == 0 && ::rename(temporary.constData(), targetName.constData()) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(temporary.constData());
        result.errorText = saveFailed(path, qt_error_string(error), existed);
    }
    return result;
}

#else

SaveResult SaveFile(const QString& path, ByteView bytes)
{
    SaveResult result;
    const QFileInfo info(path);
    const bool existed = info.exists();
    if (existed && !info.isFile()) {
        result.errorText = cantOpen(path, info.isDir() ? u"is a folder"_s : u"is not a file"_s);
        return result;
    }
    // QSaveFile writes a temporary file beside the target and renames it over the target
    // only on commit. Unbuffered: a buffered one flushes at commit and can take a short
    // write there for success.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        result.errorText = cantOpen(path, file.errorString());
        return result;
    }
    const auto size = qint64(bytes.size());
    if (size > 0 && (file.write(reinterpret_cast<const char*>(bytes.data()), size) != size ||
                     file.size() != size)) {
        const QString why = file.error() != QFileDevice::NoError
                                ? file.errorString()
                                : u"only part of the file was written"_s;
        file.cancelWriting();
        result.errorText = saveFailed(path, why, existed);
        return result;
    }
    if (!file.commit()) {
        result.errorText = saveFailed(path, file.errorString(), existed);
    }
    return result;
}

#endif

QString DisplayFileName(const QString& path)
{
    return QFileInfo(path).fileName();
}

} // namespace railwright
