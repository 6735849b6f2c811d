#include "document/user_prompts.h"
#include "ui/grid/grid_editor.h"
#include "ui/grid/grid_geometry.h"
#include "ui/grid/grid_model.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <memory>

using namespace Qt::StringLiterals;
using railwright::DisplayMode;
using railwright::GridEditor;
using railwright::TrackDesignDocument;
using railwright::UserPrompts;

namespace {

// Records every message; the grid editor never asks questions or for file names.
class RecordingPrompts : public UserPrompts
{
public:
    struct Message
    {
        QString text;
        QString caption;
        Icon icon;
    };

    Answer ask(const QString&, const QString&) override
    {
        ++unexpectedCalls;
        return Answer::Cancel;
    }
    void tell(const QString& text, const QString& caption, Icon icon) override
    {
        messages.append({text, caption, icon});
    }
    QString openFileName(const QString&) override
    {
        ++unexpectedCalls;
        return {};
    }
    QString saveFileName(const QString&) override
    {
        ++unexpectedCalls;
        return {};
    }

    QList<Message> messages;
    int unexpectedCalls = 0;
};

// Bytes 1, 2, 3, ... wrapping past 255 to 1 again, so none is zero.
railwright::ByteBuffer countingBytes(qsizetype length)
{
    railwright::ByteBuffer bytes(static_cast<std::size_t>(length));
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = std::uint8_t(i % 255 + 1);
    }
    return bytes;
}

} // namespace

class TestGridEditor : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startsInHexWithNoRows();
    void skipZeroOffShowsStartupByte();
    void layoutAndLabels_data();
    void layoutAndLabels();
    void columnCountFollowsWidth_data();
    void columnCountFollowsWidth();
    void trailingZerosHiddenAndShown();
    void displayModes_data();
    void displayModes();
    void keyFilter_data();
    void keyFilter();
    void editingKeysStillWork();
    void commitStoresByte_data();
    void commitStoresByte();
    void decimalAboveRangeRefused();
    void charterEmptyMakesEmptyElement();
    void commitPastEndChangesNothing();
    void modeChangeKeepsSelection();
    void statusTextsFollowPointer();
    void clickAndDoubleClick();
    void keyboardNavigationSelectsNothing();
    void selectedByteStaysMarked();
    void labelColumnSelectsRowStart();
    void cellsArePainted();
    void bytesBeyond32768();
    void followsDocumentAtOnce();
    void clipboard();
    void pasteIsBoundedAndUnfiltered();

private:
    // Sizes the editor so that the grid is `widthTwips` wide, shows it and lets the
    // resize reach the grid.
    void showAtWidth(double widthTwips, int heightPixels = 400);
    [[nodiscard]] QString cellText(int row, int column) const;
    [[nodiscard]] bool isMarked(int row, int column) const;
    [[nodiscard]] QPoint cellCentre(qsizetype byteIndex) const;
    void clickByte(qsizetype byteIndex);
    void load(const railwright::ByteBuffer& bytes);

    std::unique_ptr<TrackDesignDocument> m_document;
    std::unique_ptr<RecordingPrompts> m_prompts;
    std::unique_ptr<GridEditor> m_editor;
};

void TestGridEditor::init()
{
    m_document = std::make_unique<TrackDesignDocument>();
    m_prompts = std::make_unique<RecordingPrompts>();
    m_editor = std::make_unique<GridEditor>(*m_document, *m_prompts);
}

void TestGridEditor::cleanup()
{
    QCOMPARE(m_prompts->unexpectedCalls, 0);
    m_editor.reset();
    m_prompts.reset();
    m_document.reset();
}

void TestGridEditor::showAtWidth(double widthTwips, int heightPixels)
{
    const double dpi = m_editor->grid()->logicalDpiX();
    const int pixels = railwright::GridGeometry::twipsToPixels(widthTwips, dpi);
    m_editor->resize(pixels, heightPixels);
    m_editor->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_editor.get()));
    if (m_editor->grid()->width() != pixels) {
        // Narrower than the editing row allows: size the grid alone, as a squeezed
        // window would.
        m_editor->grid()->resize(pixels, m_editor->grid()->height());
    }
    QCOMPARE(m_editor->grid()->width(), pixels);
}

