#pragma once

#include <QStringList>
#include <QTextStream>

namespace railwright::cli {

// Runs one command line (arguments[0] is the program): parses it, runs the command,
// writes its results to `out` and any failure as one line "railwright-cli: ..." to
// `err`. Returns the exit status: 0 done, 1 failed, 2 the command line is wrong.
[[nodiscard]] int RunCommandLine(const QStringList& arguments, QTextStream& out, QTextStream& err);

} // namespace railwright::cli
