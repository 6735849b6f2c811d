// The drawing module the command-line tool loads for `render` where Qt is shared (see
// RunRenderRequest): its one entry point.
#include "cli/render_request.h"

extern "C" Q_DECL_EXPORT void RailwrightRenderDesigns(const railwright::cli::RenderRequest& request,
                                                      QTextStream& err,
                                                      railwright::cli::CommandResult& result)
{
    result = railwright::cli::RenderDesigns(request, err);
}
