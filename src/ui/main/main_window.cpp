#include "main_window.h"

#include "about_text.h"
#include "document/document_file.h"
#include "document/user_prompts.h"
#include "operation/ride_operation.h"
#include "report/ride_info_report.h"
#include "settings/code_tables.h"
#include "settings/file_association.h"
#include "status_panels.h"
#include "toolbar_icons.h"
#include "ui/design/design_panel.h"
#include "ui/grid/grid_editor.h"
#include "ui/grid/grid_model.h"
#include "ui/operation/ride_operation_dialog.h"
#include "ui/settings/ride_settings_menus.h"
#include "ui/track/track_commands.h"
#include "ui/track/track_construction_commands.h"
#include "ui/track/track_panel.h"
#include "ui/track/track_picture_view.h"

#include <QAction>
#include <QBuffer>
#include <QClipboard>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QDockWidget>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QImageWriter>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QToolBar>
#include <QUndoStack>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace railwright {

namespace {

const QString AppCaption = u"Railwright"_s;
// Sizes Export Picture draws, longer side in pixels: render's own limits.
constexpr int SmallestPicture = 128;
constexpr int LargestPicture = 4096;

// "[*]" is where Qt shows the modified mark while the document is changed.
QString titleFor(const QString& fileName)
{
    return AppCaption + u" ["_s + fileName + u"][*]"_s;
}

// The one local file a drag carries, or an empty string.
QString droppedFilePath(const QMimeData* data)
{
    if (data == nullptr || !data->hasUrls() || data->urls().size() != 1) {
        return {};
    }
    const QUrl url = data->urls().constFirst();
    // A name that is not UTF-8 comes out of the link with U+FFFD for its own bytes.
    return url.isLocalFile() ? RecoverDecodedPath(url.toLocalFile()) : QString();
}

} // namespace

MainWindow::MainWindow(UserPrompts& prompts, QWidget* parent, const QString& tablesDirectory)
    : QMainWindow(parent), m_prompts(prompts), m_controller(m_document, prompts)
{
    setObjectName(u"Main"_s);
    setWindowTitle(titleFor(u"Untitled"_s));

    m_grid = new GridEditor(m_document, m_prompts, this);
    setCentralWidget(m_grid);
    m_trackCommands = new TrackCommands(m_document, this);
    m_trackConstruction = new TrackConstructionCommands(m_document, *m_trackCommands, this);

    createFileMenu();
    createEditMenu();
    createDesignMenu();
    createTrackMenu();
    createViewMenu();
    createRideSettingsMenu();
    createOptionsMenu();
    createAboutMenu();
    createToolbar();
    createStatusBar();
    // Looked up once: a large code table can hang tens of thousands of items below the
    // window, and the states switch on every open, decode and encode.
    m_stateActions = {action("M_RideSet"),        action("Toolbar_RideInfo"),
                      action("Toolbar_Decode"),   action("Toolbar_Encode"),
                      action("SM_ExportPicture"), action("SM_CopyPicture")};
    loadCodeTables(tablesDirectory);
    createDesignDock();
    createTrackDock();
    connectDocument();
    setAcceptDrops(true);

    // Each of these refills the grid, so only when the editor did not start that way.
    if (m_grid->displayMode() != DisplayMode::Hexidecimal) {
        m_grid->setDisplayMode(DisplayMode::Hexidecimal);
    }
    showContentKind(m_document.kind());
    // Room for the grid and a Track panel a player can read beside it, but never more
    // than the screen offers (a large scale factor on a small screen).
    QSize size(1180, 760);
    if (const QScreen* shown = screen(); shown != nullptr) {
        // The frame the window system adds around the client area is not known before the
        // window is shown; a small margin keeps it on the screen.
        const QSize frame(16, 48);
        size = size.boundedTo(shown->availableGeometry().size() - frame);
    }
    resize(size);
    m_firstSize = size;
    restoreLayout();
}

MainWindow::~MainWindow()
{
    // The dock is deleted with the window's widgets, after this object's own members: its
    // last hide must not reach a window that is half gone.
    m_designDock->toggleViewAction()->disconnect(this);
    m_trackDock->toggleViewAction()->disconnect(this);
    m_trackDock->disconnect(this);
}

QMenu* MainWindow::menu(const char* name) const
{
    return findChild<QMenu*>(QString::fromLatin1(name));
}

QAction* MainWindow::action(const char* name) const
{
    return findChild<QAction*>(QString::fromLatin1(name));
}

