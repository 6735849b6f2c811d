// A long seeded session against the real main window. Every step is one command a
// user could give; after each one the window must still agree with a model of the
// document kept here from what the commands are known to do.
//
//   RAILWRIGHT_SESSION_SEED   the seed (default: a fixed one, so CI runs are repeatable)
//   RAILWRIGHT_SESSION_STEPS  the number of commands (default 10,000)
//
// A failure names the seed and the step, so the session can be replayed to that point.

#include "codec/checksum.h"
#include "codec/code_table_format.h"
#include "codec/record_layout.h"
#include "codec/rle.h"
#include "operation/ride_operation.h"
#include "operation/ride_operation_dialog.h"
#include "settings/ride_settings_menus.h"
#include "support/scripted_prompts.h"
#include "ui/grid/grid_editor.h"
#include "ui/grid/grid_geometry.h"
#include "ui/grid/grid_model.h"
#include "ui/main/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QRandomGenerator64>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>

using namespace railwright;
using railwright::test::ScriptedPrompts;
using Answer = UserPrompts::Answer;
using State = MainWindow::DocumentState;

namespace {

constexpr quint64 DefaultSeed = 0x5EED2026;
constexpr int DefaultSteps = 10000;

quint64 environmentNumber(const char* name, quint64 fallback)
{
    bool ok = false;
    const quint64 value = qEnvironmentVariable(name).toULongLong(&ok, 0);
    return ok ? value : fallback;
}

QByteArray asBytes(ByteView bytes)
{
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

ByteBuffer toBuffer(const QByteArray& bytes)
{
    return ByteBuffer(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                      reinterpret_cast<const std::uint8_t*>(bytes.constData()) + bytes.size());
}

std::optional<ByteBuffer> readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    return toBuffer(file.readAll());
}

// The document as this test expects it: one element per byte, -1 for an empty element.
using Model = std::vector<int>;

ByteBuffer contentsOf(const Model& model)
{
    ByteBuffer out;
    out.reserve(model.size());
    for (const int value : model) {
        if (value >= 0) {
            out.push_back(std::uint8_t(value));
        }
    }
    return out;
}

Model modelOf(ByteView bytes)
{
    return Model(bytes.begin(), bytes.end());
}

// The text a cell must show, written out here rather than taken from the program.
QString expectedCellText(const Model& model, std::size_t index, DisplayMode mode)
{
    const int value = model[index];
    switch (mode) {
    case DisplayMode::Hexidecimal:
        return QStringLiteral("%1").arg(std::max(value, 0), 2, 16, QLatin1Char('0')).toUpper();
    case DisplayMode::Decimal:
        return QStringLiteral("%1").arg(std::max(value, 0), 2, 10, QLatin1Char('0'));
    case DisplayMode::Charter:
        return value < 0 ? QString() : QString(QChar(char16_t(value)));
    }
    return {};
}

// A record with literal stretches, runs and a chosen byte 7 (the version mark).
ByteBuffer makeRecord(QRandomGenerator64& random, std::size_t size)
{
    ByteBuffer record(size);
    std::size_t i = 0;
    while (i < size) {
        const std::size_t run = 1 + random.bounded(40);
        const bool repeat = random.bounded(3) == 0;
        const auto value = std::uint8_t(random.bounded(256));
        for (std::size_t k = 0; k < run && i < size; ++k, ++i) {
            record[i] = repeat ? value : std::uint8_t(random.bounded(256));
        }
    }
    // Some records end in zeros, which "&Skip Zero's" hides.
    if (size > 20 && random.bounded(2) == 0) {
        std::fill(record.end() - 10, record.end(), 0);
    }
    if (size > record::SchemeAndVersion) {
        record[record::SchemeAndVersion] = std::uint8_t(random.bounded(8));
    }
    return record;
}

} // namespace

class TestRandomSession : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void randomSession_data();
    void randomSession();
    void cleanup();