QString TestGridEditor::cellText(int row, int column) const
{
    const auto* model = m_editor->grid()->model();
    return model->index(row, column).data().toString();
}

bool TestGridEditor::isMarked(int row, int column) const
{
    const auto* model = m_editor->grid()->model();
    return model->index(row, column).data(Qt::BackgroundRole).isValid();
}

QPoint TestGridEditor::cellCentre(qsizetype byteIndex) const
{
    const int perRow = m_editor->bytesPerRow();
    const auto* model = m_editor->grid()->model();
    const QModelIndex cell = model->index(int(byteIndex / perRow), int(byteIndex % perRow) + 1);
    m_editor->grid()->scrollTo(cell);
    return m_editor->grid()->visualRect(cell).center();
}

void TestGridEditor::clickByte(qsizetype byteIndex)
{
    const QPoint centre = cellCentre(byteIndex);
    QTest::mouseMove(m_editor->grid()->viewport(), centre);
    QTest::mouseClick(m_editor->grid()->viewport(), Qt::LeftButton, {}, centre);
}

void TestGridEditor::load(const railwright::ByteBuffer& bytes)
{
    QVERIFY(m_document->loadContents(bytes));
}

void TestGridEditor::startsInHexWithNoRows()
{
    showAtWidth(9450);
    QCOMPARE(m_editor->charMode()->currentText(), u"Hexidecimal"_s);
    QCOMPARE(m_editor->charMode()->count(), 3);
    QCOMPARE(m_editor->charMode()->itemText(0), u"Charter"_s);
    QCOMPARE(m_editor->charMode()->itemData(0).toInt(), 1);
    QCOMPARE(m_editor->charMode()->itemText(1), u"Decimal"_s);
    QCOMPARE(m_editor->charMode()->itemData(1).toInt(), 3);
    QCOMPARE(m_editor->charMode()->itemData(2).toInt(), 2);
    QCOMPARE(m_editor->dataString()->maxLength(), 2);
    QCOMPARE(m_editor->displayMode(), DisplayMode::Hexidecimal);
    QVERIFY(m_editor->skipZeros());
    QCOMPARE(m_editor->grid()->model()->rowCount(), 0);
    QCOMPARE(m_editor->selectedIndex(), qsizetype(0));
    QCOMPARE(m_editor->pointedIndex(), qsizetype(0));
    QVERIFY(m_editor->grid()->horizontalHeader()->isHidden());
    QVERIFY(m_editor->grid()->verticalHeader()->isHidden());
    QVERIFY(m_editor->findChild<QLabel*>(u"DatSrtingLabel"_s));
    QCOMPARE(m_editor->findChild<QLabel*>(u"DatSrtingLabel"_s)->text(), u"Data String"_s);
    QCOMPARE(m_editor->findChild<QLineEdit*>(u"DataString"_s), m_editor->dataString());
    QCOMPARE(m_editor->findChild<QTableView*>(u"Grid"_s), m_editor->grid());
}

void TestGridEditor::skipZeroOffShowsStartupByte()
{
    showAtWidth(9450);
    m_editor->setSkipZeros(false);
    QCOMPARE(m_editor->grid()->model()->rowCount(), 1);
    QCOMPARE(cellText(0, 0), u"0"_s);
    QCOMPARE(cellText(0, 1), u"00"_s);
    QCOMPARE(cellText(0, 2), QString());
    QCOMPARE(cellText(0, 24), QString());
    m_editor->setSkipZeros(true);
    QCOMPARE(m_editor->grid()->model()->rowCount(), 0);
}

void TestGridEditor::layoutAndLabels_data()
{
    QTest::addColumn<qsizetype>("length");
    QTest::addColumn<QStringList>("labels");
    QTest::newRow("100 bytes") << qsizetype(100)
                               << QStringList{u"0"_s, u"18"_s, u"30"_s, u"48"_s, u"60"_s};
    QTest::newRow("48 bytes") << qsizetype(48) << QStringList{u"0"_s, u"18"_s};
    QTest::newRow("1 byte") << qsizetype(1) << QStringList{u"0"_s};
}

