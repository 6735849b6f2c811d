#pragma once

#include "codec/design_inspection.h"
#include "document/track_design_document.h"

#include <QObject>
#include <QString>

namespace railwright {

class UserPrompts;

// Opening, saving, decoding and encoding the one document, and the questions between
// them; the window only wires its menus to these and shows what they report. Every
// failure is told to the user through the prompts and leaves the document and the file
// on disk as they were.
class DocumentController : public QObject
{
    Q_OBJECT

public:
    DocumentController(TrackDesignDocument& document, UserPrompts& prompts,
                       QObject* parent = nullptr);

    // The filter of the open and save dialogs.
    static QString fileFilter();

    // The path "&Save" writes to; empty when the next save must ask for one.
    [[nodiscard]] QString currentPath() const { return m_currentPath; }
    // What the document is now (see FileHealthText, RecordHealthText); empty at start-up.
    [[nodiscard]] QString healthText() const { return m_healthText; }

    // "&Open...": settles unsaved changes, asks for a file and opens it.
    bool openFile();
    // Opens `path` as "&Open..." does once a file is chosen (a file named on the command
    // line). The game version follows the file's checksum. True when it was loaded.
    bool openPath(const QString& path);
    // Settles unsaved changes, then opens `path` (a file dropped on the window).
    bool openDroppedPath(const QString& path);
    // True when the document was written (to the current path, or to one asked for).
    bool save();
    // True when the document was written to a newly chosen path.
    bool saveAs();
    // True when the window may close: nothing unsaved, or the user saved or let it go.
    bool confirmClose();

    // One undoable step each. Decode selects "Corkscrew Follies" for an expansion record
    // when "Orignal" was selected. Encode refuses a result larger than a file may be.
    bool decode();
    bool encode();
    // Moves the decoded record to the other layout as one undoable step; the game version
    // follows (base layout: "Orignal"; expansion layout from "Orignal": "Corkscrew
    // Follies"). What the base layout cannot hold is dropped only after the user agrees.
    bool convertLayout(RecordLayout target);
    // The layout a decoded record can be converted to, or Unusual when none.
    [[nodiscard]] RecordLayout conversionTarget() const;

signals:
    void currentPathChanged(const QString& path);
    void healthChanged(const QString& text);
    // A file is being read or written: the window may show a busy pointer.
    void busyChanged(bool busy);

private:
    bool settleUnsavedChanges(const QString& question);
    bool guardDecodedSave();
    bool writeTo(const QString& path);
    void setCurrentPath(const QString& path);
    void updateHealth();

    TrackDesignDocument& m_document;
    UserPrompts& m_prompts;
    QString m_currentPath;
    QString m_healthText;
};

} // namespace railwright