private:
    enum class Command
    {
        Open,
        Decode,
        Encode,
        Commit,
        DisplayMode,
        SkipZeros,
        Version,
        TypeItem,
        SchemeItem,
        TrackColor,
        VehicleColor,
        RideOperation,
        Clipboard,
        Save,
        SaveAs,
        Resize,
        Drop,
        Close,
        RideInfo,
        About, // the last
    };
    struct SavePlan
    {
        QString path;
        bool asks = false;
        bool succeeds = false;
        ByteBuffer bytes;
    };

    void createFiles();
    void addFile(const QString& name, const QByteArray& bytes);
    int pick(int bound) { return int(m_random.bounded(quint64(bound))); }
    bool chance(int percent) { return pick(100) < percent; }
    [[nodiscard]] Command chooseCommand();
    [[nodiscard]] bool reachable(QAction* action) const;
    void trigger(QAction* action);
    void trigger(const char* name) { trigger(m_window->action(name)); }
    void whenModal(std::function<void(QWidget*)> handler);

    [[nodiscard]] SavePlan planSave(bool asks);
    void finishSave(const SavePlan& plan);
    void setModelByte(std::size_t index, int value);

    void open(bool dropped);
    void close();
    void decode();
    void encode();
    void commit();
    void chooseDisplayMode();
    void toggleSkipZeros();
    void chooseVersion();
    void chooseTypeItem();
    void chooseSchemeItem();
    void chooseColor(bool track);
    void rideOperation();
    void clipboardCommand();
    void save(bool saveAs);
    void resizeWindow();
    void rideInfo();
    void about();

    void checkWindow();
    void checkGrid();
    // Moves the pointer over the grid at `position` (a cell) and checks what the status
    // panels say about the byte there.
    void checkStatusPanels(QPoint position);

    QRandomGenerator64 m_random;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    std::unique_ptr<MainWindow> m_window;

    // What the files on disk hold, as this test wrote them; nullopt for none.
    std::map<QString, std::optional<ByteBuffer>> m_files;
    QStringList m_openChoices;
    QStringList m_goodTargets;
    QStringList m_badTargets;

    Model m_model{-1};
    ByteBuffer m_baseline; // the bytes last loaded or saved
    bool m_expectUnchanged = false;
    State m_state = State::StartUp;
    GameVersion m_version = GameVersion::Original;
    QString m_path;
    QString m_title = QStringLiteral("Untitled"); // the file name the title shows
    TrackDesignDocument::Index m_selected = 0;
    int m_paletteCode = 0;
    int m_expectedMessages = 0;
    bool m_modalHandled = false;
    int m_saves = 0;
    int m_loads = 0;
    bool m_skipped = false;    // the step's item could not be reached
    std::map<int, int> m_done; // commands carried out, by Command
};

void TestRandomSession::initTestCase()
{
    QApplication::setQuitOnLastWindowClosed(false);
}

void TestRandomSession::addFile(const QString& name, const QByteArray& bytes)
{
    const QString path = m_dir->filePath(name);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
    m_files[path] = toBuffer(bytes);
    m_openChoices << path;
}

void TestRandomSession::createFiles()
{
    // Good files: encoded records of many sizes and versions.
    const GameVersion versions[] = {GameVersion::Original, GameVersion::CorkscrewFollies,
                                    GameVersion::LoopyLandscapes};
    const std::size_t sizes[] = {8, 41, 60, 300, 1200, 4000};
    for (std::size_t i = 0; i < std::size(sizes); ++i) {
        const ByteBuffer record = makeRecord(m_random, sizes[i]);
        addFile(QStringLiteral("good%1.TD4").arg(i),
                asBytes(AppendChecksum(RLEEncode(record), versions[i % 3])));
    }
    // The largest file the editor opens.
    QByteArray largest(65000, '\0');
    for (qsizetype i = 0; i < largest.size(); ++i) {
        largest[i] = char(m_random.bounded(256));
    }
    addFile(QStringLiteral("largest.TD4"), largest);

    // Damaged files: they open as raw bytes, but do not decode, or decode to nothing.
    const ByteBuffer encoded = AppendChecksum(RLEEncode(makeRecord(m_random, 500)), versions[0]);
    QByteArray cut = asBytes(encoded);
    cut.truncate(cut.size() / 2);
    addFile(QStringLiteral("truncated.TD4"), cut);
    addFile(QStringLiteral("literal-past-end.TD4"), QByteArray("\x7F\x01\x02\x03\x04\x05\x06", 7));
    addFile(QStringLiteral("tiny.TD4"), QByteArray("\x01\x02\x03", 3));
    QByteArray junk(700, '\0');
    for (qsizetype i = 0; i < junk.size(); ++i) {
        junk[i] = char(m_random.bounded(256));
    }
    addFile(QStringLiteral("junk.TD4"), junk);

    // Files that are refused.
    addFile(QStringLiteral("empty.TD4"), QByteArray());
    addFile(QStringLiteral("too-large.TD4"), QByteArray(65001, '\x07'));
    const QString missing = m_dir->filePath(QStringLiteral("missing.TD4"));
    m_files[missing] = std::nullopt;
    m_openChoices << missing;
    const QString folder = m_dir->filePath(QStringLiteral("folder.TD4"));
    QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("folder.TD4")));
    m_files[folder] = std::nullopt;
    m_openChoices << folder;

    // Save targets; the good ones can be opened again later.
    for (int i = 0; i < 3; ++i) {
        const QString path = m_dir->filePath(QStringLiteral("out%1.TD4").arg(i));
        m_files[path] = std::nullopt;
        m_goodTargets << path;
        m_openChoices << path;
    }
    m_badTargets << m_dir->filePath(QStringLiteral("no-such-folder/x.TD4")) << folder;
}

bool TestRandomSession::reachable(QAction* action) const
{
    // An item can be chosen only when it and every menu on the way to it are enabled.
    if (action == nullptr || !action->isEnabled()) {
        return false;
    }
    const auto holders = action->associatedObjects();
    for (QObject* holder : holders) {
        if (auto* menu = qobject_cast<QMenu*>(holder)) {
            return reachable(menu->menuAction()) || menu->parent() == nullptr;
        }
    }
    return true;
}

void TestRandomSession::trigger(QAction* action)
{
    QVERIFY(action != nullptr);
    action->trigger();
}

