#include "document_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_WIN
#include <QSaveFile>
#else
#include <QRandomGenerator>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef Q_OS_LINUX
#include <sys/xattr.h>
#endif
#endif

namespace railwright {

using namespace Qt::StringLiterals;

namespace {

QString cantOpen(const QString& path, const QString& why)
{
    return u"Can't open file: "_s + ShownPath(path) + u" ("_s + why + u')';
}

QString saveFailed(const QString& path, const QString& why, bool existed)
{
    return u"Can't save file: "_s + ShownPath(path) + u" ("_s + why + u"). "_s +
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

QString typeRefusal(mode_t mode)
{
    return FileTypeRefusal(mode);
}

// Opening a named pipe waits for a writer and opening a device can act on it, so the type
// is looked at first; the open itself never waits, and what it opened is looked at again
// in case the path changed in between.
QByteArray linkText(const QByteArray& path);

QString openForReading(const QString& path, QFile& file)
{
    const QByteArray name = NativePath(path);
    struct stat info
    {
    };
    if (::stat(name.constData(), &info) != 0) {
        const int error = errno;
        // A folder's listing shows a link whose file is gone: "does not exist" alone would
        // puzzle.
        if (error == ENOENT && ::lstat(name.constData(), &info) == 0 && S_ISLNK(info.st_mode)) {
            return u"is a link to "_s + ShownPath(PathFromNative(linkText(name))) +
                   u", which does not exist"_s;
        }
        return systemReason(error);
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

#ifndef Q_OS_WIN

QString FileTypeRefusal(unsigned mode, bool deviceKind)
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
        return !deviceKind     ? u"is a device, not a file"_s
               : S_ISCHR(mode) ? u"is a character device, not a file"_s
                               : u"is a block device, not a file"_s;
    }
    return u"is not a regular file"_s;
}

#endif

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
            result.errorText =
                u"Can't read file: "_s + ShownPath(path) + u" ("_s + file.errorString() + u')';
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
        result.tooLarge = true;
    } else if (result.bytes.empty()) {
        result.errorText =
            u"The file "_s + ShownPath(path) + u" is empty; there is nothing to open."_s;
    }
    return result;
}

#ifndef Q_OS_WIN

namespace {

// --- The temporary file when the process is stopped in the middle of a save ---------------

// The one temporary file a save has on disk, for the signal handler, which may only use
// plain storage and async-signal-safe calls (unlink, raise).
volatile sig_atomic_t temporaryOnDisk = 0;
char temporaryPath[8192];

constexpr std::array StopSignals = {SIGINT, SIGTERM, SIGHUP};

extern "C" void removeTemporaryAndStop(int signal)
{
    if (temporaryOnDisk != 0) {
        ::unlink(temporaryPath);
    }
    // Installed with SA_RESETHAND: raised again, the signal does what it would have done
    // without this handler as soon as the handler returns.
    ::raise(signal);
}

// For the length of a save: a stop signal that would end the process removes the temporary
// file first (one the program ignores or handles itself is left alone), and a file-size
// limit gives the write an error (EFBIG) instead of ending the process.
class SaveSignals
{
public:
    SaveSignals()
    {
        struct sigaction action
        {
        };
        action.sa_handler = removeTemporaryAndStop;
        sigemptyset(&action.sa_mask);
        for (const int signal : StopSignals) {
            sigaddset(&action.sa_mask, signal);
        }
        action.sa_flags = SA_RESETHAND;
        for (std::size_t i = 0; i < StopSignals.size(); ++i) {
            struct sigaction before
            {
            };
            m_installed[i] = ::sigaction(StopSignals[i], nullptr, &before) == 0 &&
                             (before.sa_flags & SA_SIGINFO) == 0 && before.sa_handler == SIG_DFL &&
                             ::sigaction(StopSignals[i], &action, &m_before[i]) == 0;
        }
        struct sigaction ignore
        {
        };
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        m_fileSizeSet = ::sigaction(SIGXFSZ, &ignore, &m_fileSizeBefore) == 0;
    }
    ~SaveSignals()
    {
        forget();
        for (std::size_t i = 0; i < StopSignals.size(); ++i) {
            if (m_installed[i]) {
                ::sigaction(StopSignals[i], &m_before[i], nullptr);
            }
        }
        if (m_fileSizeSet) {
            ::sigaction(SIGXFSZ, &m_fileSizeBefore, nullptr);
        }
    }
    SaveSignals(const SaveSignals&) = delete;
    SaveSignals& operator=(const SaveSignals&) = delete;