void MainWindow::loadCodeTables(const QString& directory)
{
    CodeTablesLoad loaded = directory.isEmpty()
                                ? LoadCodeTables()
                                : ReadCodeTables(directory, MissingCodeTables::Create);
    for (const QString& message : std::as_const(loaded.messages)) {
        m_prompts.tell(message, AppCaption);
    }
    m_tables = std::move(loaded.tables);
    connectRideSettings();
}

void MainWindow::connectDocument()
{
    connect(&m_document, &TrackDesignDocument::kindChanged, this, &MainWindow::showContentKind);
    connect(&m_document, &TrackDesignDocument::changedFlagChanged, this,
            &QWidget::setWindowModified);
    connect(&m_controller, &DocumentController::currentPathChanged, this,
            &MainWindow::showCurrentPath);
    connect(&m_controller, &DocumentController::busyChanged, this, [](bool busy) {
        if (busy) {
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        } else {
            QGuiApplication::restoreOverrideCursor();
        }
    });
}

void MainWindow::connectRideSettings()
{
    RideSettingsMenuHandles handles;
    handles.rideTypes = menu("SM_RC");
    handles.vehicleTypes = menu("SM_VT");
    handles.operatingModes = menu("SM_OM");
    handles.trackSpine = menu("SM_TSC");
    handles.trackRail = menu("SM_TRC");
    handles.trackSupport = menu("SM_SC");
    handles.bodyColor = menu("SM_Body_Color");
    handles.trimColor = menu("SM_Trim_Color");
    handles.schemeSame = action("SM_CS_Same");
    handles.schemeTrain = action("SM_CS_Train");
    handles.schemeCar = action("SM_CS_Car");
    handles.schemeNotUsed = action("SM_CS_NotUsed");
    handles.versionOriginal = action("SM_RCT_Org");
    handles.versionCorkscrewFollies = action("SM_RCT_CF");
    handles.versionLoopyLandscapes = action("SM_RCT_LL");
    m_settings = std::make_unique<RideSettingsMenus>(m_document, m_tables, handles);
    connect(m_settings.get(), &RideSettingsMenus::writeRefused, this,
            [this](const QString& message) { m_prompts.tell(message, AppCaption); });
}

// --- Menus -----------------------------------------------------------------------

QMenu* MainWindow::addSubmenu(QMenu* parent, const char* name, const QString& caption)
{
    const QString objectName = QString::fromLatin1(name);
    QMenu* sub = parent != nullptr ? parent->addMenu(caption) : menuBar()->addMenu(caption);
    sub->setObjectName(objectName);
    sub->menuAction()->setObjectName(objectName);
    return sub;
}

QAction* MainWindow::addItem(QMenu* menu, const char* name, const QString& caption,
                             const QKeySequence& shortcut)
{
    QAction* item = menu->addAction(caption);
    item->setObjectName(QString::fromLatin1(name));
    if (!shortcut.isEmpty()) {
        item->setShortcut(shortcut);
    }
    return item;
}

void MainWindow::addSeparator(QMenu* menu, const char* name)
{
    menu->addSeparator()->setObjectName(QString::fromLatin1(name));
}

void MainWindow::createFileMenu()
{
    QMenu* file = addSubmenu(nullptr, "M_File", u"&File"_s);
    connect(addItem(file, "SM_Open", u"&Open..."_s, QKeySequence(Qt::CTRL | Qt::Key_O)),
            &QAction::triggered, &m_controller, &DocumentController::openFile);
    m_recentMenu = addSubmenu(file, "SM_Recent", u"Open &Recent"_s);
    connect(&m_controller, &DocumentController::recentFilesChanged, this,
            &MainWindow::showRecentFiles);
    showRecentFiles();
    addSeparator(file, "Break7");
    connect(addItem(file, "SM_Save", u"&Save"_s, QKeySequence(Qt::CTRL | Qt::Key_S)),
            &QAction::triggered, &m_controller, &DocumentController::save);
    connect(addItem(file, "SM_SaveAs", u"Save &As..."_s), &QAction::triggered, &m_controller,
            &DocumentController::saveAs);
    addSeparator(file, "Break4");
    QMenu* exportMenu = addSubmenu(file, "SM_Export", u"Expor&t"_s);
    // Export targets are announced but have no command yet; they stay disabled.
    addItem(exportMenu, "SM_NoLimts", u"&No Limits"_s)->setEnabled(false);
    addItem(exportMenu, "SM_UltraCoaster", u"&Ultra Coaster"_s)->setEnabled(false);
    connect(addItem(file, "SM_ExportPicture", u"Export &Picture..."_s), &QAction::triggered, this,
            &MainWindow::exportPicture);
    addSeparator(file, "Break1");
    connect(addItem(file, "SM_Exit", u"&Exit"_s, QKeySequence(Qt::CTRL | Qt::Key_Q)),
            &QAction::triggered, this, &QWidget::close);
}