void TestRandomSession::whenModal(std::function<void(QWidget*)> handler)
{
    m_modalHandled = false;
    // The dialog is shown inside the command's own event loop; wait for it there.
    auto poll = std::make_shared<std::function<void(int)>>();
    *poll = [this, handler, poll](int tries) {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr) {
            if (tries < 500) {
                QTimer::singleShot(0, this, [poll, tries] { (*poll)(tries + 1); });
            } else {
                *poll = nullptr; // break the cycle
            }
            return;
        }
        m_modalHandled = true;
        handler(modal);
        *poll = nullptr;
    };
    QTimer::singleShot(0, this, [poll] { (*poll)(0); });
}

TestRandomSession::Command TestRandomSession::chooseCommand()
{
    static const std::pair<Command, int> weights[] = {
        {Command::Open, 6},       {Command::Decode, 7},       {Command::Encode, 4},
        {Command::Commit, 26},    {Command::DisplayMode, 5},  {Command::SkipZeros, 2},
        {Command::Version, 4},    {Command::TypeItem, 7},     {Command::SchemeItem, 3},
        {Command::TrackColor, 2}, {Command::VehicleColor, 2}, {Command::RideOperation, 2},
        {Command::Clipboard, 8},  {Command::Save, 5},         {Command::SaveAs, 4},
        {Command::Resize, 1},     {Command::Drop, 3},         {Command::Close, 2},
        {Command::RideInfo, 2},   {Command::About, 1},
    };
    // The settings commands can be reached only with a decoded record: choose them
    // more often then, so that each kind is tried many times in one session.
    const auto weightOf = [this](const std::pair<Command, int>& entry) {
        const bool setting =
            entry.first >= Command::TypeItem && entry.first <= Command::RideOperation;
        return setting && m_state == State::Decoded ? entry.second * 4 : entry.second;
    };
    int total = 0;
    for (const auto& entry : weights) {
        total += weightOf(entry);
    }
    int roll = pick(total);
    for (const auto& entry : weights) {
        if (roll < weightOf(entry)) {
            return entry.first;
        }
        roll -= weightOf(entry);
    }
    return Command::Commit;
}

void TestRandomSession::setModelByte(std::size_t index, int value)
{
    if (index < m_model.size()) {
        m_model[index] = value;
    } else {
        ++m_expectedMessages; // the record ends before that byte
    }
}

// --- Saving -------------------------------------------------------------------------

TestRandomSession::SavePlan TestRandomSession::planSave(bool asks)
{
    SavePlan plan;
    plan.asks = asks;
    plan.path = m_path;
    if (asks) {
        const int roll = pick(100);
        plan.path = roll < 10   ? QString()
                    : roll < 75 ? m_goodTargets.at(pick(int(m_goodTargets.size())))
                                : m_badTargets.at(pick(int(m_badTargets.size())));
        m_prompts->savePaths.enqueue(plan.path);
    }
    // Every path the document was loaded from or saved to is a writable file.
    plan.succeeds = !plan.path.isEmpty() && !m_badTargets.contains(plan.path);
    if (!plan.path.isEmpty() && !plan.succeeds) {
        ++m_expectedMessages;
    }
    plan.bytes = contentsOf(m_model);
    if (plan.succeeds) {
        m_files[plan.path] = plan.bytes;
        m_baseline = plan.bytes;
        m_expectUnchanged = true;
        m_path = plan.path;
        m_title = QFileInfo(plan.path).fileName();
    }
    return plan;
}

void TestRandomSession::finishSave(const SavePlan& plan)
{
    if (plan.succeeds) {
        ++m_saves;
        const auto onDisk = readFile(plan.path);
        QVERIFY2(onDisk.has_value(), qPrintable(plan.path));
        QVERIFY2(*onDisk == plan.bytes, "the saved file does not hold the document's bytes");
    }
}

// --- Commands -----------------------------------------------------------------------

void TestRandomSession::open(bool dropped)
{
    bool proceed = true;
    std::optional<SavePlan> saving;
    QString dropPath;
    if (dropped) {
        // The file to drop is chosen here even when the drop stops at the question.
        dropPath = m_openChoices.at(pick(int(m_openChoices.size())));
    }
    if (m_window->document().changed()) {
        const Answer answer = std::array{Answer::Yes, Answer::No, Answer::Cancel}[pick(3)];
        m_prompts->answers.enqueue(answer);
        if (answer == Answer::Cancel) {
            proceed = false;
        } else if (answer == Answer::Yes) {
            saving = planSave(m_path.isEmpty());
            proceed = saving->succeeds;
        }
    }
    if (proceed) {
        // Whatever happens next, the old path no longer names the document.
        m_path.clear();
        const QString path =
            chance(5) && !dropped ? QString() : m_openChoices.at(pick(int(m_openChoices.size())));
        if (dropped) {
            dropPath = path;
        } else {
            m_prompts->openPaths.enqueue(path);
        }
        if (!path.isEmpty()) {
            const std::optional<ByteBuffer>& bytes = m_files[path];
            if (bytes && !bytes->empty() && bytes->size() <= 65000) {
                m_model = modelOf(*bytes);
                m_baseline = *bytes;
                m_expectUnchanged = true;
                m_state = State::Raw;
                m_path = path;
                m_title = QFileInfo(path).fileName();
                ++m_loads;
            } else {
                ++m_expectedMessages;
            }
        }
    }
    if (dropped) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(dropPath)});
        QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QCoreApplication::sendEvent(m_window.get(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(m_window.get(), &drop);
        // The window opens a dropped file once the drop itself is over.
        QCoreApplication::processEvents();
    } else {
        trigger(chance(50) ? "SM_Open" : "Toolbar_OpenFile");
    }
    if (saving) {
        finishSave(*saving);
    }
}

