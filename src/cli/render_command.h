#pragma once

#include "cli/cli_commands.h"
#include "cli/render_request.h"

#include <QStringList>
#include <QTextStream>

namespace railwright::cli {

// Parses "render INPUT... --out DIR|FILE.png [--view plan|side|3d] [--size PIXELS]
// [--turn 0-3] [--decoded]" (the words after "render") and runs it (see RenderDesigns); problems go
// to standard error.
[[nodiscard]] CommandResult RunRenderCommand(const QStringList& arguments, QTextStream& out);

// Runs RenderDesigns. Where Qt is shared, drawing lives in a module beside the program
// (railwright-render), loaded only now, so that the other commands start without Qt Gui
// and the libraries it brings; a missing module is a failure that names it.
[[nodiscard]] CommandResult RunRenderRequest(const RenderRequest& request, QTextStream& err);

} // namespace railwright::cli
