// The grid editor's widgets and their wiring to the document. The full tables of key
// filtering, parsing, cell texts and row geometry are tested on the functions in
// tst_byte_editing and tst_grid_geometry; here a few representative cases prove that the
// widgets use them.
#include "support/scripted_prompts.h"
#include "ui/grid/byte_editing.h"
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
using railwright::test::ScriptedPrompts;

namespace {

// Bytes 1, 2, 3, ... wrapping past 255 to 1 again, so none is zero.
railwright::ByteBuffer countingBytes(qsizetype length)
{
    railwright::ByteBuffer bytes(static_cast<std::size_t>(length));
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = std::uint8_t(i % 255 + 1);
    }
    return bytes;
}

// How the grid shows byte `index` of countingBytes() in hexadecimal.
QString countingHex(qsizetype index)
{
    return QString::number(int(index % 255 + 1), 16).toUpper().rightJustified(2, u'0');
}

} // namespace

class TestGridEditor : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startsInHexWithNoRows();
    void gridFollowsWidth_data();
    void gridFollowsWidth();
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
    void selectionIsMarkedAndKeptByKeys();
    void cellsArePainted();
    void paintingFollowsModeSelectionAndEdits();
    void bytesBeyond32768();
    void followsDocumentAtOnce();
    void clipboard();
    void pasteIsBoundedAndUnfiltered();

private:
    // Sizes the editor so that the grid is `widthTwips` wide, shows it and lets the
    // resize reach the grid.
    void showAtWidth(double widthTwips);
    // Shows the editor at its design width holding countingBytes(length).
    void showCounting(qsizetype length);
    [[nodiscard]] QString cellText(int row, int column) const;
    [[nodiscard]] bool isMarked(int row, int column) const;
    [[nodiscard]] QPoint cellCentre(qsizetype byteIndex) const;
    // The cell of byte `byteIndex` as the grid paints it now.
    [[nodiscard]] QImage paintedCell(qsizetype byteIndex) const;
    void clickByte(qsizetype byteIndex);
    // Types `text` into the edit box and commits it with Return.
    void commit(const QString& text);

    std::unique_ptr<TrackDesignDocument> m_document;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    std::unique_ptr<GridEditor> m_editor;
};

void TestGridEditor::init()
{
    m_document = std::make_unique<TrackDesignDocument>();
    m_prompts = std::make_unique<ScriptedPrompts>();
    m_editor = std::make_unique<GridEditor>(*m_document, *m_prompts);
}

void TestGridEditor::cleanup()
{
    // The grid editor never asks questions or for file names.
    QCOMPARE(m_prompts->unexpected, QStringList());
    m_editor.reset();
    m_prompts.reset();
    m_document.reset();
}

void TestGridEditor::showAtWidth(double widthTwips)
{
    const double dpi = m_editor->grid()->logicalDpiX();
    const int pixels = railwright::GridGeometry::twipsToPixels(widthTwips, dpi);
    m_editor->resize(pixels, 400);
    m_editor->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_editor.get()));
    if (m_editor->grid()->width() != pixels) {
        // Narrower than the editing row allows: size the grid alone, as a squeezed
        // window would.
        m_editor->grid()->resize(pixels, m_editor->grid()->height());
    }
    QCOMPARE(m_editor->grid()->width(), pixels);
}

void TestGridEditor::showCounting(qsizetype length)
{
    showAtWidth(9450);
    QVERIFY(m_document->loadContents(countingBytes(length)));
}

QString TestGridEditor::cellText(int row, int column) const
{
    return m_editor->grid()->model()->index(row, column).data().toString();
}

bool TestGridEditor::isMarked(int row, int column) const
{
    return m_editor->grid()->model()->index(row, column).data(Qt::BackgroundRole).isValid();
}

QPoint TestGridEditor::cellCentre(qsizetype byteIndex) const
{
    const int perRow = m_editor->bytesPerRow();
    const auto* model = m_editor->grid()->model();
    const QModelIndex cell = model->index(int(byteIndex / perRow), int(byteIndex % perRow) + 1);
    m_editor->grid()->scrollTo(cell);
    return m_editor->grid()->visualRect(cell).center();
}

