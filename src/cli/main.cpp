#include "cli/command_line.h"

#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <unistd.h>
#endif

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
#endif
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("railwright-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(RAILWRIGHT_VERSION));

    QTextStream out(stdout);
    QTextStream err(stderr);
    return railwright::cli::RunCommandLine(QCoreApplication::arguments(), out, err);
}