void TestRandomSession::close()
{
    // Only a close that is turned back can go on with the session: answered Cancel,
    // or Yes with a save that is cancelled or fails.
    if (!m_window->document().changed()) {
        m_skipped = true;
        return;
    }
    const bool yes = m_path.isEmpty() && chance(60);
    m_prompts->answers.enqueue(yes ? Answer::Yes : Answer::Cancel);
    if (yes) {
        const QString target =
            chance(30) ? QString() : m_badTargets.at(pick(int(m_badTargets.size())));
        m_prompts->savePaths.enqueue(target);
        if (!target.isEmpty()) {
            ++m_expectedMessages;
        }
    }
    if (chance(50)) {
        trigger("SM_Exit");
    } else {
        // The window's own close box.
        QVERIFY(!m_window->close());
    }
}

void TestRandomSession::decode()
{
    if (m_state == State::Raw) {
        const DecodeResult decoded = RLEDecode(contentsOf(m_model));
        if (!decoded.ok() || decoded.record.empty()) {
            ++m_expectedMessages;
        } else {
            m_model = modelOf(decoded.record);
            m_state = State::Decoded;
            if (decoded.record.size() > record::SchemeAndVersion &&
                decoded.record[record::SchemeAndVersion] >= record::ExpansionFlag) {
                m_version = GameVersion::CorkscrewFollies;
            }
        }
    }
    // A disabled button does nothing; that is checked too.
    trigger("Toolbar_Decode");
}

void TestRandomSession::encode()
{
    if (m_state == State::Decoded) {
        m_model = modelOf(AppendChecksum(RLEEncode(contentsOf(m_model)), m_version));
        m_state = State::Raw;
    }
    trigger("Toolbar_Encode");
}

void TestRandomSession::commit()
{
    GridEditor* editor = m_window->gridEditor();
    QTableView* grid = editor->grid();
    const QAbstractItemModel* model = grid->model();
    const int rows = model->rowCount();
    const int perRow = editor->bytesPerRow();

    // Click a cell: any one, or one of the last row's, which may lie past the end.
    if (rows > 0 && chance(90)) {
        const int row = chance(30) ? rows - 1 : pick(rows);
        const int column = chance(5) ? 0 : 1 + pick(perRow);
        const QModelIndex cell = model->index(row, column);
        grid->scrollTo(cell);
        const QRect rect = grid->visualRect(cell);
        QVERIFY(rect.isValid());
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, rect.center());
        m_selected = TrackDesignDocument::Index(row) * perRow + std::max(column, 1) - 1;
        QCOMPARE(editor->selectedIndex(), m_selected);
        if (chance(25)) {
            checkStatusPanels(rect.center());
        }
    } else if (chance(50)) {
        // A click below the last row selects nothing.
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          QPoint(2, grid->viewport()->height() - 2));
        if (grid->indexAt(QPoint(2, grid->viewport()->height() - 2)).isValid()) {
            m_selected = editor->selectedIndex();
        }
        QCOMPARE(editor->selectedIndex(), m_selected);
    }

    // Type the value, or paste it, as the mode allows.
    QLineEdit* box = editor->dataString();
    const DisplayMode mode = editor->displayMode();
    box->selectAll();
    std::optional<int> store; // -1 makes the element empty
    bool refused = false;
    const int value = pick(256);
    switch (mode) {
    case DisplayMode::Hexidecimal: {
        QString text = QString::number(value, 16);
        text = chance(50) ? text.toUpper() : text;
        if (chance(5)) {
            // A key the box refuses is told about and leaves the box as it was.
            QTest::keyClick(box, 'g');
            ++m_expectedMessages;
            box->selectAll();
        }
        QTest::keyClicks(box, text);
        store = value;
        break;
    }
    case DisplayMode::Decimal: {
        const int typed = chance(10) ? 256 + pick(744) : value;
        QTest::keyClicks(box, QString::number(typed));
        if (typed > 255) {
            refused = true;
        } else {
            store = typed;
        }
        break;
    }
    case DisplayMode::Charter: {
        const int roll = pick(100);
        if (roll < 70) {
            const char typed = char(0x20 + pick(0x5F));
            QTest::keyClicks(box, QString(QLatin1Char(typed)));
            store = int(std::uint8_t(typed));
        } else if (roll < 80) {
            box->clear();
            store = -1;
        } else {
            // Characters no keyboard here types come in through the clipboard.
            const bool latin1 = roll < 95;
            const char16_t character = latin1 ? char16_t(0x80 + pick(0x80)) : u'\u20AC';
            QApplication::clipboard()->setText(QString(QChar(character)));
            trigger(chance(50) ? "SM_Paste" : "Toolbar_Paste");
            if (latin1) {
                store = int(character);
            } else {
                refused = true;
            }
        }
        break;
    }
    }
    if (m_selected < 0 || m_selected >= TrackDesignDocument::Index(m_model.size())) {
        ++m_expectedMessages; // no byte there
    } else if (refused) {
        ++m_expectedMessages;
    } else if (store) {
        setModelByte(std::size_t(m_selected), *store);
    }
    QTest::keyClick(box, Qt::Key_Return);
}

