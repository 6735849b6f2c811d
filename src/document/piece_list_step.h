#pragma once

#include "codec/track_construction.h"
#include "document/track_design_document.h"

#include <QString>

namespace railwright {

// The undo step's name of a piece-list edit: "Insert Piece", "Insert 3 Pieces", "Replace
// Piece", "Delete 2 Pieces".
[[nodiscard]] QString PieceListStepName(const PieceListEdit& edit);

// Applies `edit` to the document's decoded record as one undoable step named `stepName`
// (PieceListStepName when empty), changing only the bytes that differ. Returns why it was
// refused, the document then unchanged; empty when done. Every view that builds or repairs
// the track calls this, so the window writes the bytes the command line does.
[[nodiscard]] QString EditPieceList(TrackDesignDocument& document, const PieceListEdit& edit,
                                    const QString& stepName = {});

} // namespace railwright