void TestGridEditor::layoutAndLabels()
{
    QFETCH(qsizetype, length);
    QFETCH(QStringList, labels);
    showAtWidth(9450);
    load(countingBytes(length));
    QCOMPARE(m_editor->bytesPerRow(), 24);
    const auto* model = m_editor->grid()->model();
    QCOMPARE(model->rowCount(), labels.size());
    QCOMPARE(model->columnCount(), 25);
    for (int r = 0; r < labels.size(); ++r) {
        QCOMPARE(cellText(r, 0), labels.at(r));
        QCOMPARE(model->index(r, 0).data(Qt::TextAlignmentRole).toInt(),
                 int(Qt::AlignLeft | Qt::AlignTop));
    }
    // The last shown byte and the empty cells after it.
    const int lastRow = int(labels.size()) - 1;
    const int lastColumn = int((length - 1) % 24) + 1;
    QCOMPARE(cellText(lastRow, lastColumn),
             QString::number(int((length - 1) % 255 + 1), 16).toUpper().rightJustified(2, u'0'));
    for (int c = lastColumn + 1; c <= 24; ++c) {
        QCOMPARE(cellText(lastRow, c), QString());
    }
    QCOMPARE(model->index(0, 1).data(Qt::TextAlignmentRole).toInt(), int(Qt::AlignCenter));
    // Column widths in pixels at the screen's resolution.
    const double dpi = m_editor->grid()->logicalDpiX();
    QCOMPARE(m_editor->grid()->columnWidth(0), railwright::GridGeometry::twipsToPixels(700, dpi));
    QCOMPARE(m_editor->grid()->columnWidth(5), railwright::GridGeometry::twipsToPixels(350, dpi));
}

void TestGridEditor::columnCountFollowsWidth_data()
{
    QTest::addColumn<double>("widthTwips");
    QTest::addColumn<int>("perRow");
    QTest::newRow("2000 twips") << 2000.0 << 4;
    QTest::newRow("design width") << 9450.0 << 24;
    QTest::newRow("wider") << 14400.0 << 38;
    QTest::newRow("tiny") << 150.0 << 4;
}

void TestGridEditor::columnCountFollowsWidth()
{
    QFETCH(double, widthTwips);
    QFETCH(int, perRow);
    load(countingBytes(100));
    showAtWidth(9450);
    showAtWidth(widthTwips);
    QCOMPARE(m_editor->bytesPerRow(), perRow);
    const auto* model = m_editor->grid()->model();
    QCOMPARE(model->columnCount(), perRow + 1);
    QCOMPARE(model->rowCount(), (100 + perRow - 1) / perRow);
    QCOMPARE(cellText(1, 0), QString::number(perRow, 16).toUpper());
    // Byte perRow is the first byte of row 1 (value perRow + 1).
    QCOMPARE(cellText(1, 1), QString::number(perRow + 1, 16).toUpper().rightJustified(2, u'0'));
    // The label column keeps its width after the model was rebuilt.
    QCOMPARE(m_editor->grid()->columnWidth(0),
             railwright::GridGeometry::twipsToPixels(700, m_editor->grid()->logicalDpiX()));
}

void TestGridEditor::trailingZerosHiddenAndShown()
{
    showAtWidth(9450);
    auto bytes = countingBytes(100);
    std::fill(bytes.end() - 10, bytes.end(), 0);
    bytes[20] = 0; // an inner zero is always shown
    load(bytes);
    const auto* model = m_editor->grid()->model();
    QCOMPARE(model->rowCount(), 4);
    QCOMPARE(cellText(0, 21), u"00"_s);
    QCOMPARE(cellText(3, 18), u"5A"_s); // byte 89
    QCOMPARE(cellText(3, 19), QString());
    m_editor->setSkipZeros(false);
    QCOMPARE(model->rowCount(), 5);
    QCOMPARE(cellText(3, 19), u"00"_s);
    QCOMPARE(cellText(4, 4), u"00"_s);
    QCOMPARE(cellText(4, 5), QString());
    QCOMPARE(cellText(4, 0), u"60"_s);

    m_editor->setSkipZeros(true);
    load(railwright::ByteBuffer(300, 0));
    QCOMPARE(model->rowCount(), 0);
}