void TestRandomSession::chooseDisplayMode()
{
    QComboBox* box = m_window->gridEditor()->charMode();
    box->setCurrentIndex(pick(box->count()));
    QVERIFY(m_window->gridEditor()->dataString()->text().isEmpty() ||
            m_window->gridEditor()->dataString()->text().size() <=
                int(m_window->gridEditor()->displayMode()));
}

void TestRandomSession::toggleSkipZeros()
{
    const bool before = m_window->gridEditor()->skipZeros();
    trigger("SM_SkipZero");
    QCOMPARE(m_window->gridEditor()->skipZeros(), !before);
    QCOMPARE(m_window->action("SM_SkipZero")->isChecked(), !before);
}

void TestRandomSession::chooseVersion()
{
    const char* names[] = {"SM_RCT_Org", "SM_RCT_CF", "SM_RCT_LL"};
    const GameVersion versions[] = {GameVersion::Original, GameVersion::CorkscrewFollies,
                                    GameVersion::LoopyLandscapes};
    const int chosen = pick(3);
    trigger(names[chosen]);
    m_version = versions[chosen];
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(m_window->action(names[i])->isChecked(), i == chosen);
    }
}

void TestRandomSession::chooseTypeItem()
{
    const CodeKind kinds[] = {CodeKind::RideType, CodeKind::VehicleType, CodeKind::OperatingMode};
    const CodeKind kind = kinds[pick(3)];
    const QList<QAction*> items = m_window->rideSettings()->typeItems(kind);
    QVERIFY(!items.isEmpty());
    const int item = pick(int(items.size()));
    if (!reachable(items.at(item))) {
        m_skipped = true;
        return;
    }
    const CodeTables& tables = m_window->codeTables();
    const CodeTable& table = kind == CodeKind::RideType      ? tables.rideTypes
                             : kind == CodeKind::VehicleType ? tables.vehicleTypes
                                                             : tables.operatingModes;
    if (std::size_t(item) < table.size()) {
        setModelByte(CodeByte(kind), CodeValue(table[std::size_t(item)]));
    }
    trigger(items.at(item));
}

void TestRandomSession::chooseSchemeItem()
{
    const char* names[] = {"SM_CS_Same", "SM_CS_Train", "SM_CS_Car", "SM_CS_NotUsed"};
    const int scheme = pick(4);
    QAction* item = m_window->action(names[scheme]);
    if (!reachable(item)) {
        m_skipped = true;
        return;
    }
    setModelByte(record::SchemeAndVersion, ColorSchemeByte(scheme, m_version));
    trigger(item);
}

void TestRandomSession::chooseColor(bool track)
{
    QAction* item = nullptr;
    std::size_t byte = 0;
    if (track) {
        const TrackPart parts[] = {TrackPart::Spine, TrackPart::Rail, TrackPart::Support};
        const TrackPart part = parts[pick(3)];
        const int scheme = pick(TrackColorItems);
        item = m_window->rideSettings()->trackItems(part).at(scheme);
        byte = TrackColorByte(part, scheme, m_version);
    } else {
        const int entry = pick(VehicleColorItems);
        const bool body = chance(50);
        item = body ? m_window->rideSettings()->bodyItems().at(entry)
                    : m_window->rideSettings()->trimItems().at(entry);
        byte = body ? BodyColorByte(entry) : TrimColorByte(entry);
    }
    if (!reachable(item)) {
        m_skipped = true;
        return;
    }
    // The palette hands back the swatch clicked last in any showing, whichever way it
    // is closed.
    const int swatch = chance(60) ? pick(PaletteSize) : -1;
    const bool ok = chance(70);
    whenModal([swatch, ok](QWidget* dialog) {
        if (swatch >= 0) {
            auto* button =
                dialog->findChild<QAbstractButton*>(QStringLiteral("Colors_%1").arg(swatch));
            QVERIFY(button != nullptr);
            QTest::mouseClick(button, Qt::LeftButton);
        }
        if (ok) {
            auto* button = dialog->findChild<QPushButton*>(QStringLiteral("Ok"));
            QVERIFY(button != nullptr);
            QTest::mouseClick(button, Qt::LeftButton);
        } else {
            dialog->close();
        }
    });
    if (swatch >= 0) {
        m_paletteCode = swatch;
    }
    setModelByte(byte, m_paletteCode);
    trigger(item);
    QVERIFY2(m_modalHandled, "the palette was not shown");
}