    // Creates the temporary file `path` (open's result; errno on failure). It is recorded
    // first: a signal may be handled by another thread while the file is being made.
    int create(const QByteArray& path, mode_t mode)
    {
        const bool recorded = std::size_t(path.size()) < sizeof(temporaryPath);
        if (recorded) {
            std::memcpy(temporaryPath, path.constData(), std::size_t(path.size()) + 1);
            temporaryOnDisk = 1;
        }
        const int fd =
            ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, mode);
        if (fd < 0) {
            const int error = errno;
            forget();
            errno = error;
        }
        return fd;
    }

    // The temporary file is gone, or is from now on to be kept.
    static void forget() { temporaryOnDisk = 0; }

private:
    std::array<bool, StopSignals.size()> m_installed{};
    std::array<struct sigaction, StopSignals.size()> m_before{};
    bool m_fileSizeSet = false;
    struct sigaction m_fileSizeBefore
    {
    };
};

// --- Which file a save replaces ---------------------------------------------------------

QByteArray folderOf(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
}

QString pathReason(int error)
{
    switch (error) {
    case ELOOP:
        return u"its links go round in a loop"_s;
    case ENOTDIR:
        return u"a part of its path is not a folder"_s;
    default:
        return systemReason(error);
    }
}

// The text of the link at `path`; empty (errno set) when it cannot be read.
QByteArray linkText(const QByteArray& path)
{
    QByteArray text(4096, Qt::Uninitialized);
    for (;;) {
        const ssize_t length = ::readlink(path.constData(), text.data(), std::size_t(text.size()));
        if (length < 0) {
            return {};
        }
        if (length < text.size()) {
            text.truncate(length);
            return text;
        }
        text.resize(text.size() * 2);
    }
}

// The real folder (no links, no "..") of `folder`, or why there is none.
QString realFolder(const QByteArray& folder, QByteArray& real)
{
    char* resolved = ::realpath(folder.constData(), nullptr);
    if (resolved == nullptr) {
        return errno == ENOENT ? QString() : pathReason(errno);
    }
    real = resolved;
    std::free(resolved);
    return {};
}

struct SaveTarget
{
    QByteArray folder; // real, without links
    QByteArray name;
    bool existed = false;
    struct stat status
    {
    };           // of the file, when it existed
    QString why; // why nothing can be saved at the path; empty when it can

