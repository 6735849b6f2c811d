#pragma once

#include <QProcess>

namespace railwright::test {

using namespace Qt::StringLiterals;

struct CliRun
{
    int exitCode = -1; // -1: it did not finish
    QByteArray out;
    QByteArray err;
};

// Runs the built railwright-cli as a user does, in `locale`.
inline CliRun RunCli(const QStringList& arguments, const QString& workingDirectory = {},
                     const QString& locale = u"C.UTF-8"_s)
{
    QProcess process;
    process.setWorkingDirectory(workingDirectory);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"LC_ALL"_s, locale);
    process.setProcessEnvironment(environment);
    process.start(QString::fromUtf8(RAILWRIGHT_BIN_DIR "/railwright-cli"), arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit) {
        return {};
    }
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

} // namespace railwright::test
