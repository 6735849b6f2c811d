#pragma once

#include "cli/cli_commands.h"
#include "render/track_scene.h"

#include <QStringList>
#include <QTextStream>

namespace railwright::cli {

// Parses "render INPUT... --out DIR|FILE.png [--view plan|side|iso] [--size PIXELS]
// [--decoded]" (the words after "render") and runs it (see RenderDesigns); problems go to
// standard error.
[[nodiscard]] CommandResult RunRenderCommand(const QStringList& arguments, QTextStream& out);

struct RenderRequest
{
    QStringList inputs; // files, and folders whose .td4 files (any case) are all drawn
    QString output;     // a folder, or one .png file for a single input
    TrackView view = TrackView::Iso;
    int size = 512; // pixels on the longer side
    bool inputsAreDecoded = false;
};

// Draws each design to a PNG: into the output folder (created when missing) as the
// input's name with ".png", or into the named file. A damaged list is drawn as far as
// it goes and its problems written to `err`; a file that cannot be read or decoded is
// an error line on `err` and the others are still drawn. Fails when any was not drawn.
[[nodiscard]] CommandResult RenderDesigns(const RenderRequest& request, QTextStream& err);

} // namespace railwright::cli