    [[nodiscard]] QByteArray path() const { return (folder == "/" ? folder : folder + '/') + name; }
};

bool sameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// An existing file: the system itself says which one the path names, as it does when the
// file is opened (".." after a link is taken from where the link leads, not cut off as text).
SaveTarget existingTarget(const QByteArray& named, const struct stat& status)
{
    SaveTarget target;
    target.existed = true;
    target.status = status;
    if (!S_ISREG(status.st_mode)) {
        return target; // refused by its type; where it is does not matter
    }
    char* resolved = ::realpath(named.constData(), nullptr);
    if (resolved == nullptr) {
        target.why = pathReason(errno);
        return target;
    }
    const QByteArray real(resolved);
    std::free(resolved);
    struct stat check
    {
    };
    if (::lstat(real.constData(), &check) != 0 || !sameFile(check, status)) {
        target.why = u"the file changed while it was being saved"_s;
        return target;
    }
    target.folder = folderOf(real);
    target.name = real.mid(real.lastIndexOf('/') + 1);
    return target;
}

// A new file, perhaps at the end of links: each link's text is read and taken from the
// link's own folder, as the system does, and the folder at the end must exist.
SaveTarget newTarget(const QByteArray& named)
{
    SaveTarget target;
    QByteArray current = named;
    bool throughLink = false;
    for (int links = 0;; ++links) {
        struct stat status
        {
        };
        if (::lstat(current.constData(), &status) != 0) {
            if (errno != ENOENT) {
                target.why = pathReason(errno);
                return target;
            }
            break;
        }
        if (!S_ISLNK(status.st_mode)) {
            target.why = u"the file changed while it was being saved"_s;
            return target;
        }
        if (links == 40) {
            target.why = pathReason(ELOOP);
            return target;
        }
        const QByteArray text = linkText(current);
        if (text.isEmpty()) {
            target.why = systemReason(errno);
            return target;
        }
        // A relative target starts from the link's own folder.
        const qsizetype slash = current.lastIndexOf('/');
        current = text.startsWith('/') || slash < 0 ? text : current.left(slash + 1) + text;
        throughLink = true;
    }
    target.name = current.mid(current.lastIndexOf('/') + 1);
    if (target.name.isEmpty() || target.name == "." || target.name == "..") {
        target.why = u"names a folder, not a file"_s;
        return target;
    }
    target.why = realFolder(folderOf(current), target.folder);
    if (target.why.isEmpty() && target.folder.isEmpty()) {
        target.why = throughLink ? u"it is a link to %1, whose folder does not exist"_s.arg(
                                       ShownPath(PathFromNative(current)))
                                 : u"its folder does not exist"_s;
    }
    return target;
}

SaveTarget findTarget(const QByteArray& named)
{
    if (named.isEmpty()) {
        SaveTarget target;
        target.why = u"no file name"_s;
        return target;
    }
    struct stat status
    {
    };
    if (::stat(named.constData(), &status) == 0) {
        return existingTarget(named, status);
    }
    if (errno != ENOENT) {
        SaveTarget target;
        target.why = pathReason(errno);
        return target;
    }
    return newTarget(named);
}

// Why `status` is one of this program's own standard streams; empty when it is not.
QString standardStream(const struct stat& status)
{
    struct stat stream
    {
    };
    if (::fstat(STDOUT_FILENO, &stream) == 0 && sameFile(stream, status)) {
        return u"is this program's standard output"_s;
    }
    if (::fstat(STDERR_FILENO, &stream) == 0 && sameFile(stream, status)) {
        return u"is this program's standard error"_s;
    }
    return {};
}

// --- Writing -----------------------------------------------------------------------------

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
    return (folder == "/" ? folder : folder + '/') + stem + suffix;
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

// The replaced file's owner and group go to the new one where this user may give them
// (root may; others may keep a group they belong to). Where not, the new file is theirs,
// as any file they make.
void keepOwner(int fd, const struct stat& old)
{
    if (old.st_uid == ::geteuid() && old.st_gid == ::getegid()) {
        return;
    }
    if (::fchown(fd, old.st_uid, old.st_gid) != 0 && ::fchown(fd, uid_t(-1), old.st_gid) != 0) {
        return;
    }
}

// The user's extended attributes and the access list, where the file system has them;
// one it cannot copy is left behind rather than failing the save.
void keepAttributes([[maybe_unused]] const QByteArray& from, [[maybe_unused]] int to)
{
#ifdef Q_OS_LINUX
    const ssize_t size = ::listxattr(from.constData(), nullptr, 0);
    if (size <= 0) {
        return;
    }
    QByteArray names(size, '\0');
    const ssize_t listed = ::listxattr(from.constData(), names.data(), std::size_t(size));
    if (listed <= 0) {
        return;
    }
    names.truncate(listed);
    for (const QByteArray& name : names.split('\0')) {
        if (!name.startsWith("user.") && name != "system.posix_acl_access") {
            continue;
        }
        const ssize_t length = ::getxattr(from.constData(), name.constData(), nullptr, 0);
        if (length < 0) {
            continue;
        }
        QByteArray value(length, '\0');
        const ssize_t got =
            ::getxattr(from.constData(), name.constData(), value.data(), std::size_t(length));
        if (got >= 0 &&
            ::fsetxattr(to, name.constData(), value.constData(), std::size_t(got), 0) != 0) {
            continue;
        }
    }
#endif
}

// Writes `bytes` into the existing file at `path` itself, so every name it has sees them.
int writeInto(const QByteArray& path, ByteView bytes)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    int error = writeAll(fd, bytes);
    if (error == 0 && ::ftruncate(fd, off_t(bytes.size())) != 0) {
        error = errno;
    }
    if (error == 0 && ::fsync(fd) != 0) {
        error = errno;
    }
    if (::close(fd) != 0 && error == 0) {
        error = errno;
    }
    return error;
}

QString otherNames(qint64 count)
{
    return count == 1
               ? u"has 1 other name (a hard link), which would keep the old content"_s
               : u"has %1 other names (hard links), which would keep the old content"_s.arg(count);
}

} // namespace

