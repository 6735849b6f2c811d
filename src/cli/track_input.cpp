#include "track_input.h"

#include "codec/design_inspection.h"
#include "codec/rle.h"
#include "document/document_file.h"

namespace railwright::cli {

using namespace Qt::StringLiterals;

std::optional<CommandResult> DecodedRecordRefusal(const QString& path, ByteView file)
{
    // A decoded record often decodes again, to nonsense: `verify` and `scan` call it what
    // it is, and so does every command that reads one file as encoded.
    if (!IsDecodedRecord(file)) {
        return std::nullopt;
    }
    return CommandResult::failure(ShownPath(path) + u": decoded record, not encoded (give "
                                                    u"--decoded to read it as one)"_s);
}

TrackInput ReadTrackInput(const QString& path, bool isDecoded)
{
    const QString shown = ShownPath(path);
    LoadResult load = LoadFile(path);
    if (!load.ok()) {
        // Some of the editor's messages name the file, some do not.
        return {{},
                CommandResult::failure(load.errorText.contains(shown)
                                           ? load.errorText
                                           : shown + u": "_s + load.errorText)};
    }
    if (isDecoded) {
        const GameVersion version = DesignGameVersion(ChecksumMatch::None, load.bytes);
        return {std::move(load.bytes), std::nullopt, version};
    }
    if (auto refusal = DecodedRecordRefusal(path, load.bytes)) {
        return {{}, std::move(refusal)};
    }
    DecodeResult decoded = RLEDecode(load.bytes);
    if (!decoded.ok()) {
        return {{},
                CommandResult::failure(shown + u": "_s + QString::fromStdString(decoded.error))};
    }
    if (decoded.record.size() < MinimumRecordLength) {
        return {{},
                CommandResult::failure(
                    shown + u": it decodes to only %1 bytes, too few for a track design"_s.arg(
                                decoded.record.size()))};
    }
    const GameVersion version = DesignGameVersion(MatchChecksum(load.bytes), decoded.record);
    return {std::move(decoded.record), std::nullopt, version};
}

} // namespace railwright::cli
