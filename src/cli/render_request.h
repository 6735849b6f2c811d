#pragma once

#include "cli/cli_commands.h"

#include <QStringList>
#include <QTextStream>

namespace railwright::cli {

struct RenderRequest
{
    QStringList inputs; // files, and folders whose .td4 files (any case) are all drawn
    QString output;     // a folder, or one .png file for a single input
    QString view = QString::fromUtf16(u"3d"); // plan, side or 3d
    int size = 512;                           // pixels on the longer side
    int turn = 0;                             // quarter turns of the 3d view, 0 to 3
    bool inputsAreDecoded = false;
    bool force = false; // see ForceOptionText
};

// Draws each design to a PNG: into the output folder (created when missing) as the
// input's name with ".png", into the named file, or to standard output ("-",
// "/dev/stdout") for a single design. Every picture is written by WriteOutput's rules
// and never over one of the designs drawn. A damaged list is drawn as far as it goes and
// its problems written to `err`; a file that cannot be read or decoded (a named pipe, a
// dangling link, a decoded record without `inputsAreDecoded`) is an error line on `err`
// naming it, and the others are still drawn. Fails when any was not drawn or none found.
// Lives in the drawing library, which needs Qt Gui (see RunRenderModule).
[[nodiscard]] CommandResult RenderDesigns(const RenderRequest& request, QTextStream& err);

} // namespace railwright::cli
