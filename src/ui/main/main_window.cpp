#include "main_window.h"

#include "about_text.h"
#include "busy_cursor.h"
#include "codec/checksum.h"
#include "codec/record_layout.h"
#include "codec/rle.h"
#include "document/document_file.h"
#include "document/user_prompts.h"
#include "operation/ride_operation.h"
#include "operation/ride_operation_dialog.h"
#include "report/ride_info_report.h"
#include "settings/code_tables.h"
#include "settings/ride_settings_menus.h"
#include "toolbar_icons.h"
#include "ui/grid/grid_editor.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QToolBar>
#include <QUrl>

namespace railwright {

namespace {

const QString AppCaption = QStringLiteral("Railwright");
const QString FileFilter =
    QStringLiteral("TD4 File *.TD4 (*.TD4);;Text Files *.txt (*.txt);;All Files *.* (*)");

QString titleFor(const QString& fileName)
{
    return AppCaption + QStringLiteral(" [") + fileName + QStringLiteral("]");
}

// The one local file a drag carries, or an empty string.
QString droppedFilePath(const QMimeData* data)
{
    if (data == nullptr || !data->hasUrls() || data->urls().size() != 1) {
        return {};
    }
    const QUrl url = data->urls().constFirst();
    return url.isLocalFile() ? url.toLocalFile() : QString();
}

} // namespace

MainWindow::MainWindow(UserPrompts& prompts, QWidget* parent, const QString& tablesDirectory)
    : QMainWindow(parent), m_prompts(prompts)
{
    setObjectName(QStringLiteral("Main"));
    setWindowTitle(titleFor(QStringLiteral("Untitled")));

    m_grid = new GridEditor(m_document, m_prompts, this);
    setCentralWidget(m_grid);

    createFileMenu();
    createEditMenu();
    createRideSettingsMenu();
    createOptionsMenu();
    createAboutMenu();
    createToolbar();
    createStatusBar();
    // Looked up once: a large code table can hang tens of thousands of items below the
    // window, and the states switch on every open, decode and encode.
    m_stateActions = {action("M_RideSet"), action("Toolbar_RideInfo"), action("Toolbar_Decode"),
                      action("Toolbar_Encode")};
    loadCodeTables(tablesDirectory);
    setAcceptDrops(true);

    // Each of these refills the grid, so only when the editor did not start that way.
    if (m_grid->displayMode() != DisplayMode::Hexidecimal) {
        m_grid->setDisplayMode(DisplayMode::Hexidecimal);
    }
    applyDocumentState(DocumentState::StartUp);
    // 9450 x 5955 twips of client area, as the window was first laid out.
    resize(630, 397 + menuBar()->sizeHint().height() + m_toolbar->sizeHint().height() +
                    statusBar()->sizeHint().height());
}

MainWindow::~MainWindow() = default;

QMenu* MainWindow::menu(const char* name) const
{
    return findChild<QMenu*>(QString::fromLatin1(name));
}

QAction* MainWindow::action(const char* name) const
{
    return findChild<QAction*>(QString::fromLatin1(name));
}

GameVersion MainWindow::gameVersion() const
{
    return m_settings->gameVersion();
}

void MainWindow::loadCodeTables(const QString& directory)
{
    CodeTablesLoad loaded = directory.isEmpty() ? LoadCodeTables() : ReadCodeTables(directory);
    for (const QString& message : std::as_const(loaded.messages)) {
        m_prompts.tell(message, AppCaption);
    }
    m_tables = std::move(loaded.tables);
    connectRideSettings();
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
    QMenu* file = addSubmenu(nullptr, "M_File", QStringLiteral("&File"));
    connect(
        addItem(file, "SM_Open", QStringLiteral("&Open..."), QKeySequence(Qt::CTRL | Qt::Key_O)),
        &QAction::triggered, this, &MainWindow::openFile);
    addSeparator(file, "Break7");
    connect(addItem(file, "SM_Save", QStringLiteral("&Save"), QKeySequence(Qt::CTRL | Qt::Key_S)),
            &QAction::triggered, this, &MainWindow::saveFile);
    connect(addItem(file, "SM_SaveAs", QStringLiteral("Save &As...")), &QAction::triggered, this,
            &MainWindow::saveFileAs);
    addSeparator(file, "Break4");
    QMenu* exportMenu = addSubmenu(file, "SM_Export", QStringLiteral("Expor&t"));
    // Export targets are announced but have no command yet; they stay disabled.
    addItem(exportMenu, "SM_NoLimts", QStringLiteral("No Limits"))->setEnabled(false);
    addItem(exportMenu, "SM_UltraCoaster", QStringLiteral("Ultra Coaster"))->setEnabled(false);
    addSeparator(file, "Break1");
    connect(addItem(file, "SM_Exit", QStringLiteral("&Exit"), QKeySequence(Qt::CTRL | Qt::Key_Q)),
            &QAction::triggered, this, &QWidget::close);
}

void MainWindow::createEditMenu()
{
    QMenu* edit = addSubmenu(nullptr, "M_Edit", QStringLiteral("&Edit"));
    connect(addItem(edit, "SM_Cut", QStringLiteral("Cu&t"), QKeySequence(Qt::CTRL | Qt::Key_X)),
            &QAction::triggered, m_grid, &GridEditor::cutText);
    connect(addItem(edit, "SM_Copy", QStringLiteral("&Copy"), QKeySequence(Qt::CTRL | Qt::Key_C)),
            &QAction::triggered, m_grid, &GridEditor::copyText);
    connect(addItem(edit, "SM_Paste", QStringLiteral("&Paste"), QKeySequence(Qt::CTRL | Qt::Key_V)),
            &QAction::triggered, m_grid, &GridEditor::pasteText);
    addSeparator(edit, "Break3");
    connect(addItem(edit, "SM_Clear", QStringLiteral("&Delete"), QKeySequence(Qt::Key_Delete)),
            &QAction::triggered, m_grid, &GridEditor::deleteText);
}

void MainWindow::createRideSettingsMenu()
{
    QMenu* rideSet = addSubmenu(nullptr, "M_RideSet", QStringLiteral("&Ride Settings"));
    connect(addItem(rideSet, "SM_RideOp", QStringLiteral("&Ride Operation")), &QAction::triggered,
            this, &MainWindow::showRideOperation);

    QMenu* color = addSubmenu(rideSet, "SM_Color", QStringLiteral("&Color"));
    QMenu* scheme = addSubmenu(color, "SM_ClrScheme", QStringLiteral("Color Scheme"));
    addItem(scheme, "SM_CS_Same", QStringLiteral("All Vechicles The Same Color"));
    addItem(scheme, "SM_CS_Train", QStringLiteral("Trains Have Different Colors"));
    addItem(scheme, "SM_CS_Car", QStringLiteral("Each Car Has Different Colors"));
    addItem(scheme, "SM_CS_NotUsed", QStringLiteral("Not Used"));
    QMenu* track = addSubmenu(color, "SM_Track", QStringLiteral("Track"));
    addSubmenu(track, "SM_TSC", QStringLiteral("Track Spine Color"));
    addSubmenu(track, "SM_TRC", QStringLiteral("Track Rail Color"));
    addSubmenu(track, "SM_SC", QStringLiteral("Support Colors"));
    addSubmenu(color, "SM_Body_Color", QStringLiteral("Body Color"));
    addSubmenu(color, "SM_Trim_Color", QStringLiteral("Trim Color"));

    QMenu* type = addSubmenu(rideSet, "SM_Type", QStringLiteral("&Type"));
    addSubmenu(type, "SM_RC", QStringLiteral("&Ride"));
    addSubmenu(type, "SM_VT", QStringLiteral("C&ars"));
    addSubmenu(type, "SM_OM", QStringLiteral("M&ode"));
}

void MainWindow::createOptionsMenu()
{
    QMenu* options = addSubmenu(nullptr, "M_Options", QStringLiteral("&Options"));
    QMenu* version = addSubmenu(options, "SM_RCT_Ver", QStringLiteral("RCT Version"));
    const struct
    {
        const char* name;
        const char* caption;
        GameVersion version;
    } versions[] = {
        {"SM_RCT_Org", "Orignal", GameVersion::Original},
        {"SM_RCT_CF", "Corkscrew Follies", GameVersion::CorkscrewFollies},
        {"SM_RCT_LL", "Loopy Landscapes", GameVersion::LoopyLandscapes},
    };
    // The ride settings answer these items; they only start with "Orignal" checked.
    for (const auto& entry : versions) {
        QAction* item = addItem(version, entry.name, QString::fromLatin1(entry.caption));
        item->setCheckable(true);
        item->setChecked(entry.version == GameVersion::Original);
    }

    QAction* skipZero = addItem(options, "SM_SkipZero", QStringLiteral("&Skip Zero's"));
    skipZero->setCheckable(true);
    skipZero->setChecked(true);
    if (!m_grid->skipZeros()) {
        m_grid->setSkipZeros(true);
    }
    connect(skipZero, &QAction::toggled, m_grid, &GridEditor::setSkipZeros);
}

void MainWindow::createAboutMenu()
{
    QAction* about = menuBar()->addAction(QStringLiteral("&About"));
    about->setObjectName(QStringLiteral("M_About"));
    connect(about, &QAction::triggered, this, &MainWindow::showAbout);
}

void MainWindow::createToolbar()
{
    m_toolbar = addToolBar(QStringLiteral("Toolbar"));
    m_toolbar->setObjectName(QStringLiteral("Toolbar"));
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

    button("Toolbar_OpenFile", QStringLiteral("Open File"),
           QStringLiteral("Open a track design (Ctrl+O)"), ToolbarPicture::Open, this,
           &MainWindow::openFile);
    button("Toolbar_SaveFile", QStringLiteral("Save File"),
           QStringLiteral("Save the bytes as they are (Ctrl+S)"), ToolbarPicture::Save, this,
           &MainWindow::saveFile);
    separator("Toolbar_Separator3");
    button("Toolbar_Cut", QStringLiteral("Cut"), QStringLiteral("Cut the Data String text"),
           ToolbarPicture::Cut, m_grid, &GridEditor::cutText);
    button("Toolbar_Copy", QStringLiteral("Copy"), QStringLiteral("Copy the Data String text"),
           ToolbarPicture::Copy, m_grid, &GridEditor::copyText);
    button("Toolbar_Paste", QStringLiteral("Paste"), QStringLiteral("Paste into the Data String"),
           ToolbarPicture::Paste, m_grid, &GridEditor::pasteText);
    separator("Toolbar_Separator7");
    button("Toolbar_Delete", QStringLiteral("Delete"),
           QStringLiteral("Delete the selected Data String text"), ToolbarPicture::Delete, m_grid,
           &GridEditor::deleteText);
    separator("Toolbar_Separator9");
    button("Toolbar_RideInfo", QStringLiteral("Ride Info"),
           QStringLiteral("Show the decoded ride's statistics"), ToolbarPicture::RideInfo, this,
           &MainWindow::ShowRideInfo);
    separator("Toolbar_Separator11");
    button("Toolbar_Decode", QStringLiteral("Decode"),
           QStringLiteral("Decode the file into its ride record"), ToolbarPicture::Decode, this,
           &MainWindow::decodeCommand);
    button("Toolbar_Encode", QStringLiteral("Encode"),
           QStringLiteral("Encode the record and add the checksum"), ToolbarPicture::Encode, this,
           &MainWindow::encodeCommand);
}

void MainWindow::createStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar"));
    const QStringList startTexts = {QStringLiteral("Adress: 0"), QStringLiteral("Hex: 0"),
                                    QStringLiteral("Dec: 0"), QStringLiteral("Chr: 0"), QString()};
    for (qsizetype i = 0; i < startTexts.size(); ++i) {
        auto* panel = new QLabel(startTexts.at(i), bar);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i + 1));
        panel->setMinimumWidth(90);
        panel->setFrameShape(QFrame::StyledPanel);
        panel->setFrameShadow(QFrame::Sunken);
        // The last panel takes the remaining width, as the window's spare panel.
        bar->addWidget(panel, i + 1 == startTexts.size() ? 1 : 0);
        m_panels.append(panel);
    }
    connect(m_grid, &GridEditor::statusTextsChanged, this, &MainWindow::showStatusTexts);
}

