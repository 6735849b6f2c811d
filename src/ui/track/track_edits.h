#pragma once

#include "codec/track_pieces.h"
#include "document/track_design_document.h"

#include <QString>
#include <vector>

// The arithmetic of the Track panel's edits: which flags bytes change, and to what, when
// a flag is set on selected pieces. Pieces the edit does not apply to are left alone;
// an edit that changes nothing gives no bytes.
namespace railwright {

struct TrackEdit
{
    QString stepName; // the undo step's name
    std::vector<ByteEdit> edits;
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

// The piece whose two bytes hold byte `index`; nothing outside the list.
[[nodiscard]] std::optional<std::size_t> PieceOfByte(const TrackList& list,
                                                     TrackDesignDocument::Index index);

} // namespace railwright
