#include "scan_files.h"

#include "document/document_file.h"

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

// Paths stay in the system's own form (bytes here, UTF-16 on Windows) until they are shown.
#ifdef Q_OS_WIN
using FileStatus = struct _stat64;

fs::path NativePath(const QString& path)
{
    return fs::path(path.toStdWString());
}

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

fs::path NativePath(const QString& path)
{
    return fs::path(QFile::encodeName(path).toStdString());
}

QString PathText(const fs::path& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path.native()));
}

// Non-blocking, so a named pipe is refused rather than waited on.
int OpenForScan(const QString& path)
{
    return ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
}

int StatusOf(int fd, FileStatus& status)
{
    return ::fstat(fd, &status);
}

bool IsRegularFile(const FileStatus& status)
{
    return S_ISREG(status.st_mode);
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

QString SystemError(const QString& what)
{
    return what + QString::fromLocal8Bit(std::strerror(errno));
}

QString TooLarge()
{
    return u"too large: a track-design file has at most %1 bytes"_s.arg(MaxDocumentFileSize);
}

// Depth first with one open listing per level. std::filesystem reports a folder it cannot
// list, where QDirIterator passes over it in silence.
void WalkFolder(const fs::path& root,
                const std::function<void(const QString&, const QString&)>& visit)
{
    std::vector<fs::directory_iterator> levels;
    const auto enter = [&](const fs::path& folder) {
        std::error_code error;
        fs::directory_iterator listing(folder, error);
        if (error) {
            visit(PathText(folder),
                  u"cannot list the folder: "_s + QString::fromStdString(error.message()));
        } else {
            levels.push_back(std::move(listing));
        }
    };
    enter(root);
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
        if (folder && !entry.is_symlink(error)) {
            enter(entry.path());
        } else if (!folder && HasDesignSuffix(entry.path())) {
            visit(PathText(entry.path()), {});
        }
    }
}

} // namespace

void ForEachScannedFile(
    const QStringList& paths,
    const std::function<void(const QString& path, const QString& problem)>& visit)
{
    for (const QString& path : paths) {
        const fs::path native = NativePath(path);
        std::error_code error;
        if (fs::is_directory(native, error)) {
            WalkFolder(native, visit);
        } else {
            visit(path, {});
        }
    }
}

ScannedFile ReadScannedFile(const QString& path, ByteBuffer& buffer)
{
    // Plain system calls: a scan spends most of its time opening and reading small files,
    // and this makes half the calls of QFileInfo and QFile.
    ScannedFile file;
    const int fd = OpenForScan(path);
    if (fd < 0) {
        file.problem = SystemError(u"cannot open the file: "_s);
        return file;
    }
    FileStatus status = {};
    if (StatusOf(fd, status) != 0 || !IsRegularFile(status)) {
        file.problem = u"not a regular file"_s;
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
