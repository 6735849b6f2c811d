#pragma once

#include "codec/byte_buffer.h"
#include "native_path.h"

#include <QString>

namespace railwright {

// Files longer than this are not opened.
inline constexpr qint64 MaxDocumentFileSize = 65000;

struct LoadResult
{
    ByteBuffer bytes;      // the file, one element per byte, when ok
    QString errorText;     // a message for the user otherwise
    bool tooLarge = false; // refused for its size (LoadFile)

    [[nodiscard]] bool ok() const { return errorText.isEmpty(); }
};

// Reads at most `limit` + 1 bytes of the regular file at `path` (or of the file a link
// names), so a caller can tell a file longer than `limit`. Anything else (a folder, a
// named pipe, a device, a socket) is refused before it is opened, so this never blocks.
// errorText says "Can't open file: PATH (why)" when the file cannot be opened and
// "Can't read file: PATH (why)" when a read fails; `why` is "does not exist", "is a
// folder", "is a named pipe, not a file" or the system's words.
[[nodiscard]] LoadResult ReadRegularFile(const QString& path, qint64 limit);

#ifndef Q_OS_WIN
// Why what has the file mode `mode` (a stat's st_mode) is not read or written as a design
// file ("is a folder", "is a named pipe, not a file", ...); empty for a regular file.
// `deviceKind` says "is a character device" or "is a block device" where the editor's
// messages say "is a device".
[[nodiscard]] QString FileTypeRefusal(unsigned mode, bool deviceKind = false);
#endif

// Reads a whole file as raw bytes by ReadRegularFile's rules. Also refuses a file over
// MaxDocumentFileSize ("The file is too large to open.") and an empty file.
[[nodiscard]] LoadResult LoadFile(const QString& path);

// What a save may do to an existing file beyond replacing it by rename.
struct SaveOptions
{
    // How a file with other hard links (other names for the same file) is saved.
    enum class HardLinks
    {
        Refuse,        // refused with Refusal::HardLinked: replacing would split the names
        WriteIntoFile, // the new bytes are written into the file all names share
        Separate,      // this name gets a new file; the other names keep the old content
    };
    HardLinks hardLinks = HardLinks::Refuse;
    // Replace a file whose mode gives its owner no write permission (which permissions
    // alone would not stop for root).
    bool replaceReadOnly = false;
    // Wait until the new bytes are on the disk before the rename. Without it a crash of
    // the system soon after may leave an empty file; for what can be made again
    // (pictures), where waiting would slow a folder of them several times over.
    bool waitForDisk = true;
};

struct SaveResult
{
    enum class Refusal
    {
        None,
        HardLinked, // see SaveOptions::hardLinks; otherLinks says how many other names
        ReadOnly,   // see SaveOptions::replaceReadOnly
    };
    QString errorText;
    Refusal refusal = Refusal::None;
    qint64 otherLinks = 0;

    [[nodiscard]] bool ok() const { return errorText.isEmpty(); }
};

// Writes exactly `bytes` to `path` through an atomic replace: a temporary file in the
// same folder, with a name short enough for any name the file system allows, renamed
// over the target. A link is resolved as the system resolves it (relative targets from
// the link's own folder, ".." after the links before it) and the file at its end
// replaced; the replacement keeps the old file's owner and group (where the system lets
// this user give them), its permissions and its extended "user." attributes and access
// list. SIGINT, SIGTERM and SIGHUP during the save remove the temporary file before the
// process ends; a file-size limit is an ordinary write error. On Windows the file is only
// replaced by rename: see the Windows SaveFile for what it leaves out.
// On any failure the old file (if any) stays whole and errorText says what went wrong:
// "Can't open file: PATH (why)" when nothing could be written (the target is not a
// regular file, is this program's standard output or error, is read-only, has other
// hard links, its folder is missing or cannot take a new file, its links loop),
// otherwise "Can't save file: PATH (why)." and whether a file was there before.
[[nodiscard]] SaveResult SaveFile(const QString& path, ByteView bytes,
                                  const SaveOptions& options = {});

// The file name without its folder, as shown in the window title (see ShownPath).
[[nodiscard]] QString DisplayFileName(const QString& path);

} // namespace railwright
