#include "scan_files.h"

#include "document/document_file.h"
#include "document/native_path.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

namespace railwright::cli {

using namespace Qt::StringLiterals;
namespace fs = std::filesystem;

namespace {

QString SystemError(const QString& what)
{
    return what + QString::fromLocal8Bit(std::strerror(errno));
}

// Paths stay in the system's own form (bytes here, UTF-16 on Windows) until they are shown.
#ifdef Q_OS_WIN
using FileStatus = struct _stat64;

QString PathText(const fs::path& path)
{
    return QString::fromStdWString(path.native());
}

int OpenForScan(const QString& path)
{
    return ::_wopen(path.toStdWString().c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
}

int StatusOf(int fd, FileStatus& status)
{
    return ::_fstat64(fd, &status);
}

bool IsRegularFile(const FileStatus& status)
{
    return (status.st_mode & _S_IFMT) == _S_IFREG;
}

QString TypeRefusal(const FileStatus& status)
{
    return (status.st_mode & _S_IFMT) == _S_IFDIR ? u"is a folder"_s : u"is not a regular file"_s;
}

QString RefusalBeforeOpening(const QString&)
{
    return {}; // opening a file does not act on it here
}

long long ReadSome(int fd, unsigned char* data, std::size_t size)
{
    return ::_read(fd, data, unsigned(std::min<std::size_t>(size, INT_MAX)));
}

void CloseFile(int fd)
{
    ::_close(fd);
}
#else
using FileStatus = struct stat;

QString PathText(const fs::path& path)
{
    return PathFromNative(QByteArrayView(path.native()));
}

// Looked at before it is opened: opening a device can act on it (a tape rewinds, a
// terminal becomes the controlling one) and opening a named pipe waits for a writer.
QString RefusalBeforeOpening(const QString& path)
{
    struct stat status
    {
    };
    if (::stat(railwright::NativePath(path).constData(), &status) != 0) {
        return SystemError(u"cannot open the file: "_s);
    }
    return FileTypeRefusal(status.st_mode, true);
}

// Non-blocking, never a controlling terminal: what is opened may have changed since it
// was looked at.
int OpenForScan(const QString& path)
{
    return ::open(railwright::NativePath(path).constData(),
                  O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
}

int StatusOf(int fd, FileStatus& status)
{
    return ::fstat(fd, &status);
}

bool IsRegularFile(const FileStatus& status)
{
    return S_ISREG(status.st_mode);
}

QString TypeRefusal(const FileStatus& status)
{
    return FileTypeRefusal(status.st_mode, true);
}

long long ReadSome(int fd, unsigned char* data, std::size_t size)
{
    return ::read(fd, data, size);
}

void CloseFile(int fd)
{
    ::close(fd);
}
#endif

bool HasDesignSuffix(const fs::path& path)
{
    // Compared in the system's own characters, ASCII letters in any case.
    const auto name = path.filename().native();
    constexpr std::string_view Suffix = ".td4";
    return name.size() >= Suffix.size() &&
           std::equal(Suffix.begin(), Suffix.end(), name.end() - Suffix.size(), [](char s, auto c) {
               return c == s || (s >= 'a' && s <= 'z' && c == s - 'a' + 'A');
           });
}

QString TooLarge()
{
    return u"too large: a track-design file has at most %1 bytes"_s.arg(MaxDocumentFileSize);
}

// Depth first with one open listing per level. std::filesystem reports a folder it cannot
// list, where QDirIterator passes over it in silence.
bool WalkFolder(const fs::path& root, const std::function<bool(const FoundPath&)>& visit)
{
    std::vector<fs::directory_iterator> levels;
    const auto enter = [&](const fs::path& folder) {
        std::error_code error;
        fs::directory_iterator listing(folder, error);
        if (error) {
            return visit({PathText(folder),
                          u"cannot list the folder: "_s + QString::fromLocal8Bit(error.message())});
        }
        levels.push_back(std::move(listing));
        return true;
    };
    if (!enter(root)) {
        return false;
    }
    while (!levels.empty()) {
        if (levels.back() == fs::directory_iterator()) {
            levels.pop_back();
            continue;
        }
        const fs::directory_entry entry = *levels.back();
        std::error_code error;
        if (levels.back().increment(error); error) {
            levels.pop_back(); // the listing broke off; what was read is kept
        }
        const bool folder = entry.is_directory(error);
        const bool going = folder && !entry.is_symlink(error) ? enter(entry.path())
                           : !folder && HasDesignSuffix(entry.path())
                               ? visit({PathText(entry.path()),
                                        {},
                                        entry.is_regular_file(error) && !entry.is_symlink(error)})
                               : true;
        if (!going) {
            return false;
        }
    }
    return true;
}

} // namespace

fs::path SystemPath(const QString& path)
{
#ifdef Q_OS_WIN
    return fs::path(path.toStdWString());
#else
    return fs::path(NativePath(path).toStdString());
#endif
}

void ForEachScannedFile(const QStringList& paths,
                        const std::function<bool(const FoundPath& found)>& visit)
{
    for (const QString& path : paths) {
        const fs::path native = SystemPath(path);
        std::error_code error;
        const bool going =
            fs::is_directory(native, error) ? WalkFolder(native, visit) : visit({path, {}});
        if (!going) {
            return;
        }
    }
}

ScannedFile ReadScannedFile(const QString& path, ByteBuffer& buffer, bool listedAsRegularFile)
{
    // Plain system calls: a scan spends most of its time opening and reading small files,
    // and this makes half the calls of QFileInfo and QFile.
    ScannedFile file;
    if (!listedAsRegularFile) {
        file.problem = RefusalBeforeOpening(path);
    }
    if (!file.problem.isEmpty()) {
        return file;
    }
    const int fd = OpenForScan(path);
    if (fd < 0) {
        file.problem = SystemError(u"cannot open the file: "_s);
        return file;
    }
    FileStatus status = {};
    if (StatusOf(fd, status) != 0) {
        file.problem = SystemError(u"cannot open the file: "_s);
    } else if (!IsRegularFile(status)) {
        file.problem = TypeRefusal(status);
    } else if (file.size = status.st_size; status.st_size > MaxDocumentFileSize) {
        file.problem = TooLarge();
    } else {
        // One byte more than allowed: a file that grew since it was measured is still caught.
        buffer.resize(std::size_t(MaxDocumentFileSize) + 1);
        std::size_t total = 0;
        long long got = 1;
        while (got > 0 && total < buffer.size()) {
            got = ReadSome(fd, buffer.data() + total, buffer.size() - total);
            total += got > 0 ? std::size_t(got) : 0;
        }
        if (got < 0) {
            file.problem = SystemError(u"cannot read the file: "_s);
        } else if (total == 0) {
            file.problem = u"the file is empty"_s;
        } else if (total > std::size_t(MaxDocumentFileSize)) {
            file.problem = TooLarge();
        } else {
            file.bytes = ByteView(buffer.data(), total);
        }
    }
    CloseFile(fd);
    return file;
}

} // namespace railwright::cli
