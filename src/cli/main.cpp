#include "cli/command_line.h"

#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("railwright-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(RAILWRIGHT_VERSION));

    QTextStream out(stdout);
    QTextStream err(stderr);
    return railwright::cli::RunCommandLine(QCoreApplication::arguments(), out, err);
}