void MainWindow::createEditMenu()
{
    QMenu* edit = addSubmenu(nullptr, "M_Edit", u"&Edit"_s);
    // The stack names the step in the caption and disables the item when there is none.
    QAction* undo = m_document.undoStack()->createUndoAction(edit, u"&Undo"_s);
    undo->setObjectName(u"SM_Undo"_s);
    undo->setShortcut(QKeySequence::Undo);
    QAction* redo = m_document.undoStack()->createRedoAction(edit, u"&Redo"_s);
    redo->setObjectName(u"SM_Redo"_s);
    redo->setShortcut(QKeySequence::Redo);
    edit->addAction(undo);
    edit->addAction(redo);
    addSeparator(edit, "Break_Undo");
    connect(addItem(edit, "SM_Cut", u"Cu&t"_s, QKeySequence(Qt::CTRL | Qt::Key_X)),
            &QAction::triggered, m_grid, &GridEditor::cutText);
    connect(addItem(edit, "SM_Copy", u"&Copy"_s, QKeySequence(Qt::CTRL | Qt::Key_C)),
            &QAction::triggered, m_grid, &GridEditor::copyText);
    connect(addItem(edit, "SM_Paste", u"&Paste"_s, QKeySequence(Qt::CTRL | Qt::Key_V)),
            &QAction::triggered, m_grid, &GridEditor::pasteText);
    addSeparator(edit, "Break3");
    connect(addItem(edit, "SM_Clear", u"&Delete"_s, QKeySequence(Qt::Key_Delete)),
            &QAction::triggered, m_grid, &GridEditor::deleteText);
    addSeparator(edit, "Break_GoTo");
    connect(addItem(edit, "SM_GoTo", u"&Go to Address..."_s, QKeySequence(Qt::CTRL | Qt::Key_G)),
            &QAction::triggered, m_grid, &GridEditor::goToAddress);
    addSeparator(edit, "Break_Picture");
    connect(addItem(edit, "SM_CopyPicture", u"Copy P&icture"_s,
                    QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C)),
            &QAction::triggered, this, &MainWindow::copyPicture);
}

// The last designs opened or saved, most recent first; the full path tells two files of
// one name apart.
void MainWindow::showRecentFiles()
{
    m_recentMenu->clear();
    const QStringList paths = m_controller.settings().recentFiles();
    for (qsizetype i = 0; i < paths.size(); ++i) {
        const QString& path = paths.at(i);
        QString caption = QDir::toNativeSeparators(path);
        caption.replace(u'&', u"&&"_s);
        QAction* item = m_recentMenu->addAction(u"&%1 %2"_s.arg(i + 1).arg(caption));
        item->setObjectName(u"SM_Recent%1"_s.arg(i + 1));
        connect(item, &QAction::triggered, this, [this, path] {
            // The menu is rebuilt while the file opens: leave its handler first.
            QMetaObject::invokeMethod(
                this, [this, path] { m_controller.openRecentFile(path); }, Qt::QueuedConnection);
        });
    }
    addSeparator(m_recentMenu, "Break_Recent");
    QAction* clear = addItem(m_recentMenu, "SM_RecentClear", u"&Clear Menu"_s);
    clear->setEnabled(!paths.isEmpty());
    connect(clear, &QAction::triggered, &m_controller, &DocumentController::clearRecentFiles);
}

