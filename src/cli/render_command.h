#pragma once

#include "cli/cli_commands.h"
#include "cli/render_request.h"

#include <QStringList>
#include <QTextStream>

namespace railwright::cli {

// Parses "render INPUT... --out DIR|FILE.png [--view plan|side|3d] [--size PIXELS]
// [--turn 0-3] [--decoded]" (the words after "render") and runs it (see RenderDesigns); problems go
// to standard error. Lives in the drawing library, which needs Qt Gui.
[[nodiscard]] CommandResult RunRenderCommand(const QStringList& arguments, QTextStream& out);

// The drawing module's one entry point: the whole `render` command, the words after "render"
// as NUL-terminated UTF-16 strings in, the exit status out; it writes its own output and
// messages. Only plain data crosses, because where Qt is static the module carries a copy
// of Qt of its own, whose strings and streams the program's copy must never touch.
using RenderCommandEntry = int (*)(int argc, const char16_t* const* argv);
inline constexpr char RenderCommandEntryName[] = "RailwrightRenderCommand";

// Runs `render` in the drawing module beside the program (railwright-render), loaded only
// now, so that the other commands start without Qt Gui and all it brings; a module that is
// missing or lacks the entry point is a failure that names it. Lives in the program.
[[nodiscard]] CommandResult RunRenderModule(const QStringList& arguments, QTextStream& out);

} // namespace railwright::cli