void TestRandomSession::rideOperation()
{
    QAction* item = m_window->action("SM_RideOp");
    if (!reachable(item)) {
        m_skipped = true;
        return;
    }
    const bool ok = chance(70);
    const int box = pick(8);
    std::optional<RideOperation> accepted;
    whenModal([ok, box, &accepted](QWidget* modal) {
        auto* dialog = qobject_cast<RideOperationDialog*>(modal);
        QVERIFY(dialog != nullptr);
        const auto boxes = dialog->findChildren<QCheckBox*>();
        if (box < boxes.size()) {
            QTest::mouseClick(boxes.at(box), Qt::LeftButton);
        }
        if (ok) {
            accepted = dialog->values();
            auto* button = dialog->findChild<QPushButton*>(QStringLiteral("cmdOk"));
            QVERIFY(button != nullptr);
            QTest::mouseClick(button, Qt::LeftButton);
        } else {
            dialog->close();
        }
    });
    trigger(item);
    QVERIFY2(m_modalHandled, "the operation dialog was not shown");
    if (accepted) {
        // Apply the same values to a copy of the expected document.
        TrackDesignDocument copy;
        ByteBuffer raw(m_model.size());
        for (std::size_t i = 0; i < m_model.size(); ++i) {
            raw[i] = std::uint8_t(std::max(m_model[i], 0));
        }
        QVERIFY(copy.loadContents(raw));
        for (std::size_t i = 0; i < m_model.size(); ++i) {
            if (m_model[i] < 0) {
                copy.setEmptyElement(TrackDesignDocument::Index(i));
            }
        }
        if (!ApplyRideOperation(copy, *accepted).isEmpty()) {
            ++m_expectedMessages;
        } else {
            for (std::size_t i = 0; i < m_model.size(); ++i) {
                const auto at = TrackDesignDocument::Index(i);
                m_model[i] = copy.isEmptyElement(at) ? -1 : copy.valueAt(at);
            }
        }
    }
}

void TestRandomSession::clipboardCommand()
{
    QLineEdit* box = m_window->gridEditor()->dataString();
    QClipboard* clipboard = QApplication::clipboard();
    box->clear();
    const QString text = QStringLiteral("%1").arg(pick(256), 2, 16, QLatin1Char('0')).toUpper();
    box->insert(text.left(box->maxLength()));
    const QString before = box->text();
    const int start = pick(int(before.size()) + 1);
    box->setSelection(start, pick(int(before.size()) - start + 1));
    const QString selected = box->selectedText();
    const QString marker = QStringLiteral("clip%1").arg(pick(1000));
    clipboard->setText(marker);
    switch (pick(4)) {
    case 0:
        trigger(chance(50) ? "SM_Cut" : "Toolbar_Cut");
        QCOMPARE(clipboard->text(), selected);
        QCOMPARE(box->text(), QString());
        break;
    case 1:
        trigger(chance(50) ? "SM_Copy" : "Toolbar_Copy");
        QCOMPARE(clipboard->text(), selected);
        QCOMPARE(box->text(), before);
        break;
    case 2: {
        trigger(chance(50) ? "SM_Paste" : "Toolbar_Paste");
        QVERIFY(box->text().size() <= box->maxLength());
        break;
    }
    default:
        trigger(chance(50) ? "SM_Clear" : "Toolbar_Delete");
        QCOMPARE(box->text(), QString(before).remove(start, selected.size()));
        break;
    }
}

void TestRandomSession::save(bool saveAs)
{
    const SavePlan plan = planSave(saveAs || m_path.isEmpty());
    if (saveAs) {
        if (!plan.succeeds) {
            m_path.clear(); // "Save &As..." forgets the old path before it asks
        }
        trigger("SM_SaveAs");
    } else {
        trigger(chance(50) ? "SM_Save" : "Toolbar_SaveFile");
    }
    finishSave(plan);
}

void TestRandomSession::resizeWindow()
{
    m_window->resize(360 + pick(400), 260 + pick(200));
    QCoreApplication::processEvents();
}

void TestRandomSession::rideInfo()
{
    if (m_state == State::Decoded) {
        ++m_expectedMessages;
    }
    trigger("Toolbar_RideInfo");
}

void TestRandomSession::about()
{
    ++m_expectedMessages;
    trigger("M_About");
}

// --- Checks after every step ----------------------------------------------------------

