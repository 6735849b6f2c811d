#include "cli/render_command.h"

#include <QCoreApplication>
#include <QLibrary>
#include <vector>

namespace railwright::cli {

using namespace Qt::StringLiterals;

CommandResult RunRenderModule(const QStringList& arguments, QTextStream& out)
{
    QLibrary module(QCoreApplication::applicationDirPath() + u"/railwright-render"_s);
    const auto entry = reinterpret_cast<RenderCommandEntry>(module.resolve(RenderCommandEntryName));
    if (entry == nullptr) {
        return CommandResult::failure(u"can't load the drawing module: "_s + module.errorString());
    }
    // The module writes to the same standard streams through its own.
    out.flush();
    std::vector<const char16_t*> words;
    words.reserve(std::size_t(arguments.size()));
    for (const QString& word : arguments) {
        words.push_back(reinterpret_cast<const char16_t*>(word.utf16()));
    }
    CommandResult result;
    result.exitCode = entry(int(words.size()), words.data());
    result.reported = true;
    return result;
}

} // namespace railwright::cli
