#pragma once

#include "codec/track_construction.h"
#include "document/track_design_document.h"

#include <QString>
#include <span>

namespace railwright {

// The undo step's name of `verb` done to `count` pieces: "Cut Piece", "Paste 3 Pieces".
[[nodiscard]] QString PiecesStepName(const QString& verb, std::size_t count);
// The undo step's name of a piece-list edit: "Insert Piece", "Insert 3 Pieces", "Replace
// Piece", "Delete 2 Pieces".
[[nodiscard]] QString PieceListStepName(const PieceListEdit& edit);

// Applies `edit` to the document's decoded record as one undoable step named `stepName`
// (PieceListStepName when empty), changing only the bytes that differ. Returns why it was
// refused, the document then unchanged; empty when done. Every view that builds or repairs
// the track calls this, so the window writes the bytes the command line does.
[[nodiscard]] QString EditPieceList(TrackDesignDocument& document, const PieceListEdit& edit,
                                    const QString& stepName = {});
// Why `edit` would be refused, without applying it (a full list, before the player picks
// the piece); empty when it would apply.
[[nodiscard]] QString PieceListRefusal(const TrackDesignDocument& document,
                                       const PieceListEdit& edit);
// Several edits applied in order as one step named `stepName` (a selection of pieces apart
// from each other deleted at once): all of them, or none when one is refused.
[[nodiscard]] QString EditPieceList(TrackDesignDocument& document,
                                    std::span<const PieceListEdit> edits, const QString& stepName);

} // namespace railwright