// Decode, Encode and Ride Info: the same actions the toolbar shows, so both are always
// enabled alike.
void MainWindow::createDesignMenu()
{
    QMenu* design = addSubmenu(nullptr, "M_Design", u"&Design"_s);
    const auto item = [&](const char* name, const QString& caption, QKeySequence shortcut,
                          const QString& tip, ToolbarPicture picture) {
        QAction* shared = addItem(design, name, caption, shortcut);
        shared->setIcon(toolbarIcon(picture));
        shared->setToolTip(tip + u" ("_s + shortcut.toString(QKeySequence::NativeText) + u')');
        return shared;
    };
    connect(item("Toolbar_Decode", u"&Decode"_s, QKeySequence(Qt::CTRL | Qt::Key_D),
                 u"Decode the file into its ride record"_s, ToolbarPicture::Decode),
            &QAction::triggered, &m_controller, &DocumentController::decode);
    connect(item("Toolbar_Encode", u"&Encode"_s, QKeySequence(Qt::CTRL | Qt::Key_E),
                 u"Encode the record and add the checksum"_s, ToolbarPicture::Encode),
            &QAction::triggered, &m_controller, &DocumentController::encode);
    addSeparator(design, "Break_Design");
    connect(item("Toolbar_RideInfo", u"Ride &Info"_s, QKeySequence(Qt::CTRL | Qt::Key_I),
                 u"Show the decoded ride's statistics"_s, ToolbarPicture::RideInfo),
            &QAction::triggered, this, &MainWindow::ShowRideInfo);
}

// The Track panel's edits of the selected pieces, each with a shortcut, so the keyboard
// reaches them from anywhere in the window.
void MainWindow::createTrackMenu()
{
    QMenu* track = addSubmenu(nullptr, "TrackMenu", u"&Track"_s);
    const TrackConstructionCommands::Actions& building = m_trackConstruction->actions();
    track->addActions(
        {building.insertBefore, building.insertAfter, building.replace, building.remove});
    addSeparator(track, "Break_TrackClipboard");
    track->addActions({building.cut, building.copy, building.paste});
    addSeparator(track, "Break_TrackFlags");
    TrackCommands* commands = m_trackCommands;
    m_trackActions.chainOn =
        addItem(track, "TrackChainLiftOn", u"Chain Lift &On"_s, QKeySequence(Qt::CTRL | Qt::Key_L));
    connect(m_trackActions.chainOn, &QAction::triggered, commands,
            [commands] { commands->setChainLift(true); });
    m_trackActions.chainOff = addItem(track, "TrackChainLiftOff", u"Chain Lift O&ff"_s,
                                      QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_L));
    connect(m_trackActions.chainOff, &QAction::triggered, commands,
            [commands] { commands->setChainLift(false); });
    m_trackActions.scheme = addSubmenu(track, "TrackSchemeMenu", u"Track &Scheme"_s);
    for (int scheme = 0; scheme < 4; ++scheme) {
        QAction* item = m_trackActions.scheme->addAction(u"Scheme &%1"_s.arg(scheme));
        item->setObjectName(u"TrackScheme%1"_s.arg(scheme));
        item->setShortcut(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_0 + scheme)));
        item->setCheckable(true);
        connect(item, &QAction::triggered, commands,
                [commands, scheme] { commands->setScheme(scheme); });
        m_trackActions.schemes.append(item);
    }
    addSeparator(track, "Break_TrackSpeed");
    m_trackActions.speedUp = addItem(track, "TrackSpeedUp", u"Brake Speed &Up"_s,
                                     QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Up));
    connect(m_trackActions.speedUp, &QAction::triggered, commands,
            [commands] { commands->stepSpeed(1); });
    m_trackActions.speedDown = addItem(track, "TrackSpeedDown", u"Brake Speed &Down"_s,
                                       QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Down));
    connect(m_trackActions.speedDown, &QAction::triggered, commands,
            [commands] { commands->stepSpeed(-1); });
    m_trackActions.departure = addItem(track, "TrackDeparture", u"D&eparture Station"_s,
                                       QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_D));
    m_trackActions.departure->setCheckable(true);
    connect(m_trackActions.departure, &QAction::triggered, commands, &TrackCommands::setDeparture);
    connect(commands, &TrackCommands::trackChanged, this, &MainWindow::showTrackOffer);
    connect(commands, &TrackCommands::rowsChanged, this, &MainWindow::showTrackOffer);
    showTrackOffer();
}

void MainWindow::showTrackOffer()
{
    const TrackCommands::Offer offer = m_trackCommands->offer();
    m_trackActions.chainOn->setEnabled(offer.chainOn);
    m_trackActions.chainOff->setEnabled(offer.chainOff);
    m_trackActions.scheme->setEnabled(offer.scheme);
    for (qsizetype s = 0; s < m_trackActions.schemes.size(); ++s) {
        m_trackActions.schemes.at(s)->setEnabled(offer.scheme);
        m_trackActions.schemes.at(s)->setChecked(offer.scheme && s == offer.schemeValue);
    }
    m_trackActions.speedUp->setEnabled(offer.speed.has_value() && *offer.speed < PieceSpeedMask);
    m_trackActions.speedDown->setEnabled(offer.speed.has_value() && *offer.speed > 0);
    m_trackActions.departure->setEnabled(offer.departure.has_value());
    m_trackActions.departure->setChecked(offer.departure.value_or(false));
}

