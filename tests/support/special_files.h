#pragma once

#include <QFile>
#include <QString>
#include <atomic>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

// Things that are not regular files, made in a test's own folder.
namespace railwright::test {

enum class SpecialKind
{
    NamedPipe,
    Socket,
    Device,
};

// Makes a `kind` at `path`; false when this system does not let the test (a device node
// needs root).
inline bool makeSpecialFile(SpecialKind kind, const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    switch (kind) {
    case SpecialKind::NamedPipe:
        return ::mkfifo(name.constData(), 0600) == 0;
    case SpecialKind::Socket: {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        if (name.size() >= qsizetype(sizeof(address.sun_path))) {
            return false;
        }
        std::memcpy(address.sun_path, name.constData(), std::size_t(name.size()));
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        const bool bound =
            fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
        if (fd >= 0) {
            ::close(fd); // the socket's file stays
        }
        return bound;
    }
    case SpecialKind::Device:
        // The numbers of the null device; the node is never opened.
        return ::mknod(name.constData(), S_IFCHR | 0600, makedev(1, 3)) == 0;
    }
    return false;
}

// The type bits of what is at `path` itself (a link is not followed); 0 when nothing is.
inline mode_t fileType(const QString& path)
{
    struct stat info
    {
    };
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & S_IFMT : 0;
}

// While alive, opens and closes the write end of the named pipe at `path` (if that is
// one) whenever a reader waits on it: code that opens the pipe for reading then sees an
// empty file instead of hanging the test for ever.
class PipeUnblocker
{
public:
    explicit PipeUnblocker(const QString& path)
        : m_name(QFile::encodeName(path)), m_thread([this] { run(); })
    {
    }
    ~PipeUnblocker()
    {
        m_stop = true;
        m_thread.join();
    }
    PipeUnblocker(const PipeUnblocker&) = delete;
    PipeUnblocker& operator=(const PipeUnblocker&) = delete;

private:
    void run()
    {
        struct stat info
        {
        };
        const bool pipe = ::lstat(m_name.constData(), &info) == 0 && S_ISFIFO(info.st_mode);
        while (pipe && !m_stop) {
            const int fd = ::open(m_name.constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) {
                ::close(fd);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }

    QByteArray m_name;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

} // namespace railwright::test
