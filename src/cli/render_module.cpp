// The drawing module the command-line tool loads for `render` (see RunRenderModule): its one
// entry point, the whole command.
#include "cli/render_command.h"

#include <cstdio>
#include <type_traits>

extern "C" Q_DECL_EXPORT int RailwrightRenderCommand(int argc, const char16_t* const* argv)
{
    using namespace railwright::cli;
    static_assert(std::is_same_v<decltype(&RailwrightRenderCommand), RenderCommandEntry>);
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments.append(QString::fromUtf16(argv[i]));
    }
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int status = FinishCommand(RunRenderCommand(arguments, out), out, err);
    // The program goes on writing to the same C streams after the module's own are gone.
    std::fflush(stdout);
    std::fflush(stderr);
    return status;
}