void MainWindow::showStatusTexts(const QStringList& texts)
{
    for (qsizetype i = 0; i < texts.size() && i + 1 < m_panels.size(); ++i) {
        m_panels.at(i)->setText(texts.at(i));
    }
}

// --- Window states and the version setting ---------------------------------------

void MainWindow::applyDocumentState(DocumentState state)
{
    m_state = state;
    const bool decoded = state == DocumentState::Decoded;
    m_stateActions.rideSettings->setEnabled(decoded);
    m_stateActions.rideInfo->setEnabled(decoded);
    m_stateActions.decode->setEnabled(state == DocumentState::Raw);
    m_stateActions.encode->setEnabled(decoded);
}

void MainWindow::refreshGrid()
{
    BusyCursor busy;
    m_grid->UpdateGridData();
    m_grid->UpdateGridLabels();
}

// --- Decode and encode -----------------------------------------------------------

bool MainWindow::EnDc(bool decode)
{
    const ByteBuffer bytes = m_document.contents();
    ByteBuffer result;
    if (decode) {
        DecodeResult decoded = RLEDecode(bytes);
        if (!decoded.ok()) {
            m_prompts.tell(QStringLiteral("This file cannot be decoded: ") +
                               QString::fromStdString(decoded.error),
                           AppCaption);
            return false;
        }
        if (decoded.record.empty()) {
            m_prompts.tell(QStringLiteral("This file holds no track design: decoding it gives no "
                                          "bytes. The document was left as it was."),
                           AppCaption);
            return false;
        }
        result = std::move(decoded.record);
    } else {
        result = AppendChecksum(RLEEncode(bytes), gameVersion());
    }

    // Only a decoded record has the version mark in byte 7; an encoded body's byte 7 is
    // a byte of the run-length code and says nothing about the game.
    const bool expansionRecord = decode && result.size() > record::SchemeAndVersion &&
                                 result[record::SchemeAndVersion] >= record::ExpansionFlag;
    if (!m_document.replaceContents(std::move(result))) {
        return false;
    }
    m_stateActions.rideSettings->setEnabled(decode);
    if (expansionRecord) {
        m_settings->chooseGameVersion(GameVersion::CorkscrewFollies);
    }
    return true;
}

