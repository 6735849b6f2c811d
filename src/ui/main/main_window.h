#pragma once

#include "codec/code_table_format.h"
#include "codec/game_version.h"
#include "document/document_controller.h"
#include "document/track_design_document.h"

#include <QMainWindow>
#include <QString>
#include <memory>

class QAction;
class QDockWidget;
class QLabel;
class QMenu;
class QToolBar;

namespace railwright {

class DesignPanel;
class FileAssociation;
class GridEditor;
class StatusPanels;
class TrackCommands;
class TrackConstructionCommands;
class TrackPanel;
class RideSettingsMenus;
class UserPrompts;

// The editor's only top-level window, `Main`: owns the document and its controller, the
// byte grid, the menus, the toolbar and the status bar. The menus drive the controller
// and the document's undo stack; everything else shows what the document says.
// Everything it asks the user goes through the UserPrompts.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    // Reads the code tables from `tablesDirectory`, or from the program's own folder
    // when it is empty; a table that cannot be opened is reported and stays empty.
    explicit MainWindow(UserPrompts& prompts, QWidget* parent = nullptr,
                        const QString& tablesDirectory = {});
    ~MainWindow() override;

    [[nodiscard]] TrackDesignDocument& document() { return m_document; }
    [[nodiscard]] const TrackDesignDocument& document() const { return m_document; }
    [[nodiscard]] DocumentController& controller() { return m_controller; }
    [[nodiscard]] GridEditor* gridEditor() const { return m_grid; }
    [[nodiscard]] QToolBar* toolbar() const { return m_toolbar; }
    // The Design panel, built the first time its dock is shown; nullptr until then.
    [[nodiscard]] DesignPanel* designPanel() const { return m_designPanel; }
    [[nodiscard]] QDockWidget* designDock() const { return m_designDock; }
    // The Track panel, built the first time its dock is shown; nullptr until then.
    [[nodiscard]] TrackPanel* trackPanel() const { return m_trackPanel; }
    [[nodiscard]] QDockWidget* trackDock() const { return m_trackDock; }
    // The edits of the selected pieces, shared by the Track panel and the Track menu.
    [[nodiscard]] TrackCommands* trackCommands() const { return m_trackCommands; }
    // Insert, Replace, Delete, Cut, Copy and Paste of pieces, for the menu and the panel.
    [[nodiscard]] TrackConstructionCommands* trackConstruction() const
    {
        return m_trackConstruction;
    }

    // A menu by its name ("M_File", "SM_Color", "SM_RC", ...); nullptr if none has it.
    [[nodiscard]] QMenu* menu(const char* name) const;
    // A menu item or toolbar action by its name ("SM_Open", "Toolbar_Decode", ...);
    // a submenu's name gives its menuAction. nullptr if none has it.
    [[nodiscard]] QAction* action(const char* name) const;

    [[nodiscard]] const CodeTables& codeTables() const { return m_tables; }
    [[nodiscard]] RideSettingsMenus* rideSettings() const { return m_settings.get(); }

    // Opens `path` as "&Open..." does once a file is chosen (a file named on the
    // command line). True when it was loaded.
    bool openPath(const QString& path);
    void showAbout();
    // The ride operation dialog; "Ok" writes its six bytes.
    void showRideOperation();
    // The "Ride Info" report of the decoded record.
    void ShowRideInfo();
    // The Track panel's view as a PNG file: asks the size and the path.
    void exportPicture();
    // The Track panel's picture as shown, to the clipboard.
    void copyPicture();
    // The window's first size and dock layout back.
    void resetLayout();
    // Adds "Open .TD4 Files with Railwright" to the Options menu (Windows): checked while
    // `association` is registered; choosing it registers or removes the file type, and a
    // failure is told. `association` must outlive the window.
    void offerFileAssociation(FileAssociation& association);

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void createFileMenu();
    void createEditMenu();
    void createDesignMenu();
    void createTrackMenu();
    void showTrackOffer();
    void createViewMenu();
    void createRideSettingsMenu();
    void createOptionsMenu();
    void createAboutMenu();
    void createToolbar();
    void createStatusBar();
    void createDesignDock();
    void createTrackDock();
    void buildDesignPanel();
    void buildTrackPanel();
    // The docks placed as in the first run: Track on the left, wide enough to read it.
    void placeDocks();
    void restoreLayout();
    void saveLayout();

    QMenu* addSubmenu(QMenu* parent, const char* name, const QString& caption);
    QAction* addItem(QMenu* menu, const char* name, const QString& caption,
                     const QKeySequence& shortcut = {});
    void addSeparator(QMenu* menu, const char* name);

    void loadCodeTables(const QString& directory);
    void connectRideSettings();
    void connectDocument();
    void showContentKind(ContentKind kind);
    void showConversionTarget();
    void showCurrentPath(const QString& path);
    void showRecentFiles();

    UserPrompts& m_prompts;
    TrackDesignDocument m_document;
    DocumentController m_controller;
    CodeTables m_tables;
    std::unique_ptr<RideSettingsMenus> m_settings;
    GridEditor* m_grid = nullptr;
    TrackCommands* m_trackCommands = nullptr;
    TrackConstructionCommands* m_trackConstruction = nullptr;
    QToolBar* m_toolbar = nullptr;
    QMenu* m_recentMenu = nullptr;
    DesignPanel* m_designPanel = nullptr;
    QDockWidget* m_designDock = nullptr;
    TrackPanel* m_trackPanel = nullptr;
    QDockWidget* m_trackDock = nullptr;
    bool m_trackDockWanted = true;
    QSize m_firstSize;
    // Decode shows the design panel unless the user has hidden it in this run.
    bool m_designDockWanted = true;
    // The items whose enabled state shows whether the document is decoded.
    struct StateActions
    {
        QAction* rideSettings = nullptr;
        QAction* rideInfo = nullptr;
        QAction* decode = nullptr;
        QAction* encode = nullptr;
        QAction* exportPicture = nullptr;
        QAction* copyPicture = nullptr;
    } m_stateActions;
    // The Track menu's items, enabled for what the selected pieces offer.
    struct TrackActions
    {
        QAction* chainOn = nullptr;
        QAction* chainOff = nullptr;
        QMenu* scheme = nullptr;
        QList<QAction*> schemes;
        QAction* speedUp = nullptr;
        QAction* speedDown = nullptr;
        QAction* departure = nullptr;
    } m_trackActions;
    struct ConvertActions
    {
        QAction* toExpansion = nullptr;
        QAction* toBase = nullptr;
    } m_convertActions;
};

} // namespace railwright
