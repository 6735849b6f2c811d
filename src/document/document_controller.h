#pragma once

#include "codec/design_inspection.h"
#include "document/editor_settings.h"
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
    // What the document is now (see FileHealthText, RecordHealthText), and until the next
    // open where its bytes came from when that was not a valid design; empty at start-up.
    [[nodiscard]] QString healthText() const { return m_healthText; }
    // What the editor remembers between runs (recent files, last folder, options).
    [[nodiscard]] EditorSettings& settings() { return m_settings; }

    // "&Open...": settles unsaved changes, asks for a file and opens it.
    bool openFile();
    // Opens `path` as "&Open..." does once a file is chosen (a file named on the command
    // line). The game version follows the file's checksum. True when it was loaded.
    bool openPath(const QString& path);
    // Settles unsaved changes, then opens `path` (a file dropped on the window, a recent
    // file). A recent file that cannot be opened leaves the list.
    bool openDroppedPath(const QString& path);
    bool openRecentFile(const QString& path);
    void clearRecentFiles();
    // True when the document was written (to the current path, or to one asked for).
    bool save();
    // True when the document was written to a newly chosen path.
    bool saveAs();
    // True when the window may close: nothing unsaved, or the user saved or let it go.
    bool confirmClose();

    // One undoable step each. Decode selects "Corkscrew Follies" for an expansion record
    // when "Orignal" was selected. Encode refuses a result larger than a file may be, and
    // asks first when the design did not open as a valid one (its checksum matched no
    // game) or the record's length is unusual.
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
    void recentFilesChanged();
    void healthChanged(const QString& text);
    // A file is being read or written: the window may show a busy pointer.
    void busyChanged(bool busy);

private:
    // Where the document's bytes came from, as far as Encode and the health field care.
    enum class Origin
    {
        Design,           // a valid design, a file that is no design, or nothing yet
        ChecksumMismatch, // a design whose checksum matched no game version
        DecodedRecord,    // a decoded record saved without encoding, opened as decoded
    };

    bool settleUnsavedChanges(const QString& question);
    bool load(const QString& path);
    bool confirmDamagedEncode();
    void remember(const QString& path);
    bool guardDecodedSave();
    bool writeTo(const QString& path);
    void setCurrentPath(const QString& path);
    void updateHealth();

    TrackDesignDocument& m_document;
    UserPrompts& m_prompts;
    EditorSettings m_settings;
    QString m_currentPath;
    QString m_healthText;
    Origin m_origin = Origin::Design;
};

} // namespace railwright