void MainWindow::createViewMenu()
{
    // The panels' items join once the panels are built, after the code tables.
    QMenu* view = addSubmenu(nullptr, "M_View", u"&View"_s);
    connect(addItem(view, "SM_ResetLayout", u"&Reset Layout"_s), &QAction::triggered, this,
            &MainWindow::resetLayout);
    addSeparator(view, "Break_Layout");
}

void MainWindow::createRideSettingsMenu()
{
    QMenu* rideSet = addSubmenu(nullptr, "M_RideSet", u"&Ride Settings"_s);
    connect(addItem(rideSet, "SM_RideOp", u"&Ride Operation"_s), &QAction::triggered, this,
            &MainWindow::showRideOperation);

    // Every submenu has its access keys (the captions read as they always did).
    QMenu* color = addSubmenu(rideSet, "SM_Color", u"&Color"_s);
    QMenu* scheme = addSubmenu(color, "SM_ClrScheme", u"Color &Scheme"_s);
    addItem(scheme, "SM_CS_Same", u"&All Vechicles The Same Color"_s);
    addItem(scheme, "SM_CS_Train", u"&Trains Have Different Colors"_s);
    addItem(scheme, "SM_CS_Car", u"&Each Car Has Different Colors"_s);
    addItem(scheme, "SM_CS_NotUsed", u"&Not Used"_s);
    QMenu* track = addSubmenu(color, "SM_Track", u"&Track"_s);
    addSubmenu(track, "SM_TSC", u"Track &Spine Color"_s);
    addSubmenu(track, "SM_TRC", u"Track &Rail Color"_s);
    addSubmenu(track, "SM_SC", u"S&upport Colors"_s);
    addSubmenu(color, "SM_Body_Color", u"&Body Color"_s);
    addSubmenu(color, "SM_Trim_Color", u"T&rim Color"_s);

    QMenu* type = addSubmenu(rideSet, "SM_Type", u"&Type"_s);
    addSubmenu(type, "SM_RC", u"&Ride"_s);
    addSubmenu(type, "SM_VT", u"C&ars"_s);
    addSubmenu(type, "SM_OM", u"M&ode"_s);

    addSeparator(rideSet, "Break_Convert");
    m_convertActions.toExpansion =
        addItem(rideSet, "SM_ConvertExpansion", u"Convert to &Expansion Layout"_s);
    m_convertActions.toBase = addItem(rideSet, "SM_ConvertBase", u"Convert to &Base Layout"_s);
    connect(m_convertActions.toExpansion, &QAction::triggered, this,
            [this] { m_controller.convertLayout(RecordLayout::Expansion); });
    connect(m_convertActions.toBase, &QAction::triggered, this,
            [this] { m_controller.convertLayout(RecordLayout::Base); });
    // Only the conversion the record allows is enabled.
    connect(&m_document, &TrackDesignDocument::contentsReplaced, this,
            &MainWindow::showConversionTarget);
}

void MainWindow::showConversionTarget()
{
    const RecordLayout target = m_controller.conversionTarget();
    m_convertActions.toExpansion->setEnabled(target == RecordLayout::Expansion);
    m_convertActions.toBase->setEnabled(target == RecordLayout::Base);
}

void MainWindow::createOptionsMenu()
{
    QMenu* options = addSubmenu(nullptr, "M_Options", u"&Options"_s);
    QMenu* version = addSubmenu(options, "SM_RCT_Ver", u"RCT &Version"_s);
    const struct
    {
        const char* name;
        const char* caption;
        GameVersion version;
    } versions[] = {
        {"SM_RCT_Org", "&Orignal", GameVersion::Original},
        {"SM_RCT_CF", "&Corkscrew Follies", GameVersion::CorkscrewFollies},
        {"SM_RCT_LL", "&Loopy Landscapes", GameVersion::LoopyLandscapes},
    };
    // The ride settings answer these items; they only start with "Orignal" checked.
    for (const auto& entry : versions) {
        QAction* item = addItem(version, entry.name, QString::fromLatin1(entry.caption));
        item->setCheckable(true);
        item->setChecked(entry.version == GameVersion::Original);
    }

    QAction* skipZero = addItem(options, "SM_SkipZero", u"&Skip Zero's"_s);
    skipZero->setCheckable(true);
    skipZero->setChecked(true);
    if (!m_grid->skipZeros()) {
        m_grid->setSkipZeros(true);
    }
    connect(skipZero, &QAction::toggled, m_grid, &GridEditor::setSkipZeros);

    QAction* decodeOnOpen = addItem(options, "SM_DecodeOnOpen", u"&Decode Designs When Opened"_s);
    decodeOnOpen->setCheckable(true);
    decodeOnOpen->setChecked(m_controller.settings().decodeOnOpen());
    connect(decodeOnOpen, &QAction::toggled, this,
            [this](bool on) { m_controller.settings().setDecodeOnOpen(on); });
}