void TestGridEditor::displayModes_data()
{
    QTest::addColumn<DisplayMode>("mode");
    QTest::addColumn<int>("maxLength");
    QTest::addColumn<QStringList>("cells");
    QTest::newRow("Charter") << DisplayMode::Charter << 1
                             << QStringList{u"A"_s, QString(QChar(0x240A)), u"\u00FF"_s};
    QTest::newRow("Decimal") << DisplayMode::Decimal << 3
                             << QStringList{u"65"_s, u"10"_s, u"255"_s};
    QTest::newRow("Hexidecimal") << DisplayMode::Hexidecimal << 2
                                 << QStringList{u"41"_s, u"0A"_s, u"FF"_s};
}

void TestGridEditor::displayModes()
{
    QFETCH(DisplayMode, mode);
    QFETCH(int, maxLength);
    QFETCH(QStringList, cells);
    showAtWidth(9450);
    load({'A', 10, 255});
    m_editor->dataString()->setText(u"1"_s);
    // Pick the mode as the user would, in the combo box.
    m_editor->charMode()->setCurrentIndex(m_editor->charMode()->findData(int(mode)));
    if (mode == DisplayMode::Hexidecimal) {
        m_editor->setDisplayMode(DisplayMode::Decimal);
        m_editor->setDisplayMode(DisplayMode::Hexidecimal);
    }
    QCOMPARE(m_editor->displayMode(), mode);
    QCOMPARE(m_editor->dataString()->maxLength(), maxLength);
    QCOMPARE(m_editor->dataString()->text(), QString());
    for (int c = 0; c < cells.size(); ++c) {
        QCOMPARE(cellText(0, c + 1), cells.at(c));
    }
}

void TestGridEditor::keyFilter_data()
{
    QTest::addColumn<DisplayMode>("mode");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("boxText");
    QTest::addColumn<int>("rejected");
    QTest::newRow("hex a to A") << DisplayMode::Hexidecimal << u"a"_s << u"A"_s << 0;
    QTest::newRow("hex G rejected") << DisplayMode::Hexidecimal << u"G"_s << QString() << 1;
    QTest::newRow("hex 1G2") << DisplayMode::Hexidecimal << u"1G2"_s << u"12"_s << 1;
    QTest::newRow("hex up to max length") << DisplayMode::Hexidecimal << u"abc"_s << u"AB"_s << 0;
    QTest::newRow("dec digits") << DisplayMode::Decimal << u"255"_s << u"255"_s << 0;
    QTest::newRow("dec letters rejected") << DisplayMode::Decimal << u"1a.b"_s << u"1"_s << 3;
    QTest::newRow("chr any key") << DisplayMode::Charter << u"%"_s << u"%"_s << 0;
}

void TestGridEditor::keyFilter()
{
    QFETCH(DisplayMode, mode);
    QFETCH(QString, typed);
    QFETCH(QString, boxText);
    QFETCH(int, rejected);
    m_editor->setDisplayMode(mode);
    QTest::keyClicks(m_editor->dataString(), typed);
    QCOMPARE(m_editor->dataString()->text(), boxText);
    QCOMPARE(m_prompts->messages.size(), rejected);
    for (const auto& message : m_prompts->messages) {
        QCOMPARE(message.text, u"Invalid Charter Pressed"_s);
        QCOMPARE(message.caption, u"ERROR"_s);
        QCOMPARE(message.icon, UserPrompts::Icon::Information);
    }
    QVERIFY(!m_document->changed());
}

void TestGridEditor::editingKeysStillWork()
{
    m_editor->setDisplayMode(DisplayMode::Decimal);
    auto* box = m_editor->dataString();
    QTest::keyClicks(box, u"12"_s);
    QTest::keyClick(box, Qt::Key_Home);
    QTest::keyClicks(box, u"3"_s);
    QCOMPARE(box->text(), u"312"_s);
    QTest::keyClick(box, Qt::Key_Backspace);
    QCOMPARE(box->text(), u"12"_s);
    QTest::keyClick(box, Qt::Key_Delete);
    QCOMPARE(box->text(), u"2"_s);
    QTest::keyClick(box, Qt::Key_End);
    QTest::keyClick(box, Qt::Key_Left);
    QTest::keyClicks(box, u"4"_s);
    QCOMPARE(box->text(), u"42"_s);
    QVERIFY(m_prompts->messages.isEmpty());
}

