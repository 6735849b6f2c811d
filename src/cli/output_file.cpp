#include "output_file.h"

#include "document/document_file.h"

#include <cerrno>

#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#ifndef STDOUT_FILENO
#define STDOUT_FILENO 1
#endif
#else
#include <unistd.h>
#endif

namespace railwright::cli {

using namespace Qt::StringLiterals;

namespace {

// Standard output as a file to write: the bytes as they are, every one checked.
CommandResult WriteStandardOutput(ByteView bytes)
{
#ifdef Q_OS_WIN
    // Otherwise the C runtime turns each line feed into CR LF.
    ::_setmode(STDOUT_FILENO, _O_BINARY);
#endif
    std::size_t done = 0;
    while (done < bytes.size()) {
        const auto wrote = ::write(STDOUT_FILENO, bytes.data() + done,
                                   unsigned(qMin<std::size_t>(bytes.size() - done, 1 << 20)));
        if (wrote < 0 && errno == EINTR) {
            continue;
        }
        if (wrote <= 0) {
            return CommandResult::failure(u"can't write to standard output ("_s +
                                          qt_error_string(wrote < 0 ? errno : EIO) + u')');
        }
        done += std::size_t(wrote);
    }
    return CommandResult::success();
}

} // namespace

bool IsStandardOutput(const QString& path)
{
    return path == u"-"_s || path == u"/dev/stdout"_s;
}

CommandResult WriteOutput(const OutputFile& output, ByteView bytes)
{
    if (IsStandardOutput(output.path)) {
        return WriteStandardOutput(bytes);
    }
    SaveOptions options;
    options.replaceReadOnly = output.force;
    options.waitForDisk = output.waitForDisk;
    options.hardLinks =
        output.force ? SaveOptions::HardLinks::WriteIntoFile : SaveOptions::HardLinks::Refuse;
    const SaveResult saved = SaveFile(output.path, bytes, options);
    switch (saved.refusal) {
    case SaveResult::Refusal::None:
        break;
    case SaveResult::Refusal::HardLinked:
        return CommandResult::failure(saved.errorText +
                                      u"; --force writes into the file all its names share"_s);
    case SaveResult::Refusal::ReadOnly:
        return CommandResult::failure(saved.errorText + u"; --force replaces it"_s);
    }
    return saved.ok() ? CommandResult::success() : CommandResult::failure(saved.errorText);
}

} // namespace railwright::cli
