#include "command_parser.h"

#include "document/native_path.h"
#include "report/visible_text.h"

#include <QFileDevice>
#include <QHash>

namespace railwright::cli {

using namespace Qt::StringLiterals;

namespace {

const QString ProgramName = u"railwright-cli"_s;
// Added by QCommandLineParser::addHelpOption beside --help; the tool has no Qt options to
// list, so it shows the same help.
const QString HelpAllOption = u"help-all"_s;

} // namespace

CommandParser::CommandParser(const QString& command, const QString& description)
    : m_command(command), m_helpOption(m_parser.addHelpOption())
{
    m_parser.setApplicationDescription(description);
}

void CommandParser::addArgument(const QString& name, const QString& description, bool repeated)
{
    // The command word leads the usage line: "railwright-cli [options] decode INPUT ...".
    const QString shown = repeated ? name + u"..."_s : name;
    const QString syntax = m_names.isEmpty() ? m_command + u' ' + shown : shown;
    m_parser.addPositionalArgument(name, description, syntax);
    m_names.append(shown);
    m_repeated = repeated;
}

void CommandParser::addOption(const QCommandLineOption& option, bool repeatable)
{
    m_parser.addOption(option);
    if (!repeatable) {
        m_options.append(option);
    }
}

QList<std::pair<QString, QString>>
CommandParser::valuesInOrder(const QList<QCommandLineOption>& options) const
{
    QList<std::pair<QString, QString>> given;
    QHash<QString, qsizetype> taken;
    for (const QString& name : m_parser.optionNames()) {
        for (const QCommandLineOption& option : options) {
            if (option.names().contains(name)) {
                const QStringList values = m_parser.values(option);
                const qsizetype next = taken[option.names().constLast()]++;
                if (next < values.size()) {
                    given.append({option.names().constLast(), values[next]});
                }
            }
        }
    }
    return given;
}

QString CommandParser::unknownOptionText(const QStringList& arguments) const
{
    // The spellings the command knows; anything else that starts with '-' is the culprit.
    QStringList known = {u"-h"_s, u"-?"_s, u"--help"_s, u"--"_s + HelpAllOption};
    for (const QCommandLineOption& option : m_options) {
        for (const QString& name : option.names()) {
            known << (name.size() == 1 ? u"-"_s : u"--"_s) + name;
        }
    }
    for (const QString& argument : arguments) {
        if (argument == u"--"_s) {
            break;
        }
        if (!argument.startsWith(u'-') || argument == u"-"_s ||
            known.contains(argument.section(u'=', 0, 0))) {
            continue;
        }
        return u"unknown option \""_s + argument + u"\" (a file whose name starts with \"-\" "_s +
               u"is named ./"_s + argument + u" or after --)"_s;
    }
    return m_parser.errorText();
}

std::optional<CommandResult> CommandParser::parse(const QStringList& arguments, QTextStream& out)
{
    if (!m_parser.parse(QStringList{ProgramName} + arguments)) {
        return CommandResult::usage(m_command + u": "_s +
                                    (m_parser.unknownOptionNames().isEmpty()
                                         ? m_parser.errorText()
                                         : unknownOptionText(arguments)));
    }
    if (m_parser.isSet(m_helpOption) || m_parser.isSet(HelpAllOption)) {
        out << m_parser.helpText();
        return CommandResult::success();
    }
    // The last of two values would win in silence; the user meant one of them.
    for (const QCommandLineOption& option : std::as_const(m_options)) {
        if (!option.valueName().isEmpty() && m_parser.values(option).size() > 1) {
            return CommandResult::usage(m_command + u": --"_s + option.names().constLast() +
                                        u" is given more than once"_s);
        }
    }
    const qsizetype given = m_parser.positionalArguments().size();
    if (m_repeated ? given < m_names.size() : given != m_names.size()) {
        return CommandResult::usage(m_command + u" takes "_s + m_names.join(u' ') + u" (see "_s +
                                    ProgramName + u' ' + m_command + u" --help)"_s);
    }
    return std::nullopt;
}

QString CommandParser::argument(qsizetype index) const
{
    return m_parser.positionalArguments().at(index);
}

QStringList CommandParser::arguments() const
{
    return m_parser.positionalArguments();
}

bool CommandParser::isSet(const QCommandLineOption& option) const
{
    return m_parser.isSet(option);
}

QString CommandParser::value(const QCommandLineOption& option) const
{
    return m_parser.value(option);
}

QString OutputFailure(QTextStream& out)
{
    out.flush();
    if (out.status() == QTextStream::Ok) {
        return {};
    }
    const auto* device = qobject_cast<const QFileDevice*>(out.device());
    return u"can't write to standard output ("_s +
           (device != nullptr && device->error() != QFileDevice::NoError ? device->errorString()
                                                                         : u"write failed"_s) +
           u')';
}

int FinishCommand(CommandResult result, QTextStream& out, QTextStream& err)
{
    if (result.reported) {
        return result.exitCode;
    }
    // Output that never arrived (a full disk, a closed standard output) is a failure too.
    if (const QString lost = OutputFailure(out);
        !lost.isEmpty() && result.exitCode == ExitSuccess) {
        result = CommandResult::failure(lost);
    }
    if (result.exitCode != ExitSuccess) {
        result.notes.append(result.message);
    }
    for (const QString& note : std::as_const(result.notes)) {
        // One line whatever a file name or system message holds, and nothing in it that a
        // terminal would act on.
        err << ProgramName << u": "_s << VisibleText(EscapeUndecodableBytes(note)) << u'\n';
    }
    err.flush();
    return result.exitCode;
}

} // namespace railwright::cli