void TestGridEditor::commitStoresByte_data()
{
    QTest::addColumn<DisplayMode>("mode");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("cellAfter");
    QTest::newRow("dec 255") << DisplayMode::Decimal << u"255"_s << 255 << u"255"_s;
    QTest::newRow("dec 007") << DisplayMode::Decimal << u"007"_s << 7 << u"07"_s;
    QTest::newRow("hex 7 shows 07") << DisplayMode::Hexidecimal << u"7"_s << 7 << u"07"_s;
    QTest::newRow("hex empty") << DisplayMode::Hexidecimal << QString() << 0 << u"00"_s;
    QTest::newRow("chr percent") << DisplayMode::Charter << u"%"_s << 37 << u"%"_s;
}

void TestGridEditor::commitStoresByte()
{
    QFETCH(DisplayMode, mode);
    QFETCH(QString, typed);
    QFETCH(int, value);
    QFETCH(QString, cellAfter);
    showAtWidth(9450);
    load(countingBytes(100));
    m_editor->setDisplayMode(mode);
    clickByte(30);
    QCOMPARE(m_editor->selectedIndex(), qsizetype(30));
    m_editor->dataString()->clear();
    QTest::keyClicks(m_editor->dataString(), typed);
    QTest::keyClick(m_editor->dataString(), Qt::Key_Return);
    QVERIFY(m_prompts->messages.isEmpty());
    QCOMPARE(int(m_document->valueAt(30)), value);
    QVERIFY(!m_document->isEmptyElement(30));
    QVERIFY(m_document->changed());
    QCOMPARE(m_editor->dataString()->text(), QString());
    // Neighbours untouched, the cell shows the new value at once.
    QCOMPARE(int(m_document->valueAt(29)), 30);
    QCOMPARE(int(m_document->valueAt(31)), 32);
    QCOMPARE(cellText(1, 7), cellAfter);
}

void TestGridEditor::decimalAboveRangeRefused()
{
    load(countingBytes(10));
    m_editor->setDisplayMode(DisplayMode::Decimal);
    QTest::keyClicks(m_editor->dataString(), u"256"_s);
    QTest::keyClick(m_editor->dataString(), Qt::Key_Enter);
    QCOMPARE(m_prompts->messages.size(), 1);
    QVERIFY(m_prompts->messages.at(0).text.contains(u"must be from 0 to 255"_s));
    QCOMPARE(m_prompts->messages.at(0).caption, u"Railwright"_s);
    QCOMPARE(int(m_document->valueAt(0)), 1);
    QVERIFY(!m_document->changed());
    // The text stays so the user can correct it.
    QCOMPARE(m_editor->dataString()->text(), u"256"_s);
}

void TestGridEditor::charterEmptyMakesEmptyElement()
{
    showAtWidth(9450);
    load(countingBytes(10));
    m_editor->setDisplayMode(DisplayMode::Charter);
    clickByte(3);
    QCOMPARE(m_editor->dataString()->text(), QString(QChar(4)));
    QTest::keyClick(m_editor->dataString(), Qt::Key_Backspace);
    QTest::keyClick(m_editor->dataString(), Qt::Key_Return);
    QVERIFY(m_document->isEmptyElement(3));
    QCOMPARE(int(m_document->valueAt(3)), 0);
    QVERIFY(m_document->changed());
    QCOMPARE(cellText(0, 4), QString());
    m_editor->setDisplayMode(DisplayMode::Hexidecimal);
    QCOMPARE(cellText(0, 4), u"00"_s);
}

void TestGridEditor::commitPastEndChangesNothing()
{
    showAtWidth(9450);
    load(countingBytes(100));
    const auto before = m_document->contents();
    clickByte(110);
    QCOMPARE(m_editor->selectedIndex(), qsizetype(110));
    QCOMPARE(m_editor->dataString()->text(), QString());
    QTest::keyClicks(m_editor->dataString(), u"12"_s);
    QTest::keyClick(m_editor->dataString(), Qt::Key_Return);
    QCOMPARE(m_document->contents(), before);
    QCOMPARE(m_document->length(), qsizetype(100));
    QVERIFY(!m_document->changed());
    QCOMPARE(m_prompts->messages.size(), 1);
    QVERIFY(m_prompts->messages.at(0).text.contains(u"6E"_s));
}