QImage TestGridEditor::paintedCell(qsizetype byteIndex) const
{
    const QRect cell(cellCentre(byteIndex), QSize());
    auto* grid = m_editor->grid();
    return grid->viewport()->grab(grid->visualRect(grid->indexAt(cell.topLeft()))).toImage();
}

void TestGridEditor::clickByte(qsizetype byteIndex)
{
    const QPoint centre = cellCentre(byteIndex);
    QTest::mouseMove(m_editor->grid()->viewport(), centre);
    QTest::mouseClick(m_editor->grid()->viewport(), Qt::LeftButton, {}, centre);
}

void TestGridEditor::commit(const QString& text)
{
    QTest::keyClicks(m_editor->dataString(), text);
    QTest::keyClick(m_editor->dataString(), Qt::Key_Return);
}

void TestGridEditor::startsInHexWithNoRows()
{
    showAtWidth(9450);
    const QComboBox* modes = m_editor->charMode();
    QCOMPARE(modes->currentText(), u"Hexidecimal"_s);
    QCOMPARE(modes->count(), 3);
    const std::pair<QString, int> items[] = {
        {u"Charter"_s, 1}, {u"Decimal"_s, 3}, {u"Hexidecimal"_s, 2}};
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(modes->itemText(i), items[i].first);
        QCOMPARE(modes->itemData(i).toInt(), items[i].second);
    }
    QCOMPARE(m_editor->dataString()->maxLength(), 2);
    QCOMPARE(m_editor->displayMode(), DisplayMode::Hexidecimal);
    QVERIFY(m_editor->skipZeros());
    QCOMPARE(m_editor->grid()->model()->rowCount(), 0);
    QCOMPARE(m_editor->selectedIndex(), qsizetype(0));
    QCOMPARE(m_editor->pointedIndex(), qsizetype(0));
    QVERIFY(m_editor->grid()->horizontalHeader()->isHidden());
    QVERIFY(m_editor->grid()->verticalHeader()->isHidden());
    const auto* label = m_editor->findChild<QLabel*>(u"DatSrtingLabel"_s);
    QVERIFY(label);
    QCOMPARE(label->text(), u"Data String"_s);
    QCOMPARE(m_editor->findChild<QLineEdit*>(u"DataString"_s), m_editor->dataString());
    QCOMPARE(m_editor->findChild<QTableView*>(u"Grid"_s), m_editor->grid());
}

void TestGridEditor::gridFollowsWidth_data()
{
    QTest::addColumn<double>("widthTwips");
    QTest::addColumn<int>("perRow");
    QTest::newRow("design width") << 9450.0 << 24;
    QTest::newRow("2000 twips") << 2000.0 << 4;
    QTest::newRow("wider") << 14400.0 << 38;
    QTest::newRow("tiny") << 150.0 << 4;
}

void TestGridEditor::gridFollowsWidth()
{
    QFETCH(double, widthTwips);
    QFETCH(int, perRow);
    showCounting(100);
    showAtWidth(widthTwips);
    QCOMPARE(m_editor->bytesPerRow(), perRow);
    const auto* model = m_editor->grid()->model();
    const int rows = (100 + perRow - 1) / perRow;
    QCOMPARE(model->columnCount(), perRow + 1);
    QCOMPARE(model->rowCount(), rows);
    QCOMPARE(cellText(1, 0), QString::number(perRow, 16).toUpper());
    QCOMPARE(cellText(rows - 1, 0), QString::number((rows - 1) * perRow, 16).toUpper());
    QCOMPARE(cellText(1, 1), countingHex(perRow));
    // The last byte and the empty cells after it.
    const int lastColumn = 99 % perRow + 1;
    QCOMPARE(cellText(rows - 1, lastColumn), countingHex(99));
    for (int c = lastColumn + 1; c <= perRow; ++c) {
        QCOMPARE(cellText(rows - 1, c), QString());
    }
    QCOMPARE(model->index(1, 0).data(Qt::TextAlignmentRole).toInt(),
             int(Qt::AlignLeft | Qt::AlignTop));
    QCOMPARE(model->index(0, 1).data(Qt::TextAlignmentRole).toInt(), int(Qt::AlignCenter));
    // Column widths in pixels at the screen's resolution, kept after the model was rebuilt.
    const double dpi = m_editor->grid()->logicalDpiX();
    QCOMPARE(m_editor->grid()->columnWidth(0), railwright::GridGeometry::twipsToPixels(700, dpi));
    QCOMPARE(m_editor->grid()->columnWidth(3), railwright::GridGeometry::twipsToPixels(350, dpi));
}

