#pragma once

#include "codec/track_pieces.h"
#include "document/track_design_document.h"
#include "ui/track/track_edits.h"

#include <QObject>
#include <optional>
#include <vector>

namespace railwright {

// The document's track as it is now, the selected rows of its list (held by the
// document's ByteSelection, never here) and the edits of the selected pieces. The Track
// panel and the Track menu both act through it, so they enable and change alike. It
// follows the document: a byte selected anywhere selects the row it belongs to, rows
// gone after an edit are dropped, and replaced bytes start with no rows.
class TrackCommands : public QObject
{
    Q_OBJECT

public:
    explicit TrackCommands(TrackDesignDocument& document, QObject* parent = nullptr);

    // The decoded record's list; empty while the document is not decoded.
    [[nodiscard]] const TrackList& list() const { return m_list; }
    // Selected rows (pieces, or a maze's entries), ascending.
    [[nodiscard]] const std::vector<std::size_t>& selectedRows() const;
    // Selected rows that are pieces: none in a maze.
    [[nodiscard]] std::vector<std::size_t> selectedPieces() const;
    // The user chose these rows (the list, the picture): the document selects the first
    // one's first byte and marks every row's bytes.
    void selectRows(std::vector<std::size_t> rows);

    // What the selected pieces offer, for enabling the controls and showing values.
    struct Offer
    {
        bool chainOn = false;          // some piece may take a chain lift
        bool chainOff = false;         // some piece has one
        bool allChained = true;        // every piece that may take one has one
        bool scheme = false;           // pieces in the expansion layout
        int schemeValue = 0;           // of the first piece
        std::optional<int> speed;      // of the first brake or booster
        std::optional<bool> departure; // of the first station piece
    };
    [[nodiscard]] Offer offer() const;

    // Each is one undo step when it changes a byte; each tells editReported what it did.
    void setChainLift(bool on);
    // On unless every selected piece that takes a chain has one already.
    void toggleChainLift();
    void setScheme(int scheme);
    void setSpeed(int speed);
    // The first selected brake's speed moved by `delta`, kept within 0-15, on them all.
    void stepSpeed(int delta);
    void setDeparture(bool on);

signals:
    // The list was read anew; the selected rows past its end are already dropped.
    void trackChanged();
    // The selected rows changed.
    void rowsChanged();
    // What the last edit did and which selected pieces it skipped, and why.
    void editReported(const QString& message);

private:
    void readTrack();
    void followByte(TrackDesignDocument::Index index);
    void apply(const TrackEdit& edit);

    TrackDesignDocument& m_document;
    TrackList m_list;
};

} // namespace railwright