void MainWindow::decodeCommand()
{
    if (EnDc(true)) {
        applyDocumentState(DocumentState::Decoded);
        refreshGrid();
    }
}

void MainWindow::encodeCommand()
{
    if (EnDc(false)) {
        applyDocumentState(DocumentState::Raw);
        refreshGrid();
    }
}

void MainWindow::ShowRideInfo()
{
    m_prompts.tell(BuildRideInfoReport(m_document, m_tables, gameVersion()),
                   QStringLiteral("Ride Info"));
}

void MainWindow::showRideOperation()
{
    RideOperationDialog dialog(ReadRideOperation(m_document), this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    const QString refusal = ApplyRideOperation(m_document, dialog.values());
    if (!refusal.isEmpty()) {
        m_prompts.tell(refusal, AppCaption);
    }
}

// --- File commands ---------------------------------------------------------------

bool MainWindow::settleUnsavedChanges()
{
    if (!m_document.changed()) {
        return true;
    }
    switch (m_prompts.ask(QStringLiteral("Save Changes To Current File?"), AppCaption)) {
    case UserPrompts::Answer::Yes:
        // Opening after a save that did not happen would lose the changes.
        return saveFile();
    case UserPrompts::Answer::No:
        return true;
    case UserPrompts::Answer::Cancel:
        return false;
    }
    return false;
}

void MainWindow::openFile()
{
    if (!settleUnsavedChanges()) {
        return;
    }
    // From here the old path no longer names the document: a refused file must never
    // be overwritten by a later "&Save".
    m_currentPath.clear();
    const QString path = m_prompts.openFileName(FileFilter);
    if (!path.isEmpty()) {
        openPath(path);
    }
}

bool MainWindow::openDroppedPath(const QString& path)
{
    if (!settleUnsavedChanges()) {
        return false;
    }
    m_currentPath.clear();
    return openPath(path);
}

bool MainWindow::openPath(const QString& path)
{
    LoadResult loaded;
    {
        BusyCursor busy;
        loaded = LoadFile(path);
    }
    if (!loaded.ok()) {
        m_prompts.tell(loaded.errorText, AppCaption);
        return false;
    }
    BusyCursor busy;
    if (!m_document.loadContents(std::move(loaded.bytes))) {
        return false;
    }
    m_currentPath = path;
    setWindowTitle(titleFor(DisplayFileName(path)));
    applyDocumentState(DocumentState::Raw);
    refreshGrid();
    return true;
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
        this, [this, path] { openDroppedPath(path); }, Qt::QueuedConnection);
}

