#pragma once

#include "codec/game_version.h"
#include "document/track_design_document.h"

#include <QMainWindow>
#include <QString>

class QAction;
class QLabel;
class QMenu;
class QToolBar;

namespace railwright {

class GridEditor;
class UserPrompts;

// The editor's only top-level window, `Main`: owns the document, the byte grid, the
// menus, the toolbar and the status bar, and runs the file commands and the decode
// and encode command. Everything it asks the user goes through the UserPrompts.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    // Whether the document holds nothing yet, raw file bytes or a decoded record. Only
    // the window knows: it shows in the enabled states of "&Ride Settings", "Ride
    // Info", "Decode" and "Encode".
    enum class DocumentState
    {
        StartUp,
        Raw,
        Decoded,
    };

    explicit MainWindow(UserPrompts& prompts, QWidget* parent = nullptr);
    ~MainWindow() override;

    [[nodiscard]] TrackDesignDocument& document() { return m_document; }
    [[nodiscard]] const TrackDesignDocument& document() const { return m_document; }
    [[nodiscard]] GridEditor* gridEditor() const { return m_grid; }
    [[nodiscard]] QToolBar* toolbar() const { return m_toolbar; }

    // A menu by its name ("M_File", "SM_Color", "SM_RC", ...); nullptr if none has it.
    [[nodiscard]] QMenu* menu(const char* name) const;
    // A menu item or toolbar action by its name ("SM_Open", "Toolbar_Decode", ...);
    // a submenu's name gives its menuAction. nullptr if none has it.
    [[nodiscard]] QAction* action(const char* name) const;

    // The game version the "RCT Version" check marks say: Loopy Landscapes when its
    // item is checked, else Corkscrew Follies when that one is, else the base game.
    [[nodiscard]] GameVersion gameVersion() const;

    [[nodiscard]] DocumentState documentState() const { return m_state; }
    // The path "&Save" writes to; empty when the next save must ask for one.
    [[nodiscard]] QString currentPath() const { return m_currentPath; }

    // Decodes (true) or encodes (false) the whole document in place and marks it
    // changed. A decode that fails, or gives an empty record, tells the user why and
    // leaves the document, its changed mark and the window as they were; the result
    // is then false. Does not refresh the grid or touch the toolbar.
    [[nodiscard]] bool EnDc(bool decode);

    // The file commands; each tells the user about its own failures.
    void openFile();
    // True when the document was written (to the current path, or to one asked for).
    bool saveFile();
    // True when the document was written to a newly chosen path.
    bool saveFileAs();
    void showAbout();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createFileMenu();
    void createEditMenu();
    void createRideSettingsMenu();
    void createOptionsMenu();
    void createAboutMenu();
    void createToolbar();
    void createStatusBar();

    QMenu* addSubmenu(QMenu* parent, const char* name, const QString& caption);
    QAction* addItem(QMenu* menu, const char* name, const QString& caption,
                     const QKeySequence& shortcut = {});
    void addSeparator(QMenu* menu, const char* name);

    void decodeCommand();
    void encodeCommand();
    void ShowRideInfo();
    void chooseGameVersion(GameVersion version);
    void applyDocumentState(DocumentState state);
    [[nodiscard]] bool writeTo(const QString& path);
    void refreshGrid();
    void showStatusTexts(const QStringList& texts);

    UserPrompts& m_prompts;
    TrackDesignDocument m_document;
    GridEditor* m_grid = nullptr;
    QToolBar* m_toolbar = nullptr;
    QList<QLabel*> m_panels;
    QString m_currentPath;
    DocumentState m_state = DocumentState::StartUp;
};

} // namespace railwright