void TestGridEditor::modeChangeKeepsSelection()
{
    showAtWidth(9450);
    load(countingBytes(100));
    clickByte(5);
    QCOMPARE(m_editor->dataString()->text(), u"06"_s);
    m_editor->charMode()->setCurrentIndex(1); // Decimal
    QCOMPARE(m_editor->dataString()->text(), QString());
    QCOMPARE(m_editor->selectedIndex(), qsizetype(5));
    QTest::keyClicks(m_editor->dataString(), u"200"_s);
    QTest::keyClick(m_editor->dataString(), Qt::Key_Return);
    QCOMPARE(int(m_document->valueAt(5)), 200);
    QCOMPARE(cellText(0, 6), u"200"_s);
}

void TestGridEditor::statusTextsFollowPointer()
{
    showAtWidth(9450);
    auto bytes = countingBytes(40);
    bytes[26] = 10;
    load(bytes);
    QSignalSpy spy(m_editor.get(), &GridEditor::statusTextsChanged);
    auto* viewport = m_editor->grid()->viewport();

    QTest::mouseMove(viewport, cellCentre(26));
    QVERIFY(!spy.isEmpty());
    QCOMPARE(spy.last().at(0).toStringList(),
             (QStringList{u"Adress: 1A"_s, u"Hex: 0A"_s, u"Dec: 10"_s, u"Chr: \n"_s}));
    QCOMPARE(m_editor->pointedIndex(), qsizetype(26));

    // The label column points at its row's first byte.
    const QRect label = m_editor->grid()->visualRect(m_editor->grid()->model()->index(1, 0));
    QTest::mouseMove(viewport, label.center());
    QCOMPARE(m_editor->pointedIndex(), qsizetype(24));
    QCOMPARE(spy.last().at(0).toStringList().at(0), u"Adress: 18"_s);
    QCOMPARE(spy.last().at(0).toStringList().at(1), u"Hex: 19"_s);

    // Past the end: its own address, the last byte's value.
    QTest::mouseMove(viewport, cellCentre(45));
    QCOMPARE(spy.last().at(0).toStringList(),
             (QStringList{u"Adress: 2D"_s, u"Hex: 28"_s, u"Dec: 40"_s, u"Chr: ("_s}));

    // Below the last row.
    QTest::mouseMove(viewport, QPoint(label.center().x(), viewport->height() - 2));
    QCOMPARE(spy.last().at(0).toStringList(),
             (QStringList{u"Adress: 0"_s, u"Hex: 0"_s, u"Dec: 0"_s, u"Chr: 0"_s}));
    QVERIFY(!m_document->changed());
}

void TestGridEditor::clickAndDoubleClick()
{
    showAtWidth(9450);
    load(countingBytes(100));
    auto* viewport = m_editor->grid()->viewport();
    clickByte(9);
    QCOMPARE(m_editor->selectedIndex(), qsizetype(9));
    QCOMPARE(m_editor->dataString()->text(), u"0A"_s);

    m_editor->setDisplayMode(DisplayMode::Charter);
    clickByte(64);
    QCOMPARE(m_editor->dataString()->text(), u"A"_s);

    m_editor->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_editor.get()));
    m_editor->grid()->setFocus();
    m_editor->setDisplayMode(DisplayMode::Decimal);
    const QPoint centre = cellCentre(49);
    QTest::mouseMove(viewport, centre);
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, centre);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, centre);
    QCOMPARE(m_editor->selectedIndex(), qsizetype(49));
    QCOMPARE(m_editor->dataString()->text(), u"50"_s);
    QCOMPARE(m_editor->dataString()->selectedText(), u"50"_s);
    QTRY_VERIFY(m_editor->dataString()->hasFocus());
    // Typing replaces the value at once.
    QTest::keyClicks(m_editor->dataString(), u"9"_s);
    QTest::keyClick(m_editor->dataString(), Qt::Key_Return);
    QCOMPARE(int(m_document->valueAt(49)), 9);
}

void TestGridEditor::keyboardNavigationSelectsNothing()
{
    showAtWidth(9450);
    load(countingBytes(100));
    clickByte(9);
    m_editor->grid()->setFocus();
    QTest::keyClick(m_editor->grid(), Qt::Key_Right);
    QTest::keyClick(m_editor->grid(), Qt::Key_Down);
    QTest::keyClick(m_editor->grid(), Qt::Key_Return);
    QCOMPARE(m_editor->selectedIndex(), qsizetype(9));
    QCOMPARE(m_editor->dataString()->text(), u"0A"_s);
    QVERIFY(isMarked(0, 10));
}