void TestGridEditor::trailingZerosHiddenAndShown()
{
    showAtWidth(9450);
    // The start-up element is a trailing zero too.
    m_editor->setSkipZeros(false);
    QCOMPARE(m_editor->grid()->model()->rowCount(), 1);
    QCOMPARE(cellText(0, 0), u"0"_s);
    QCOMPARE(cellText(0, 1), u"00"_s);
    QCOMPARE(cellText(0, 2), QString());
    m_editor->setSkipZeros(true);
    QCOMPARE(m_editor->grid()->model()->rowCount(), 0);

    auto bytes = countingBytes(100);
    std::fill(bytes.end() - 10, bytes.end(), 0);
    bytes[20] = 0; // an inner zero is always shown
    QVERIFY(m_document->loadContents(bytes));
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
    QVERIFY(m_document->loadContents(railwright::ByteBuffer(300, 0)));
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
    QVERIFY(m_document->loadContents({'A', 10, 255}));
    if (mode == DisplayMode::Hexidecimal) {
        m_editor->setDisplayMode(DisplayMode::Decimal);
    }
    m_editor->dataString()->setText(u"1"_s);
    // Pick the mode as the user would, in the combo box.
    m_editor->charMode()->setCurrentIndex(m_editor->charMode()->findData(int(mode)));
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
    QTest::newRow("hex") << DisplayMode::Hexidecimal << u"a1G"_s << u"A1"_s << 1;
    QTest::newRow("dec") << DisplayMode::Decimal << u"1a.b"_s << u"1"_s << 3;
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
    for (const auto& message : std::as_const(m_prompts->messages)) {
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
    QTest::keyClick(box, Qt::Key_Backspace);
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
    QTest::newRow("dec 007") << DisplayMode::Decimal << u"007"_s << 7 << u"07"_s;
    QTest::newRow("hex empty") << DisplayMode::Hexidecimal << QString() << 0 << u"00"_s;
    QTest::newRow("chr percent") << DisplayMode::Charter << u"%"_s << 37 << u"%"_s;
}

void TestGridEditor::commitStoresByte()
{
    QFETCH(DisplayMode, mode);
    QFETCH(QString, typed);
    QFETCH(int, value);
    QFETCH(QString, cellAfter);
    showCounting(100);
    m_editor->setDisplayMode(mode);
    clickByte(30);
    QCOMPARE(m_editor->selectedIndex(), qsizetype(30));
    m_editor->dataString()->clear();
    commit(typed);
    QVERIFY(m_prompts->messages.isEmpty());
    auto expected = countingBytes(100);
    expected[30] = std::uint8_t(value);
    QCOMPARE(m_document->contents(), expected);
    QVERIFY(!m_document->isEmptyElement(30));
    QVERIFY(m_document->changed());
    QCOMPARE(m_editor->dataString()->text(), QString());
    QCOMPARE(cellText(1, 7), cellAfter); // shown at once
}

void TestGridEditor::decimalAboveRangeRefused()
{
    QVERIFY(m_document->loadContents(countingBytes(10)));
    m_editor->setDisplayMode(DisplayMode::Decimal);
    QTest::keyClicks(m_editor->dataString(), u"256"_s);
    QTest::keyClick(m_editor->dataString(), Qt::Key_Enter);
    QCOMPARE(m_prompts->messages.size(), 1);
    QVERIFY(m_prompts->messages.at(0).text.contains(u"must be from 0 to 255"_s));
    QCOMPARE(m_prompts->messages.at(0).caption, u"Railwright"_s);
    QCOMPARE(m_document->contents(), countingBytes(10));
    QVERIFY(!m_document->changed());
    // The text stays so the user can correct it.
    QCOMPARE(m_editor->dataString()->text(), u"256"_s);
}

void TestGridEditor::charterEmptyMakesEmptyElement()
{
    showCounting(10);
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
    showCounting(100);
    clickByte(110);
    QCOMPARE(m_editor->selectedIndex(), qsizetype(110));
    QCOMPARE(m_editor->dataString()->text(), QString());
    commit(u"12"_s);
    QCOMPARE(m_document->contents(), countingBytes(100));
    QVERIFY(!m_document->changed());
    QCOMPARE(m_prompts->messages.size(), 1);
    QVERIFY(m_prompts->messages.at(0).text.contains(u"6E"_s));
}

void TestGridEditor::modeChangeKeepsSelection()
{
    showCounting(100);
    clickByte(5);
    QCOMPARE(m_editor->dataString()->text(), u"06"_s);
    m_editor->charMode()->setCurrentIndex(1); // Decimal
    QCOMPARE(m_editor->dataString()->text(), QString());
    QCOMPARE(m_editor->selectedIndex(), qsizetype(5));
    commit(u"200"_s);
    QCOMPARE(int(m_document->valueAt(5)), 200);
    QCOMPARE(cellText(0, 6), u"200"_s);
}

void TestGridEditor::statusTextsFollowPointer()
{
    showAtWidth(9450);
    auto bytes = countingBytes(40);
    bytes[26] = 10;
    QVERIFY(m_document->loadContents(bytes));
    QSignalSpy spy(m_editor.get(), &GridEditor::statusTextsChanged);
    auto* viewport = m_editor->grid()->viewport();

    // The texts themselves are tested on StatusTexts(); here they must reach the panels.
    QTest::mouseMove(viewport, cellCentre(26));
    QVERIFY(!spy.isEmpty());
    QCOMPARE(spy.last().at(0).toStringList(), railwright::StatusTexts(*m_document, 26));
    QCOMPARE(spy.last().at(0).toStringList().mid(0, 3),
             (QStringList{u"Adress: 1A"_s, u"Hex: 0A"_s, u"Dec: 10"_s}));
    QCOMPARE(m_editor->pointedIndex(), qsizetype(26));

    // The label column points at its row's first byte.
    const QRect label = m_editor->grid()->visualRect(m_editor->grid()->model()->index(1, 0));
    QTest::mouseMove(viewport, label.center());
    QCOMPARE(m_editor->pointedIndex(), qsizetype(24));
    QCOMPARE(spy.last().at(0).toStringList().mid(0, 2),
             (QStringList{u"Adress: 18"_s, u"Hex: 19"_s}));

    // Past the end of the document, then below the last row.
    QTest::mouseMove(viewport, cellCentre(45));
    QCOMPARE(spy.last().at(0).toStringList().at(0), u"Adress: 2D"_s);
    QTest::mouseMove(viewport, QPoint(label.center().x(), viewport->height() - 2));
    QCOMPARE(spy.last().at(0).toStringList(),
             (QStringList{u"Adress: 0"_s, u"Hex: 0"_s, u"Dec: 0"_s, u"Chr: 0"_s}));
    QVERIFY(!m_document->changed());
}

void TestGridEditor::clickAndDoubleClick()
{
    showCounting(100);
    auto* viewport = m_editor->grid()->viewport();
    clickByte(9);
    QCOMPARE(m_editor->selectedIndex(), qsizetype(9));
    QCOMPARE(m_editor->dataString()->text(), u"0A"_s);

    m_editor->setDisplayMode(DisplayMode::Charter);
    clickByte(64);
    QCOMPARE(m_editor->dataString()->text(), u"A"_s);

    // A click on a row label selects the row's first byte.
    m_editor->setDisplayMode(DisplayMode::Hexidecimal);
    const QModelIndex label = m_editor->grid()->model()->index(2, 0);
    QTest::mouseClick(viewport, Qt::LeftButton, {}, m_editor->grid()->visualRect(label).center());
    QCOMPARE(m_editor->selectedIndex(), qsizetype(48));
    QCOMPARE(m_editor->dataString()->text(), u"31"_s);

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
    commit(u"9"_s);
    QCOMPARE(int(m_document->valueAt(49)), 9);
}

void TestGridEditor::selectionIsMarkedAndKeptByKeys()
{
    showCounting(100);
    QVERIFY(isMarked(0, 1)); // byte 0 until something is clicked
    clickByte(30);
    QVERIFY(isMarked(1, 7));
    QVERIFY(!isMarked(0, 1));
    QVERIFY(!isMarked(1, 8));
    // Moving about the grid with the keyboard selects nothing.
    m_editor->grid()->setFocus();
    QTest::keyClick(m_editor->grid(), Qt::Key_Right);
    QTest::keyClick(m_editor->grid(), Qt::Key_Down);
    QTest::keyClick(m_editor->grid(), Qt::Key_Return);
    QCOMPARE(m_editor->selectedIndex(), qsizetype(30));
    QCOMPARE(m_editor->dataString()->text(), u"1F"_s);
    QVERIFY(isMarked(1, 7));
    // A narrower grid puts byte 30 in row 7, column 3; the mark goes with it.
    showAtWidth(2000);
    QVERIFY(isMarked(7, 3));
    QVERIFY(!isMarked(1, 3));
}

void TestGridEditor::cellsArePainted()
{
    showCounting(30);
    auto* grid = m_editor->grid();
    const QImage image = grid->viewport()->grab().toImage();
    // Dark text pixels in a shown cell; none in a cell after the document's end.
    const auto inkIn = [&](int row, int column) {
        const QRect rect =
            grid->visualRect(grid->model()->index(row, column)).adjusted(1, 1, -1, -1);
        int ink = 0;
        for (int y = rect.top(); y <= rect.bottom(); ++y) {
            for (int x = rect.left(); x <= rect.right(); ++x) {
                ink += qGray(image.pixel(x * image.width() / grid->viewport()->width(),
                                         y * image.height() / grid->viewport()->height())) < 128;
            }
        }
        return ink;
    };
    QVERIFY(inkIn(1, 6) > 0);
    QVERIFY(inkIn(1, 0) > 0);
    QCOMPARE(inkIn(1, 7), 0);
}

void TestGridEditor::paintingFollowsModeSelectionAndEdits()
{
    showCounting(30);
    // Byte 15 holds 0x10, byte 2 holds 3: different texts in every mode.
    const QImage hex = paintedCell(15);
    QVERIFY(hex != paintedCell(2));
    m_editor->setDisplayMode(DisplayMode::Decimal);
    QVERIFY(paintedCell(15) != hex);
    m_editor->setDisplayMode(DisplayMode::Hexidecimal);
    QCOMPARE(paintedCell(15), hex);

    // The same value looks the same in any cell of the row, and an edit shows at once.
    m_document->setByte(15, 3);
    QCOMPARE(paintedCell(15), paintedCell(2));

    const QRgb highlight = QPalette().color(QPalette::Highlight).rgb();
    const auto highlighted = [&](qsizetype byteIndex) {
        const QImage cell = paintedCell(byteIndex);
        int count = 0;
        for (int y = 0; y < cell.height(); ++y) {
            for (int x = 0; x < cell.width(); ++x) {
                count += cell.pixel(x, y) == highlight;
            }
        }
        return count * 2 > cell.width() * cell.height();
    };
    QVERIFY(highlighted(0));
    clickByte(5);
    QVERIFY(highlighted(5));
    QVERIFY(!highlighted(0));
}

void TestGridEditor::bytesBeyond32768()
{
    showCounting(65000);
    const auto* model = m_editor->grid()->model();
    QCOMPARE(model->rowCount(), (65000 + 23) / 24);
    QCOMPARE(cellText(model->rowCount() - 1, 0), QString::number(64992, 16).toUpper());
    QCOMPARE(cellText(64999 / 24, 64999 % 24 + 1), countingHex(64999));
    const qsizetype index = 40000;
    clickByte(index);
    QCOMPARE(m_editor->selectedIndex(), index);
    QCOMPARE(m_editor->dataString()->text(), countingHex(index));
    m_editor->dataString()->selectAll();
    commit(u"AB"_s);
    auto expected = countingBytes(65000);
    expected[index] = 0xAB;
    QCOMPARE(m_document->contents(), expected);
    QCOMPARE(cellText(int(index / 24), int(index % 24) + 1), u"AB"_s);
}

void TestGridEditor::followsDocumentAtOnce()
{
    showCounting(100);
    auto* model = m_editor->grid()->model();
    QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
    QVERIFY(m_document->setByte(50, 0x7F));
    QCOMPARE(cellText(2, 3), u"7F"_s);
    QVERIFY(!changed.isEmpty());
    const auto topLeft = changed.last().at(0).toModelIndex();
    const auto bottomRight = changed.last().at(1).toModelIndex();
    QVERIFY(topLeft.row() <= 2 && bottomRight.row() >= 2);
    QVERIFY(topLeft.column() <= 3 && bottomRight.column() >= 3);

    // Zeroing the last bytes hides them, and the row they alone filled, at once.
    for (qsizetype i = 96; i < 100; ++i) {
        QVERIFY(m_document->setByte(i, 0));
    }
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
    QVERIFY(m_document->loadContents(countingBytes(10)));
    auto* clipboard = QGuiApplication::clipboard();
    auto* box = m_editor->dataString();
    m_editor->setDisplayMode(DisplayMode::Decimal);
    const auto select = [box](const QString& text, int start, int length) {
        box->setText(text);
        box->setSelection(start, length);
    };

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

    select(u"42"_s, 0, 1);
    m_editor->cutText();
    QCOMPARE(clipboard->text(), u"4"_s);
    QCOMPARE(box->text(), QString());

    select(u"42"_s, 0, 1);
    m_editor->copyText();
    QCOMPARE(clipboard->text(), u"4"_s);
    m_editor->deleteText();
    QCOMPARE(box->text(), u"2"_s);
    box->setCursorPosition(0);
    m_editor->deleteText(); // without a selection: nothing
    QCOMPARE(box->text(), u"2"_s);

    // Paste at the caret, in place of a selection, and an empty clipboard still removes
    // the selection.
    clipboard->setText(u"1"_s);
    m_editor->pasteText();
    QCOMPARE(box->text(), u"12"_s);
    box->setSelection(1, 1);
    clipboard->setText(u"9"_s);
    m_editor->pasteText();
    QCOMPARE(box->text(), u"19"_s);
    clipboard->clear();
    box->setSelection(0, 1);
    m_editor->pasteText();
    QCOMPARE(box->text(), u"9"_s);

    QCOMPARE(m_document->contents(), countingBytes(10));
    QVERIFY(!m_document->changed());
    // What the commands leave in the box is committed by Enter as typed text is.
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(int(m_document->valueAt(0)), 9);
}

void TestGridEditor::pasteIsBoundedAndUnfiltered()
{
    QVERIFY(m_document->loadContents(countingBytes(10)));
    auto* clipboard = QGuiApplication::clipboard();
    auto* box = m_editor->dataString();
    const auto pasteAndCommit = [&](const QString& text, const QString& inBox) {
        clipboard->setText(text);
        m_editor->pasteText();
        QCOMPARE(box->text(), inBox);
        QTest::keyClick(box, Qt::Key_Return);
    };

    pasteAndCommit(u"abcdef"_s, u"ab"_s); // hex box holds two characters; no key filter
    QVERIFY(m_prompts->messages.isEmpty());
    QCOMPARE(int(m_document->valueAt(0)), 0xAB);

    m_editor->setDisplayMode(DisplayMode::Decimal);
    pasteAndCommit(u"x5"_s, u"x5"_s);
    QCOMPARE(int(m_document->valueAt(0)), 0); // no leading digits read as 0

    m_editor->setDisplayMode(DisplayMode::Charter);
    pasteAndCommit(u"\u20ACx"_s, u"\u20AC"_s);
    QCOMPARE(m_prompts->messages.size(), 1);
    QCOMPARE(int(m_document->valueAt(0)), 0);
    QCOMPARE(box->text(), u"\u20AC"_s);
}

QTEST_MAIN(TestGridEditor)
#include "tst_grid_editor.moc"
