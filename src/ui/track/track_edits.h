#pragma once

#include "codec/track_pieces.h"
#include "document/track_design_document.h"

#include <QString>
#include <vector>

// The arithmetic of the track edits (the Track panel's controls and the Track menu):
// which flags bytes change, and to what, when a flag is set on selected pieces. Pieces
// the edit does not apply to are left alone and named; an edit that changes nothing
// gives no bytes.
namespace railwright {

struct TrackEdit
{
    QString stepName; // the undo step's name
    std::vector<ByteEdit> edits;
    std::vector<std::size_t> applied; // selected pieces the edit applies to
    std::vector<std::size_t> skipped; // selected pieces it cannot apply to
    QString skipReason;               // why, for the skipped ones
};

// Chain lift on or off, on the selected pieces that may carry one on this ride by
// rules::ChainLiftFits, the rule the piece list warns by ("Chain Lift On", "Chain Lift
// Off"). Turning it off clears it on any piece.
[[nodiscard]] TrackEdit ChainLiftEdit(const TrackList& list, const std::vector<std::size_t>& pieces,
                                      bool on);
// Track colour scheme 0-3 of the selected pieces ("Track Scheme 2"); only the expansion
// layout has schemes, so the base layout gives no bytes.
[[nodiscard]] TrackEdit SchemeEdit(const TrackList& list, const std::vector<std::size_t>& pieces,
                                   int scheme);
// Speed 0-15 of the selected brakes and boosters ("Brake Speed 9").
[[nodiscard]] TrackEdit SpeedEdit(const TrackList& list, const std::vector<std::size_t>& pieces,
                                  int speed);
// The station bit 3 of the selected station pieces ("Departure Station On"/"Off").
[[nodiscard]] TrackEdit StationBitEdit(const TrackList& list,
                                       const std::vector<std::size_t>& pieces, bool on);

// What an edit did, for the status bar: "Chain Lift On: pieces 4-5; skipped pieces 3
// and 6 (left quarter turn 3 tiles, right quarter turn 3 tiles): this ride cannot carry
// a chain lift there". Empty when no piece was selected.
[[nodiscard]] QString TrackEditMessage(const TrackList& list, const TrackEdit& edit);
// A piece's code as two hexadecimal digits ("2B"), as the piece chooser finds it and
// `railwright-cli track` takes it.
[[nodiscard]] QString PieceCodeText(std::uint8_t code);
// Row numbers as the piece list shows them: "piece 4", "pieces 3 and 6", "pieces 1, 4-6
// and 9".
[[nodiscard]] QString PieceRowsText(const std::vector<std::size_t>& rows);

// The row of the list (a piece, or a maze's entry) whose bytes hold byte `index`;
// nothing outside the list.
[[nodiscard]] std::optional<std::size_t> RowOfByte(const TrackList& list,
                                                   TrackDesignDocument::Index index);
// The bytes of row `row`: a piece's code and flags, a maze entry's four bytes.
[[nodiscard]] ByteSelection::Range RowBytes(const TrackList& list, std::size_t row);
// How many rows the list has: pieces, or a maze's entries.
[[nodiscard]] std::size_t RowCount(const TrackList& list);

} // namespace railwright