SaveResult SaveFile(const QString& path, ByteView bytes, const SaveOptions& options)
{
    SaveResult result;
    const auto refuse = [&](const QString& why,
                            SaveResult::Refusal refusal = SaveResult::Refusal::None) {
        result.errorText = cantOpen(path, why);
        result.refusal = refusal;
        return result;
    };
    const SaveTarget target = findTarget(NativePath(path));
    if (!target.why.isEmpty()) {
        return refuse(target.why);
    }
    const struct stat& old = target.status;
    const bool existed = target.existed;
    const QByteArray targetName = target.path();
    if (existed) {
        if (const QString why = standardStream(old); !why.isEmpty()) {
            return refuse(why);
        }
        if (const QString why = typeRefusal(old.st_mode); !why.isEmpty()) {
            return refuse(why);
        }
        // A file its owner may not write stays as it is, whoever saves.
        if (!options.replaceReadOnly) {
            if ((old.st_mode & S_IWUSR) == 0) {
                return refuse(u"is read-only"_s, SaveResult::Refusal::ReadOnly);
            }
            if (::access(targetName.constData(), W_OK) != 0) {
                return refuse(qt_error_string(errno));
            }
        }
        if (old.st_nlink > 1 && options.hardLinks == SaveOptions::HardLinks::Refuse) {
            result.otherLinks = qint64(old.st_nlink) - 1;
            return refuse(otherNames(result.otherLinks), SaveResult::Refusal::HardLinked);
        }
    }
    const bool intoFile =
        existed && old.st_nlink > 1 && options.hardLinks == SaveOptions::HardLinks::WriteIntoFile;

    // The new bytes go to a temporary file beside the target, which a rename puts in the
    // target's place only once they are all on the disk: a failure at any step leaves the
    // old file whole. Until then the copy of an existing file is private; a new one gets
    // the usual permissions.
    SaveSignals stopSignals;
    QByteArray temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = temporaryName(target.folder, target.name);
        fd = stopSignals.create(temporary, existed ? 0600 : 0666);
        if (fd < 0 && errno != EEXIST) {
            break;
        }
    }
    if (fd < 0) {
        const int error = errno;
        return refuse(error == ENOENT
                          ? u"its folder does not exist"_s
                          : u"can't make a new file in its folder %1: %2"_s.arg(
                                ShownPath(PathFromNative(target.folder)), qt_error_string(error)));
    }
    int error = writeAll(fd, bytes);
    if (error == 0 && existed && !intoFile) {
        keepOwner(fd, old);
        // After the owner: a change of owner clears the set-user and set-group bits.
        if (::fchmod(fd, old.st_mode & 0777) != 0) {
            error = errno;
        }
        keepAttributes(targetName, fd);
    }
    if (error == 0 && options.waitForDisk && ::fsync(fd) != 0) {
        error = errno;
    }
    if (::close(fd) != 0 && error == 0) {
        error = errno;
    }
    if (error == 0 && intoFile) {
        // The new bytes are safe in the temporary file, which stays if writing them into
        // the shared file fails (or is stopped) part way.
        SaveSignals::forget();
        if (const int intoError = writeInto(targetName, bytes); intoError != 0) {
            result.errorText = u"Can't save file: "_s + ShownPath(path) + u" ("_s +
                               qt_error_string(intoError) +
                               u"). The file may hold part of the new content; all of it is in "_s +
                               ShownPath(PathFromNative(temporary)) + u'.';
            return result;
        }
        ::unlink(temporary.constData());
        return result;
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

// Windows keeps the plain replace by rename this program always did there. The POSIX steps
// have no counterpart it needs: QSaveFile follows links and keeps the file's permissions as
// Qt sees them (read-only or not), but owners, access lists and alternate streams are not
// carried over (the new file gets its folder's, as any new file does); no stop signal is
// caught (a save stopped part way may leave QSaveFile's temporary file beside the target);
// other hard links of the file keep the old content, as HardLinks::Separate does; and a
// read-only file is refused by QSaveFile, with or without replaceReadOnly.
SaveResult SaveFile(const QString& path, ByteView bytes, const SaveOptions&)
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
    return EscapeUndecodableBytes(QFileInfo(path).fileName());
}

} // namespace railwright
