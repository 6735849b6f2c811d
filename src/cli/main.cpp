#include "cli/command_line.h"
#include "document/native_path.h"

#include <QCoreApplication>
#include <QTextStream>
#include <csignal>
#include <cstdio>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

int main(int argc, char* argv[])
{
#ifndef Q_OS_WIN
    // A standard stream that was closed stays unusable: a file the command opens must not
    // take its number and receive the output meant for it. A read-only stand-in makes
    // every write to it fail, so the failure is seen and reported.
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) == -1 && ::open("/dev/null", O_RDONLY) == -1) {
            return 1;
        }
    }
    // A file-size limit makes a write fail (EFBIG), which is reported, instead of ending
    // the program with nothing said.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(u"railwright-cli"_s);
    QCoreApplication::setApplicationVersion(QString::fromUtf8(RAILWRIGHT_VERSION));

#ifdef Q_OS_WIN
    const QStringList arguments = QCoreApplication::arguments();
#else
    // The arguments' own bytes: QCoreApplication::arguments() turns bytes that are not
    // UTF-8 into U+FFFD, which names no file.
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments.append(railwright::PathFromNative(argv[i]));
    }
#endif
    QTextStream out(stdout);
    QTextStream err(stderr);
    return railwright::cli::RunCommandLine(arguments, out, err);
}
