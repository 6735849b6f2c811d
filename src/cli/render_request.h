#pragma once

#include "cli/cli_commands.h"

#include <QStringList>
#include <QTextStream>

namespace railwright::cli {

struct RenderRequest
{
    QStringList inputs; // files, and folders whose .td4 files (any case) are all drawn
    QString output;     // a folder, or one .png file for a single input
    QString view = QStringLiteral("iso"); // plan, side or iso
    int size = 512;                       // pixels on the longer side
    int turn = 0;                         // quarter turns of the iso view, 0 to 3
    bool inputsAreDecoded = false;
};

// Draws each design to a PNG: into the output folder (created when missing) as the
// input's name with ".png", or into the named file. A damaged list is drawn as far as
// it goes and its problems written to `err`; a file that cannot be read or decoded is
// an error line on `err` and the others are still drawn. Fails when any was not drawn.
// Lives in the drawing library, which needs Qt Gui (see RunRenderRequest).
[[nodiscard]] CommandResult RenderDesigns(const RenderRequest& request, QTextStream& err);

// The entry point the drawing module exports for the command-line tool.
using RenderDesignsEntry = void (*)(const RenderRequest& request, QTextStream& err,
                                    CommandResult& result);
inline constexpr char RenderDesignsEntryName[] = "RailwrightRenderDesigns";

} // namespace railwright::cli