bool MainWindow::writeTo(const QString& path)
{
    SaveResult saved;
    {
        BusyCursor busy;
        saved = SaveFile(path, m_document.contents());
    }
    if (!saved.ok()) {
        m_prompts.tell(saved.errorText, AppCaption);
        return false;
    }
    m_currentPath = path;
    setWindowTitle(titleFor(DisplayFileName(path)));
    m_document.setChanged(false);
    return true;
}

bool MainWindow::saveFile()
{
    QString path = m_currentPath;
    if (path.isEmpty()) {
        path = m_prompts.saveFileName(FileFilter);
        if (path.isEmpty()) {
            return false;
        }
    }
    return writeTo(path);
}

bool MainWindow::saveFileAs()
{
    m_currentPath.clear();
    const QString path = m_prompts.saveFileName(FileFilter);
    if (path.isEmpty()) {
        return false;
    }
    return writeTo(path);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (!m_document.changed()) {
        event->accept();
        return;
    }
    switch (m_prompts.ask(QStringLiteral("Save Changes Before Exit?"), AppCaption)) {
    case UserPrompts::Answer::Yes:
        // Closing after a save that did not happen would lose the changes.
        if (saveFile()) {
            event->accept();
        } else {
            event->ignore();
        }
        return;
    case UserPrompts::Answer::No:
        event->accept();
        return;
    case UserPrompts::Answer::Cancel:
        event->ignore();
        return;
    }
}

void MainWindow::showAbout()
{
    m_prompts.tell(AboutText(), QStringLiteral("Help"), UserPrompts::Icon::None);
}

} // namespace railwright