void MainWindow::offerFileAssociation(FileAssociation& association)
{
    QMenu* options = menu("M_Options");
    addSeparator(options, "Break_FileType");
    QAction* item = addItem(options, "SM_FileType", u"&Open .TD4 Files with Railwright"_s);
    item->setCheckable(true);
    item->setChecked(association.isRegistered());
    // The registry is the one record: the installer or another copy may change it.
    connect(options, &QMenu::aboutToShow, item,
            [item, &association] { item->setChecked(association.isRegistered()); });
    connect(item, &QAction::triggered, this, [this, item, &association](bool on) {
        const QString why = on ? association.registerFileType() : association.unregisterFileType();
        if (!why.isEmpty()) {
            m_prompts.tell(why, AppCaption, UserPrompts::Icon::Warning);
        }
        item->setChecked(association.isRegistered());
    });
}

void MainWindow::createAboutMenu()
{
    QAction* about = menuBar()->addAction(u"&About"_s);
    about->setObjectName(u"M_About"_s);
    connect(about, &QAction::triggered, this, &MainWindow::showAbout);
}

void MainWindow::createToolbar()
{
    m_toolbar = addToolBar(u"Toolbar"_s);
    m_toolbar->setObjectName(u"Toolbar"_s);
    m_toolbar->setMovable(false);
    m_toolbar->setFloatable(false);
    m_toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);

    const auto button = [this](const char* name, const QString& text, const QString& tip,
                               ToolbarPicture picture, auto receiver, auto slot) {
        QAction* item = m_toolbar->addAction(toolbarIcon(picture), text);
        item->setObjectName(QString::fromLatin1(name));
        item->setToolTip(tip);
        connect(item, &QAction::triggered, receiver, slot);
        return item;
    };
    const auto separator = [this](const char* name) {
        m_toolbar->addSeparator()->setObjectName(QString::fromLatin1(name));
    };

    button("Toolbar_OpenFile", u"Open File"_s, u"Open a track design (Ctrl+O)"_s,
           ToolbarPicture::Open, &m_controller, &DocumentController::openFile);
    button("Toolbar_SaveFile", u"Save File"_s, u"Save the design (Ctrl+S)"_s, ToolbarPicture::Save,
           &m_controller, &DocumentController::save);
    separator("Toolbar_Separator3");
    button("Toolbar_Cut", u"Cut"_s, u"Cut the Data String text"_s, ToolbarPicture::Cut, m_grid,
           &GridEditor::cutText);
    button("Toolbar_Copy", u"Copy"_s, u"Copy the Data String text"_s, ToolbarPicture::Copy, m_grid,
           &GridEditor::copyText);
    button("Toolbar_Paste", u"Paste"_s, u"Paste into the Data String"_s, ToolbarPicture::Paste,
           m_grid, &GridEditor::pasteText);
    separator("Toolbar_Separator7");
    button("Toolbar_Delete", u"Delete"_s, u"Delete the selected Data String text"_s,
           ToolbarPicture::Delete, m_grid, &GridEditor::deleteText);
    separator("Toolbar_Separator9");
    // The Design menu's own actions.
    m_toolbar->addAction(action("Toolbar_RideInfo"));
    separator("Toolbar_Separator11");
    m_toolbar->addAction(action("Toolbar_Decode"));
    m_toolbar->addAction(action("Toolbar_Encode"));
}

void MainWindow::createStatusBar()
{
    new StatusPanels(*statusBar(), m_document, *m_grid, m_controller, *m_trackCommands);
}

// --- The design panel -------------------------------------------------------------