void TestGridEditor::selectedByteStaysMarked()
{
    showAtWidth(9450);
    load(countingBytes(100));
    QVERIFY(isMarked(0, 1)); // byte 0 until something is clicked
    clickByte(30);
    QVERIFY(isMarked(1, 7));
    QVERIFY(!isMarked(0, 1));
    QVERIFY(!isMarked(1, 8));
    // A narrower grid puts byte 30 in row 7, column 3; the mark goes with it.
    showAtWidth(2000);
    QVERIFY(isMarked(7, 3));
    QVERIFY(!isMarked(1, 3));
}

void TestGridEditor::labelColumnSelectsRowStart()
{
    showAtWidth(9450);
    load(countingBytes(100));
    const QModelIndex label = m_editor->grid()->model()->index(2, 0);
    QTest::mouseClick(m_editor->grid()->viewport(), Qt::LeftButton, {},
                      m_editor->grid()->visualRect(label).center());
    QCOMPARE(m_editor->selectedIndex(), qsizetype(48));
    QCOMPARE(m_editor->dataString()->text(), u"31"_s);
}

void TestGridEditor::cellsArePainted()
{
    showAtWidth(9450);
    load(countingBytes(30));
    auto* grid = m_editor->grid();
    const QImage image = grid->viewport()->grab().toImage();
    // Dark text pixels in a shown cell; none in a cell after the document's end.
    const auto inkIn = [&](const QModelIndex& cell) {
        const QRect rect = grid->visualRect(cell).adjusted(1, 1, -1, -1);
        int ink = 0;
        for (int y = rect.top(); y <= rect.bottom(); ++y) {
            for (int x = rect.left(); x <= rect.right(); ++x) {
                ink += qGray(image.pixel(x * image.width() / grid->viewport()->width(),
                                         y * image.height() / grid->viewport()->height())) < 128;
            }
        }
        return ink;
    };
    QVERIFY(inkIn(grid->model()->index(1, 6)) > 0);
    QVERIFY(inkIn(grid->model()->index(1, 0)) > 0);
    QCOMPARE(inkIn(grid->model()->index(1, 7)), 0);
}

void TestGridEditor::bytesBeyond32768()
{
    showAtWidth(9450);
    load(countingBytes(65000));
    const auto* model = m_editor->grid()->model();
    QCOMPARE(model->rowCount(), (65000 + 23) / 24);
    QCOMPARE(cellText(model->rowCount() - 1, 0), QString::number(64992, 16).toUpper());
    const qsizetype index = 40000;
    clickByte(index);
    QCOMPARE(m_editor->selectedIndex(), index);
    QCOMPARE(m_editor->dataString()->text(),
             QString::number(40000 % 255 + 1, 16).toUpper().rightJustified(2, u'0'));
    m_editor->dataString()->selectAll();
    QTest::keyClicks(m_editor->dataString(), u"AB"_s);
    QTest::keyClick(m_editor->dataString(), Qt::Key_Return);
    QCOMPARE(int(m_document->valueAt(index)), 0xAB);
    QCOMPARE(int(m_document->valueAt(index - 32768)), (index - 32768) % 255 + 1);
    QCOMPARE(cellText(int(index / 24), int(index % 24) + 1), u"AB"_s);
    QCOMPARE(cellText(int(64999 / 24), int(64999 % 24) + 1),
             QString::number(64999 % 255 + 1, 16).toUpper().rightJustified(2, u'0'));
}

