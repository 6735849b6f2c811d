#pragma once

#include "cli/cli_commands.h"
#include "codec/byte_buffer.h"
#include "codec/game_version.h"

#include <QString>
#include <optional>

namespace railwright::cli {

// The help of an INPUT argument that ReadTrackInput reads.
inline constexpr char16_t TrackInputText[] =
    u"The track-design file, or a decoded record with --decoded.";

// The refusal of a file given as encoded that is a decoded record (see IsDecodedRecord),
// naming it and suggesting --decoded; nothing for any other file.
[[nodiscard]] std::optional<CommandResult> DecodedRecordRefusal(const QString& path, ByteView file);

// The decoded record of a track-design file (or the file itself when `isDecoded`), read
// by the editor's rules. A file that cannot be read, is a decoded record without
// `isDecoded` (see IsDecodedRecord) or does not decode to a track design gives a failure
// naming the file. `version` is the game the design is taken for (DesignGameVersion; a
// decoded record has no checksum to tell).
struct TrackInput
{
    ByteBuffer record;
    std::optional<CommandResult> failure;
    GameVersion version = GameVersion::Original;
};
[[nodiscard]] TrackInput ReadTrackInput(const QString& path, bool isDecoded);

} // namespace railwright::cli