void MainWindow::createDesignDock()
{
    m_designDock = new QDockWidget(u"Design"_s, this);
    m_designDock->setObjectName(u"DesignDock"_s);
    m_designDock->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    addDockWidget(Qt::RightDockWidgetArea, m_designDock);
    m_designDock->hide();
    // Like the Track panel, built when first shown: its fields and code lists are a sixth
    // of the editor's start-up, and the first window shows only the grid.
    connect(m_designDock, &QDockWidget::visibilityChanged, this, [this](bool visible) {
        if (visible) {
            buildDesignPanel();
        }
    });

    QAction* toggle = m_designDock->toggleViewAction();
    toggle->setObjectName(u"SM_DesignPanel"_s);
    toggle->setText(u"&Design Panel"_s);
    menu("M_View")->addAction(toggle);
    // Only a hide or show the user asks for (the menu item, the dock's close button)
    // changes what Decode does; the automatic show below leaves it alone.
    connect(toggle, &QAction::toggled, this, [this](bool shown) { m_designDockWanted = shown; });
    connect(&m_document, &TrackDesignDocument::kindChanged, this, [this, toggle](ContentKind kind) {
        if (kind == ContentKind::Decoded && m_designDockWanted && m_designDock->isHidden()) {
            const QSignalBlocker quiet(toggle);
            m_designDock->show();
        }
    });
}

void MainWindow::buildDesignPanel()
{
    if (m_designPanel != nullptr) {
        return;
    }
    m_designPanel = new DesignPanel(m_document, m_tables, {}, m_designDock);
    m_designDock->setWidget(m_designPanel);
    connect(m_designPanel, &DesignPanel::decodeRequested, &m_controller,
            &DocumentController::decode);
}

// --- The Track panel ----------------------------------------------------------------

void MainWindow::createTrackDock()
{
    m_trackDock = new QDockWidget(u"Track"_s, this);
    m_trackDock->setObjectName(u"TrackDock"_s);
    m_trackDock->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    addDockWidget(Qt::LeftDockWidgetArea, m_trackDock);
    m_trackDock->hide();
    QAction* toggle = m_trackDock->toggleViewAction();
    toggle->setObjectName(u"SM_TrackPanel"_s);
    toggle->setText(u"&Track Panel"_s);
    menu("M_View")->addAction(toggle);
    // The panel is built when first shown, so start-up does not pay for it.
    connect(m_trackDock, &QDockWidget::visibilityChanged, this, [this](bool visible) {
        if (visible) {
            buildTrackPanel();
        }
    });
    connect(toggle, &QAction::toggled, this, [this](bool shown) { m_trackDockWanted = shown; });
    connect(&m_document, &TrackDesignDocument::kindChanged, this, [this, toggle](ContentKind kind) {
        if (kind == ContentKind::Decoded && m_trackDockWanted && m_trackDock->isHidden()) {
            const QSignalBlocker quiet(toggle);
            m_trackDock->show();
        }
    });
}

void MainWindow::buildTrackPanel()
{
    if (m_trackPanel != nullptr) {
        return;
    }
    m_trackPanel = new TrackPanel(m_document, *m_trackCommands, m_trackConstruction, m_trackDock);
    m_trackDock->setWidget(m_trackPanel);
    m_trackPanel->restoreLayout(m_controller.settings().trackPanelLayout());
    if (m_controller.settings().windowLayout().isEmpty()) {
        placeDocks();
    }
}

void MainWindow::placeDocks()
{
    // The Track dock takes nearly half the width: a design fills it at a size to read.
    resizeDocks({m_trackDock}, {width() * 45 / 100}, Qt::Horizontal);
}

void MainWindow::restoreLayout()
{
    const EditorSettings& settings = m_controller.settings();
    const QByteArray geometry = settings.windowGeometry();
    if (!geometry.isEmpty()) {
        restoreGeometry(geometry);
    }
    const QByteArray docks = settings.windowLayout();
    if (!docks.isEmpty()) {
        restoreState(docks);
    }
}

void MainWindow::saveLayout()
{
    m_controller.settings().setWindowLayout(saveGeometry(), saveState(),
                                            m_trackPanel != nullptr ? m_trackPanel->layoutState()
                                                                    : QByteArray());
}

void MainWindow::resetLayout()
{
    showNormal();
    resize(m_firstSize);
    for (QDockWidget* dock : {m_trackDock, m_designDock}) {
        dock->setFloating(false);
    }
    addDockWidget(Qt::LeftDockWidgetArea, m_trackDock);
    addDockWidget(Qt::RightDockWidgetArea, m_designDock);
    if (m_document.kind() == ContentKind::Decoded) {
        m_trackDock->show();
        m_designDock->show();
    }
    if (m_trackPanel != nullptr) {
        m_trackPanel->restoreLayout({});
        placeDocks();
    } else {
        m_controller.settings().forgetTrackPanelLayout();
    }
}

