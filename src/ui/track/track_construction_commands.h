#pragma once

#include "codec/track_construction.h"
#include "document/track_design_document.h"

#include <QObject>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

class QAction;
class QWidget;

namespace railwright {

class TrackCommands;

// The MIME type of track pieces on the clipboard: each piece's code and flags bytes.
inline constexpr char PiecesMimeType[] = "application/x-railwright-pieces";

// Building and repairing the track: Insert Before, Insert After, Replace and Delete of the
// selected pieces, and Cut, Copy and Paste of runs of them, each one named undo step
// through EditPieceList, so the window writes the bytes the command line does. The Track
// menu and the Track panel share these actions, so they enable alike. A refused edit
// (a list that would not fit in the record, a maze) changes nothing and says why through
// TrackCommands::editReported; so does every edit done. New pieces come out selected, so
// the next Insert After goes on from them.
class TrackConstructionCommands : public QObject
{
    Q_OBJECT

public:
    // The piece chooser opens over `dialogParent`.
    TrackConstructionCommands(TrackDesignDocument& document, TrackCommands& commands,
                              QWidget* dialogParent);

    struct Actions
    {
        QAction* insertBefore = nullptr;
        QAction* insertAfter = nullptr;
        QAction* replace = nullptr;
        QAction* remove = nullptr;
        QAction* cut = nullptr;
        QAction* copy = nullptr;
        QAction* paste = nullptr;
    };
    [[nodiscard]] const Actions& actions() const { return m_actions; }

    void insertBefore();
    // After the last selected piece, or at the open end when none is selected.
    void insertAfter();
    // The first selected piece, by one that fits between its neighbours.
    void replace();
    void deletePieces();
    void cut();
    void copy();
    // After the last selected piece, or at the open end; the pasted pieces keep their flags.
    void paste();
    // Puts `run` at the open end as one step named "Close Circuit".
    void closeCircuit(const std::vector<std::uint8_t>& run);

private:
    void updateActions();
    [[nodiscard]] bool editable() const;
    // Deletes the selected pieces (one or more) as one step named `verb` and the count.
    void removeSelected(const QString& verb);
    void insertAt(std::size_t index, const QString& title, const QString& place);
    // Opens the piece chooser for an insert or replace at `index` and builds the piece chosen.
    void buildChosen(PieceListEdit::Kind kind, std::size_t index, const QString& title,
                     const QString& place);
    // Reports `refusal`, or the step done and selects `rows`.
    void finish(const QString& refusal, const QString& stepName,
                const std::vector<std::size_t>& reported, std::vector<std::size_t> rows);
    [[nodiscard]] bool copySelected();

    TrackDesignDocument& m_document;
    TrackCommands& m_commands;
    QWidget* m_dialogParent = nullptr;
    Actions m_actions;
    bool m_clipboardChecked = false;   // m_clipboardHasPieces holds for the clipboard now
    bool m_clipboardHasPieces = false; // it holds pieces (PiecesMimeType)
};

} // namespace railwright
