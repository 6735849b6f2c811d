#pragma once

#include "codec/code_table_format.h"
#include "codec/game_version.h"
#include "document/track_design_document.h"

#include <QMainWindow>
#include <QString>
#include <memory>

class QAction;
class QLabel;
class QMenu;
class QToolBar;

namespace railwright {

class GridEditor;
class RideSettingsMenus;
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

    // Reads the code tables from `tablesDirectory`, or from the program's own folder
    // when it is empty; a table that cannot be opened is reported and stays empty.
    explicit MainWindow(UserPrompts& prompts, QWidget* parent = nullptr,
                        const QString& tablesDirectory = {});
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

    // The game version the "RCT Version" check marks say.
    [[nodiscard]] GameVersion gameVersion() const;
    [[nodiscard]] const CodeTables& codeTables() const { return m_tables; }
    [[nodiscard]] RideSettingsMenus* rideSettings() const { return m_settings.get(); }

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
    // Opens `path` as "&Open..." does once a file is chosen (a file named on the
    // command line). True when it was loaded.
    bool openPath(const QString& path);
    // Opens `path` as "&Open..." does, asking first about unsaved changes (a file
    // dropped on the window). True when it was loaded.
    bool openDroppedPath(const QString& path);
    // True when the document was written (to the current path, or to one asked for).
    bool saveFile();
    // True when the document was written to a newly chosen path.
    bool saveFileAs();
    void showAbout();
    // The ride operation dialog; "Ok" writes its six bytes.
    void showRideOperation();
    // The "Ride Info" report of the decoded record.
    void ShowRideInfo();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

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
    void loadCodeTables(const QString& directory);
    void connectRideSettings();
    [[nodiscard]] bool settleUnsavedChanges();
    void applyDocumentState(DocumentState state);
    [[nodiscard]] bool writeTo(const QString& path);
    void refreshGrid();
    void showStatusTexts(const QStringList& texts);

    UserPrompts& m_prompts;
    TrackDesignDocument m_document;
    CodeTables m_tables;
    std::unique_ptr<RideSettingsMenus> m_settings;
    GridEditor* m_grid = nullptr;
    QToolBar* m_toolbar = nullptr;
    QList<QLabel*> m_panels;
    // The items whose enabled state shows whether the document is decoded.
    struct StateActions
    {
        QAction* rideSettings = nullptr;
        QAction* rideInfo = nullptr;
        QAction* decode = nullptr;
        QAction* encode = nullptr;
    } m_stateActions;
    QString m_currentPath;
    DocumentState m_state = DocumentState::StartUp;
};

} // namespace railwright
