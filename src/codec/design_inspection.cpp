#include "design_inspection.h"

#include "checksum.h"
#include "record_layout.h"
#include "rle.h"

namespace railwright {

namespace {

constexpr std::uint8_t TrackEndMarker = 0xFF;
constexpr std::size_t TrackPieceSize = 2;
constexpr std::size_t ChecksumSize = 4;

std::size_t TrackDataStart(ByteView record)
{
    return HeaderLayoutOf(record) == RecordLayout::Expansion ? ExpansionTrackDataStart
                                                             : BaseTrackDataStart;
}

} // namespace

RecordLayout HeaderLayout(std::size_t length, std::uint8_t byte7)
{
    if (length == BaseRecordLength) {
        return RecordLayout::Base;
    }
    if (length == ExpansionRecordLength) {
        return RecordLayout::Expansion;
    }
    return (byte7 & record::ExpansionFlag) != 0 ? RecordLayout::Expansion : RecordLayout::Base;
}

RecordLayout HeaderLayoutOf(ByteView record)
{
    const std::uint8_t byte7 =
        record.size() > record::SchemeAndVersion ? record[record::SchemeAndVersion] : 0;
    return HeaderLayout(record.size(), byte7);
}

ChecksumMatch MatchChecksum(ByteView file)
{
    if (file.size() < ChecksumSize) {
        return ChecksumMatch::None;
    }
    const ByteView body = file.first(file.size() - ChecksumSize);
    std::uint32_t stored = 0;
    for (std::size_t i = 0; i < ChecksumSize; ++i) {
        stored |= std::uint32_t(file[body.size() + i]) << (8 * i);
    }
    if (stored == ComputeChecksum(body, GameVersion::LoopyLandscapes)) {
        return ChecksumMatch::LoopyLandscapes;
    }
    if (stored == ComputeChecksum(body, GameVersion::Original)) {
        return ChecksumMatch::OriginalOrCorkscrew;
    }
    return ChecksumMatch::None;
}

bool MarksExpansion(ByteView record)
{
    return record.size() > record::SchemeAndVersion &&
           record[record::SchemeAndVersion] >= record::ExpansionFlag;
}

GameVersion DesignGameVersion(ChecksumMatch checksum, ByteView record)
{
    return checksum == ChecksumMatch::LoopyLandscapes ? GameVersion::LoopyLandscapes
           : MarksExpansion(record)                   ? GameVersion::CorkscrewFollies
                                                      : GameVersion::Original;
}

RecordFacts InspectRecord(ByteView record)
{
    RecordFacts facts;
    facts.length = record.size();
    facts.layout = record.size() == BaseRecordLength        ? RecordLayout::Base
                   : record.size() == ExpansionRecordLength ? RecordLayout::Expansion
                                                            : RecordLayout::Unusual;
    std::size_t pieces = 0;
    for (std::size_t at = TrackDataStart(record); at < record.size();
         at += TrackPieceSize, ++pieces) {
        if (record[at] == TrackEndMarker) {
            facts.trackPieces = pieces;
            break;
        }
    }
    return facts;
}

bool IsDecodedRecord(ByteView file)
{
    const RecordFacts facts = InspectRecord(file);
    if (facts.layout == RecordLayout::Unusual || !facts.trackPieces ||
        MarksExpansion(file) != (facts.layout == RecordLayout::Expansion) ||
        MatchChecksum(file) != ChecksumMatch::None) {
        return false;
    }
    const std::size_t end = TrackDataStart(file) + *facts.trackPieces * TrackPieceSize;
    for (std::size_t at = end + 1; at < file.size(); ++at) {
        if (file[at] != 0) {
            return false;
        }
    }
    return true;
}

DesignInspection InspectDesign(ByteView file)
{
    ByteBuffer record;
    return InspectDesign(file, record);
}

DesignInspection InspectDesign(ByteView file, ByteBuffer& record)
{
    DesignInspection inspection;
    inspection.checksum = MatchChecksum(file);
    DecodeResult decoded = RLEDecode(file);
    record = std::move(decoded.record);
    if (!decoded.ok()) {
        inspection.decodeError = decoded.error;
    } else if (record.size() < MinimumRecordLength) {
        inspection.decodeError = "it decodes to only " + std::to_string(record.size()) +
                                 " bytes, too few for a track design";
    } else {
        inspection.record = InspectRecord(record);
    }
    return inspection;
}

} // namespace railwright
