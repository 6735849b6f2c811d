#include "document_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <cstring>

namespace railwright {

namespace {

QString cantOpen(const QString& path)
{
    return QStringLiteral("Can't open file: ") + path;
}

QString saveFailed(const QString& path, const QString& reason)
{
    return QStringLiteral("Can't save file: ") + path + QStringLiteral(" (") + reason +
           QStringLiteral("). The file on disk was left as it was.");
}

// A short write (a full disk, a file size limit) can leave QSaveFile without an
// error of its own: the system's reason is then the one to show.
QString shortWriteReason(const QSaveFile& file, int writeErrno, qint64 written, qint64 size)
{
    if (file.error() != QFileDevice::NoError) {
        return file.errorString();
    }
    if (writeErrno != 0) {
        return QString::fromLocal8Bit(std::strerror(writeErrno));
    }
    return QStringLiteral("only %1 of %2 bytes were written")
        .arg(qMax(qMin(written, file.size()), qint64(0)))
        .arg(size);
}

QString tooLarge()
{
    return QStringLiteral("The file is too large to open.");
}

} // namespace

LoadResult LoadFile(const QString& path)
{
    LoadResult result;
    const QFileInfo info(path);
    if (info.isDir()) {
        result.errorText = cantOpen(path);
        return result;
    }
    // Refuse a large file before reading any of it.
    if (info.exists() && info.size() > MaxDocumentFileSize) {
        result.errorText = tooLarge();
        return result;
    }

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.errorText = cantOpen(path);
        return result;
    }

    // Read one byte more than allowed: a device whose length cannot be known up front
    // (or a file that grew since it was measured) is still caught by its real length.
    result.bytes.resize(std::size_t(MaxDocumentFileSize) + 1);
    qint64 total = 0;
    while (total < qint64(result.bytes.size())) {
        const qint64 got = file.read(reinterpret_cast<char*>(result.bytes.data()) + total,
                                     qint64(result.bytes.size()) - total);
        if (got < 0) {
            result.bytes.clear();
            result.errorText = QStringLiteral("Can't read file: ") + path + QStringLiteral(" (") +
                               file.errorString() + QStringLiteral(")");
            return result;
        }
        if (got == 0) {
            break;
        }
        total += got;
    }
    if (total > MaxDocumentFileSize) {
        result.bytes.clear();
        result.errorText = tooLarge();
        return result;
    }
    if (total == 0) {
        result.bytes.clear();
        result.errorText = QStringLiteral("The file ") + path +
                           QStringLiteral(" is empty; there is nothing to open.");
        return result;
    }
    result.bytes.resize(std::size_t(total));
    return result;
}

SaveResult SaveFile(const QString& path, ByteView bytes)
{
    SaveResult result;
    // QSaveFile writes a temporary file beside the target and renames it over the
    // target only on commit, so a failure at any step leaves the old file whole and
    // the new file holds exactly these bytes, however long the old one was.
    //
    // Unbuffered: a buffered QSaveFile flushes at commit and can take a short write
    // there (a full disk, a file size limit) for success, leaving a cut-off file.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        result.errorText = cantOpen(path);
        return result;
    }
    const auto size = qint64(bytes.size());
    if (size > 0) {
        errno = 0;
        const qint64 written = file.write(reinterpret_cast<const char*>(bytes.data()), size);
        const int writeErrno = errno;
        if (written != size || file.size() != size) {
            const QString reason = shortWriteReason(file, writeErrno, written, size);
            file.cancelWriting();
            result.errorText = saveFailed(path, reason);
            return result;
        }
    }
    if (!file.commit()) {
        result.errorText = saveFailed(path, file.errorString());
        return result;
    }
    return result;
}

QString DisplayFileName(const QString& path)
{
    return QFileInfo(path).fileName();
}

} // namespace railwright
