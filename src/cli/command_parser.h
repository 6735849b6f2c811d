#pragma once

#include "cli/cli_commands.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QStringList>
#include <QTextStream>
#include <optional>
#include <utility>

namespace railwright::cli {

// One command's own parser (the words after the command word): its positional arguments,
// its options and --help. Every command parses through it, so they refuse the same things
// the same way.
class CommandParser
{
public:
    CommandParser(const QString& command, const QString& description);

    // A positional argument; with `repeated`, one or more (the last argument only).
    void addArgument(const QString& name, const QString& description, bool repeated = false);
    // A `repeatable` option may be given any number of times (see valuesInOrder).
    void addOption(const QCommandLineOption& option, bool repeatable = false);

    // Parses `arguments`. On a wrong command line or --help the result holds the outcome
    // and the command is not run. Wrong: an unknown option (one that may be a file name
    // starting with "-" is told how to name it), an option with a value given twice, too
    // few or too many positional arguments.
    [[nodiscard]] std::optional<CommandResult> parse(const QStringList& arguments,
                                                     QTextStream& out);

    [[nodiscard]] QString argument(qsizetype index) const;
    [[nodiscard]] QStringList arguments() const;
    [[nodiscard]] bool isSet(const QCommandLineOption& option) const;
    [[nodiscard]] QString value(const QCommandLineOption& option) const;
    // Every value of `options` in the order the command line gives them, each with its
    // option's (last) name.
    [[nodiscard]] QList<std::pair<QString, QString>>
    valuesInOrder(const QList<QCommandLineOption>& options) const;

private:
    [[nodiscard]] QString unknownOptionText(const QStringList& arguments) const;

    QString m_command;
    QCommandLineParser m_parser;
    QCommandLineOption m_helpOption;
    QStringList m_names;
    bool m_repeated = false;
    QList<QCommandLineOption> m_options;
};

} // namespace railwright::cli