void TestGridEditor::followsDocumentAtOnce()
{
    showAtWidth(9450);
    load(countingBytes(100));
    auto* model = m_editor->grid()->model();
    QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
    QVERIFY(m_document->setByte(50, 0x7F));
    QCOMPARE(cellText(2, 3), u"7F"_s);
    QVERIFY(!changed.isEmpty());
    const auto topLeft = changed.last().at(0).toModelIndex();
    const auto bottomRight = changed.last().at(1).toModelIndex();
    QVERIFY(topLeft.row() <= 2 && bottomRight.row() >= 2);
    QVERIFY(topLeft.column() <= 3 && bottomRight.column() >= 3);

    // Zeroing the last byte hides it, and the row it alone filled, at once.
    QVERIFY(m_document->setByte(96, 0));
    QVERIFY(m_document->setByte(97, 0));
    QVERIFY(m_document->setByte(98, 0));
    QVERIFY(m_document->setByte(99, 0));
    QCOMPARE(model->rowCount(), 4);
    QVERIFY(m_document->setByte(99, 1));
    QCOMPARE(model->rowCount(), 5);
    QCOMPARE(cellText(4, 1), u"00"_s);
    QCOMPARE(cellText(4, 4), u"01"_s);

    // A replaced document brings its own length.
    QVERIFY(m_document->replaceContents(countingBytes(30)));
    QCOMPARE(model->rowCount(), 2);
    QCOMPARE(cellText(1, 6), u"1E"_s);
    QCOMPARE(cellText(1, 7), QString());
    m_document->reset();
    QCOMPARE(model->rowCount(), 0);
}

void TestGridEditor::clipboard()
{
    load(countingBytes(10));
    const auto before = m_document->contents();
    auto* clipboard = QGuiApplication::clipboard();
    auto* box = m_editor->dataString();
    m_editor->setDisplayMode(DisplayMode::Decimal);

    // Nothing selected: empty text goes on the clipboard, Cut still empties the box.
    clipboard->setText(u"old"_s);
    box->setText(u"42"_s);
    m_editor->copyText();
    QCOMPARE(clipboard->text(), QString());
    QCOMPARE(box->text(), u"42"_s);
    clipboard->setText(u"old"_s);
    m_editor->cutText();
    QCOMPARE(clipboard->text(), QString());
    QCOMPARE(box->text(), QString());

    // "4" selected of "42".
    box->setText(u"42"_s);
    box->setSelection(0, 1);
    m_editor->cutText();
    QCOMPARE(clipboard->text(), u"4"_s);
    QCOMPARE(box->text(), QString());

    box->setText(u"42"_s);
    box->setSelection(0, 1);
    m_editor->copyText();
    QCOMPARE(clipboard->text(), u"4"_s);
    m_editor->deleteText();
    QCOMPARE(box->text(), u"2"_s);

    // Delete without a selection does nothing.
    box->setCursorPosition(0);
    m_editor->deleteText();
    QCOMPARE(box->text(), u"2"_s);

    // Paste at the caret, and in place of a selection.
    clipboard->setText(u"1"_s);
    box->setCursorPosition(0);
    m_editor->pasteText();
    QCOMPARE(box->text(), u"12"_s);
    box->setSelection(1, 1);
    clipboard->setText(u"9"_s);
    m_editor->pasteText();
    QCOMPARE(box->text(), u"19"_s);

    // An empty clipboard still removes the selection.
    clipboard->clear();
    box->setSelection(0, 1);
    m_editor->pasteText();
    QCOMPARE(box->text(), u"9"_s);

    QCOMPARE(m_document->contents(), before);
    QVERIFY(!m_document->changed());

    // What the commands leave in the box is committed by Enter as typed text is.
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(int(m_document->valueAt(0)), 9);
}

void TestGridEditor::pasteIsBoundedAndUnfiltered()
{
    load(countingBytes(10));
    auto* clipboard = QGuiApplication::clipboard();
    auto* box = m_editor->dataString();

    clipboard->setText(u"abcdef"_s);
    m_editor->pasteText();
    QCOMPARE(box->text(), u"ab"_s); // hex box holds two characters; no key filter
    QVERIFY(m_prompts->messages.isEmpty());
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(int(m_document->valueAt(0)), 0xAB);

    m_editor->setDisplayMode(DisplayMode::Decimal);
    clipboard->setText(u"x5"_s);
    m_editor->pasteText();
    QCOMPARE(box->text(), u"x5"_s);
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(int(m_document->valueAt(0)), 0); // no leading digits read as 0

    m_editor->setDisplayMode(DisplayMode::Charter);
    clipboard->setText(u"\u20ACx"_s);
    m_editor->pasteText();
    QCOMPARE(box->text(), u"\u20AC"_s);
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(m_prompts->messages.size(), 1);
    QCOMPARE(int(m_document->valueAt(0)), 0);
    QCOMPARE(box->text(), u"\u20AC"_s);
}

QTEST_MAIN(TestGridEditor)
#include "tst_grid_editor.moc"
