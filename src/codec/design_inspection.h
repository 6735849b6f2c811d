#pragma once

#include "byte_buffer.h"
#include "game_version.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// What a file or a decoded record is, told without changing it: the facts behind the
// editor's file-health field, `railwright-cli verify` and `railwright-cli scan`.
namespace railwright {

// Which game constant closes a file. The base game and Corkscrew Follies share one.
enum class ChecksumMatch
{
    None,
    OriginalOrCorkscrew,
    LoopyLandscapes,
};

enum class RecordLayout
{
    Base,      // 8,058 bytes, one set of track colours
    Expansion, // 8,198 bytes, four track colour schemes
    Unusual,   // any other length
};

inline constexpr std::size_t BaseRecordLength = 8058;
inline constexpr std::size_t ExpansionRecordLength = 8198;
// The expansion layout inserts 140 bytes before the track data.
inline constexpr std::size_t BaseTrackDataStart = 0x38;
inline constexpr std::size_t ExpansionTrackDataStart = 0xC4;
inline constexpr std::size_t ExpansionHeaderLength = ExpansionTrackDataStart - BaseTrackDataStart;
// A decoded record shorter than this is not a track design.
inline constexpr std::size_t MinimumRecordLength = 8;

struct RecordFacts
{
    std::size_t length = 0;
    RecordLayout layout = RecordLayout::Unusual;
    // Two-byte track pieces before the FF end marker; nothing when there is no marker.
    std::optional<std::size_t> trackPieces;
};

struct DesignInspection
{
    ChecksumMatch checksum = ChecksumMatch::None;
    std::string decodeError; // empty when the body decodes to a record of 8 bytes or more
    RecordFacts record;      // meaningful only when decodeError is empty

    [[nodiscard]] bool decodes() const { return decodeError.empty(); }
    // A file the game reads: it decodes and a game constant closes it.
    [[nodiscard]] bool valid() const { return decodes() && checksum != ChecksumMatch::None; }
};

// The checksum a file ends with, compared with both game constants. A file under 4 bytes
// matches nothing.
[[nodiscard]] ChecksumMatch MatchChecksum(ByteView file);

// The layout of a record's header: Base or Expansion by length, and for any other length
// Expansion when byte 7 (`byte7`; 0 when the record lacks it) has its expansion flag.
// Never Unusual.
[[nodiscard]] RecordLayout HeaderLayout(std::size_t length, std::uint8_t byte7);
// The same, read from the record itself: its length and its own byte 7.
[[nodiscard]] RecordLayout HeaderLayoutOf(ByteView record);

// Whether a decoded record says it was made with an expansion: byte 7 holds 4 or more (the
// editor's rule on Decode; a record without a byte 7 says nothing).
[[nodiscard]] bool MarksExpansion(ByteView record);
// The game a design is taken for when read from a file: Loopy Landscapes by its checksum,
// else Corkscrew Follies when the record marks an expansion, else the base game.
[[nodiscard]] GameVersion DesignGameVersion(ChecksumMatch checksum, ByteView record);

// Length, layout (by length; the track data start of an unusual length by byte 7's
// expansion flag) and the track pieces of a decoded record.
[[nodiscard]] RecordFacts InspectRecord(ByteView record);

// Whether `file` is a decoded record saved without encoding: 8,058 or 8,198 bytes, byte 7's
// expansion flag agreeing with that length, a track list ended by FF with only zeros
// after it, and no game's checksum at its end.
[[nodiscard]] bool IsDecodedRecord(ByteView file);

// Checksum, decodability and the decoded record's facts of an encoded file.
[[nodiscard]] DesignInspection InspectDesign(ByteView file);

// The same, handing over the decoded record (empty when the body does not decode), for a
// caller that reads its fields too and so decodes each file once.
[[nodiscard]] DesignInspection InspectDesign(ByteView file, ByteBuffer& record);

} // namespace railwright