void TestRandomSession::checkStatusPanels(QPoint position)
{
    QTableView* grid = m_window->gridEditor()->grid();
    const QModelIndex cell = grid->indexAt(position);
    QVERIFY(cell.isValid());
    QMouseEvent move(QEvent::MouseMove, QPointF(position),
                     grid->viewport()->mapToGlobal(QPointF(position)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(grid->viewport(), &move);

    const auto perRow = TrackDesignDocument::Index(m_window->gridEditor()->bytesPerRow());
    const TrackDesignDocument::Index index = cell.row() * perRow + std::max(cell.column(), 1) - 1;
    // Past the end the address is the pointer's own and the values the last byte's.
    const int value = m_model[std::min(std::size_t(index), m_model.size() - 1)];
    // Control characters show as their control pictures, as in the grid.
    const char16_t shown = value < 0x20    ? char16_t(0x2400 + value)
                           : value == 0x7F ? char16_t(0x2421)
                                           : char16_t(value);
    const QStringList expected = {
        QStringLiteral("Adress: ") + QString::number(index, 16).toUpper(),
        QStringLiteral("Hex: ") +
            QStringLiteral("%1").arg(std::max(value, 0), 2, 16, QLatin1Char('0')).toUpper(),
        QStringLiteral("Dec: ") + QString::number(std::max(value, 0)),
        QStringLiteral("Chr: ") + (value < 0 ? QString() : QString(QChar(shown))),
    };
    for (int i = 0; i < 4; ++i) {
        const auto* panel =
            m_window->findChild<QLabel*>(QStringLiteral("StatusPanel%1").arg(i + 1));
        QVERIFY(panel != nullptr);
        QCOMPARE(panel->text(), expected.at(i));
    }
}

void TestRandomSession::checkGrid()
{
    GridEditor* editor = m_window->gridEditor();
    const QAbstractItemModel* model = editor->grid()->model();
    const auto perRow = std::size_t(editor->bytesPerRow());
    QVERIFY(perRow >= 4);
    QCOMPARE(model->columnCount(), int(perRow) + 1);

    std::size_t shown = m_model.size();
    if (m_window->action("SM_SkipZero")->isChecked()) {
        while (shown > 0 && m_model[shown - 1] <= 0) {
            --shown;
        }
    }
    const std::size_t rows = (shown + perRow - 1) / perRow;
    QCOMPARE(std::size_t(model->rowCount()), rows);
    QCOMPARE(std::size_t(editor->grid()->verticalHeader()->count()), rows);
    QCOMPARE(editor->dataString()->maxLength(), int(editor->displayMode()));
    // The byte the edit box writes is marked wherever the layout puts it.
    if (m_selected >= 0 && std::size_t(m_selected) / perRow < rows) {
        const QModelIndex marked = model->index(int(std::size_t(m_selected) / perRow),
                                                int(std::size_t(m_selected) % perRow) + 1);
        QVERIFY(marked.data(Qt::BackgroundRole).isValid());
        const QModelIndex other = model->index(marked.row(), marked.column() == 1 ? 2 : 1);
        QVERIFY(!other.data(Qt::BackgroundRole).isValid());
    }
    if (rows == 0) {
        return;
    }
    const DisplayMode mode = editor->displayMode();
    const int role = mode == DisplayMode::Charter ? GridModel::EditTextRole : Qt::DisplayRole;
    const std::size_t sampleRows[] = {0, rows - 1, std::size_t(pick(int(rows)))};
    for (const std::size_t row : sampleRows) {
        QCOMPARE(model->index(int(row), 0).data().toString(),
                 QString::number(row * perRow, 16).toUpper());
        for (const int column : {1, int(perRow), 1 + pick(int(perRow))}) {
            const std::size_t index = row * perRow + std::size_t(column) - 1;
            const QString text = model->index(int(row), column).data(role).toString();
            QCOMPARE(text, index < shown ? expectedCellText(m_model, index, mode) : QString());
        }
    }
}

void TestRandomSession::checkWindow()
{
    const TrackDesignDocument& document = m_window->document();
    QVERIFY2(document.length() >= 1, "the document is empty");
    QCOMPARE(std::size_t(document.length()), m_model.size());
    const ByteBuffer bytes = document.contents();
    QVERIFY2(bytes == contentsOf(m_model), "the document's bytes differ from the expected ones");
    const std::size_t probe = std::size_t(pick(int(m_model.size())));
    QCOMPARE(document.isEmptyElement(TrackDesignDocument::Index(probe)), m_model[probe] < 0);

    if (m_expectUnchanged) {
        QVERIFY2(!document.changed(), "a load or save left the document marked changed");
    }
    if (bytes != m_baseline) {
        QVERIFY2(document.changed(), "the bytes differ from the file but are not marked changed");
    }
    QCOMPARE(m_window->documentState(), m_state);
    QCOMPARE(m_window->gameVersion(), m_version);
    QCOMPARE(m_window->currentPath(), m_path);
    QCOMPARE(m_window->action("M_RideSet")->isEnabled(), m_state == State::Decoded);
    QCOMPARE(m_window->action("Toolbar_Decode")->isEnabled(), m_state == State::Raw);
    QCOMPARE(m_window->action("Toolbar_Encode")->isEnabled(), m_state == State::Decoded);
    // Only a load or a save changes the title; a refused or failed one leaves it.
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Railwright [%1]").arg(m_title));
    QVERIFY2(m_prompts->allUsed(), qPrintable(m_prompts->unexpected.join(QLatin1Char(';'))));
    if (m_prompts->messages.size() != m_expectedMessages) {
        const QString last =
            m_prompts->messages.isEmpty() ? QString() : m_prompts->messages.constLast().text;
        QFAIL(qPrintable(QStringLiteral("%1 messages shown, %2 expected; last: %3")
                             .arg(m_prompts->messages.size())
                             .arg(m_expectedMessages)
                             .arg(last)));
    }
    QVERIFY(m_window->isVisible());
    checkGrid();
}

// --- The session --------------------------------------------------------------------------

void TestRandomSession::randomSession_data()
{
    // Besides the shipped tables: tables large enough for the type menus to be split
    // into submenus, and missing tables (created empty, so the menus hold one inert
    // item each). These sessions are shorter.
    QTest::addColumn<int>("tableEntries"); // 0: the shipped tables, -1: none
    QTest::addColumn<int>("stepDivisor");
    QTest::newRow("shipped tables") << 0 << 1;
    QTest::newRow("300-entry tables") << 300 << 4;
    QTest::newRow("missing tables") << -1 << 4;
}

void TestRandomSession::cleanup()
{
    if (m_window) {
        m_window->document().setChanged(false);
    }
    m_window.reset();
    m_prompts.reset();
    m_dir.reset();
    m_files.clear();
    m_openChoices.clear();
    m_goodTargets.clear();
    m_badTargets.clear();
    m_model = Model{-1};
    m_baseline.clear();
    m_state = State::StartUp;
    m_version = GameVersion::Original;
    m_path.clear();
    m_title = QStringLiteral("Untitled");
    m_selected = 0;
    m_paletteCode = 0;
    m_expectedMessages = 0;
    m_saves = 0;
    m_loads = 0;
    m_done.clear();
}

void TestRandomSession::randomSession()
{
    QFETCH(int, tableEntries);
    QFETCH(int, stepDivisor);
    const quint64 seed = environmentNumber("RAILWRIGHT_SESSION_SEED", DefaultSeed);
    const int steps =
        int(environmentNumber("RAILWRIGHT_SESSION_STEPS", DefaultSteps)) / stepDivisor;
    m_random.seed(seed);
    qInfo("session seed %llu, %d steps", static_cast<unsigned long long>(seed), steps);

    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    createFiles();
    QString tables = QStringLiteral(RAILWRIGHT_BIN_DIR);
    if (tableEntries != 0) {
        tables = m_dir->filePath(QStringLiteral("tables"));
        QVERIFY(QDir().mkpath(tables));
    }
    if (tableEntries > 0) {
        CodeTable table;
        for (int i = 0; i < tableEntries; ++i) {
            table.push_back(
                {QStringLiteral("%1").arg(i % 256, 2, 16, QLatin1Char('0')).toStdString(),
                 "Entry " + std::to_string(i + 1)});
        }
        const QByteArray bytes = asBytes(SerializeCodeTable(table));
        for (const char* name : {"RCCODES.RCS", "VTCODES.RCS", "OMCODES.RCS"}) {
            QFile file(QDir(tables).filePath(QString::fromLatin1(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
            QCOMPARE(file.write(bytes), bytes.size());
        }
    }
    m_prompts = std::make_unique<ScriptedPrompts>();
    m_window = std::make_unique<MainWindow>(*m_prompts, nullptr, tables);
    QVERIFY2(m_prompts->messages.isEmpty(), "the code tables did not load");
    if (tableEntries >= 0) {
        QVERIFY(!m_window->codeTables().rideTypes.empty());
    } else {
        QVERIFY(m_window->codeTables().rideTypes.empty());
    }
    // A small window keeps every repaint cheap.
    m_window->resize(420, 300);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    m_baseline = {};
    checkWindow();

    QElapsedTimer clock;
    clock.start();
    for (int step = 1; step <= steps; ++step) {
        const Command command = chooseCommand();
        m_expectUnchanged = false;
        m_skipped = false;
        switch (command) {
        case Command::Open:
            open(false);
            break;
        case Command::Drop:
            open(true);
            break;
        case Command::Close:
            close();
            break;
        case Command::Decode:
            decode();
            break;
        case Command::Encode:
            encode();
            break;
        case Command::Commit:
            commit();
            break;
        case Command::DisplayMode:
            chooseDisplayMode();
            break;
        case Command::SkipZeros:
            toggleSkipZeros();
            break;
        case Command::Version:
            chooseVersion();
            break;
        case Command::TypeItem:
            chooseTypeItem();
            break;
        case Command::SchemeItem:
            chooseSchemeItem();
            break;
        case Command::TrackColor:
            chooseColor(true);
            break;
        case Command::VehicleColor:
            chooseColor(false);
            break;
        case Command::RideOperation:
            rideOperation();
            break;
        case Command::Clipboard:
            clipboardCommand();
            break;
        case Command::Save:
            save(false);
            break;
        case Command::SaveAs:
            save(true);
            break;
        case Command::Resize:
            resizeWindow();
            break;
        case Command::RideInfo:
            rideInfo();
            break;
        case Command::About:
            about();
            break;
        }
        if (m_skipped) {
            --step; // a command no user could give does not count as a step
        } else {
            ++m_done[int(command)];
        }
        if (!QTest::currentTestFailed()) {
            checkWindow();
        }
        if (QTest::currentTestFailed()) {
            qWarning("failed at step %d of seed %llu (command %d)", step,
                     static_cast<unsigned long long>(seed), int(command));
            return;
        }
    }
    qInfo("%d steps in %lld ms: %d loads, %d saves", steps, clock.elapsed(), m_loads, m_saves);
    QStringList done;
    for (const auto& [command, count] : m_done) {
        done << QStringLiteral("%1:%2").arg(command).arg(count);
    }
    qInfo("commands carried out (by number): %s; %lld messages",
          qPrintable(done.join(QLatin1Char(' '))),
          static_cast<long long>(m_prompts->messages.size()));
    // A session that skipped whole kinds of command would have checked little.
    QVERIFY(m_loads > 0 && m_saves > 0);
    QCOMPARE(m_done.size(), std::size_t(Command::About) + 1);
    m_window->document().setChanged(false);
}

QTEST_MAIN(TestRandomSession)
#include "tst_random_session.moc"