void MainWindow::exportPicture()
{
    buildTrackPanel();
    const QString sizeText =
        m_prompts.askText(u"Pixels on the picture's longer side (%1 to %2):"_s.arg(SmallestPicture)
                              .arg(LargestPicture),
                          u"Export Picture"_s);
    if (sizeText.isEmpty()) {
        return;
    }
    bool ok = false;
    const int size = sizeText.trimmed().toInt(&ok);
    if (!ok || size < SmallestPicture || size > LargestPicture) {
        m_prompts.tell(u"The size must be a whole number of pixels from %1 to %2, not \"%3\"."_s
                           .arg(SmallestPicture)
                           .arg(LargestPicture)
                           .arg(sizeText),
                       u"Export Picture"_s, UserPrompts::Icon::Warning);
        return;
    }
    QString path =
        m_prompts.saveFileName(u"PNG Picture (*.png)"_s, m_controller.settings().lastFolder());
    if (path.isEmpty()) {
        return;
    }
    if (!path.endsWith(u".png"_s, Qt::CaseInsensitive)) {
        path += u".png"_s;
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(m_trackPanel->drawPicture(size))) {
        m_prompts.tell(u"Can't draw the picture (%1)."_s.arg(writer.errorString()),
                       u"Export Picture"_s, UserPrompts::Icon::Warning);
        return;
    }
    const SaveResult saved =
        SaveFile(path, ByteView(reinterpret_cast<const std::uint8_t*>(png.constData()),
                                std::size_t(png.size())));
    if (!saved.ok()) {
        m_prompts.tell(saved.errorText, u"Export Picture"_s, UserPrompts::Icon::Warning);
    }
}

void MainWindow::copyPicture()
{
    buildTrackPanel();
    if (m_document.kind() != ContentKind::Decoded) {
        return;
    }
    // As shown: the view, turn, zoom and place the player chose, at the panel's size.
    QGuiApplication::clipboard()->setImage(m_trackPanel->picture()->grab().toImage());
}

// --- What the document is ---------------------------------------------------------

void MainWindow::showContentKind(ContentKind kind)
{
    const bool decoded = kind == ContentKind::Decoded;
    m_stateActions.rideSettings->setEnabled(decoded);
    m_stateActions.rideInfo->setEnabled(decoded);
    m_stateActions.decode->setEnabled(kind == ContentKind::Raw);
    m_stateActions.encode->setEnabled(decoded);
    m_stateActions.exportPicture->setEnabled(decoded);
    m_stateActions.copyPicture->setEnabled(decoded);
}

void MainWindow::showCurrentPath(const QString& path)
{
    if (!path.isEmpty()) {
        setWindowTitle(titleFor(DisplayFileName(path)));
        // The window system knows the whole path (two files of one name in the title).
        setWindowFilePath(path);
    }
}

void MainWindow::ShowRideInfo()
{
    // Only a decoded record is reported on, and it has no empty elements: its contents are
    // the bytes the grid shows.
    m_prompts.tell(BuildRideInfoReport(m_document.contents(), m_tables, m_document.gameVersion()),
                   u"Ride Info"_s);
}

void MainWindow::showRideOperation()
{
    RideOperationDialog dialog(ReadRideOperation(m_document.contents()), this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    const QString refusal = ApplyRideOperation(m_document, dialog.values());
    if (!refusal.isEmpty()) {
        m_prompts.tell(refusal, AppCaption);
    }
}

bool MainWindow::openPath(const QString& path)
{
    return m_controller.openPath(path);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (!droppedFilePath(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void MainWindow::dropEvent(QDropEvent* event)
{
    const QString path = droppedFilePath(event->mimeData());
    if (path.isEmpty()) {
        return;
    }
    event->acceptProposedAction();
    // The question about unsaved changes and any message are modal; they must not run
    // inside the drag-and-drop handling of the windowing system.
    QMetaObject::invokeMethod(
        this, [this, path] { m_controller.openDroppedPath(path); }, Qt::QueuedConnection);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (m_controller.confirmClose()) {
        saveLayout();
        event->accept();
    } else {
        event->ignore();
    }
}

void MainWindow::showAbout()
{
    m_prompts.tell(AboutText(), u"Help"_s, UserPrompts::Icon::None);
}

} // namespace railwright
