// The byte grid: its widget-free parts (what a commit stores, the texts of cells and
// status panels, the layout of rows and columns) and the editor's widgets wired to the
// document.
#include "support/scripted_prompts.h"
#include "ui/grid/byte_editing.h"
#include "ui/grid/grid_editor.h"
#include "ui/grid/grid_geometry.h"

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <memory>

using namespace Qt::StringLiterals;
using namespace railwright;

namespace {

// Bytes 1, 2, 3, ... wrapping past 255 to 1 again, so none is zero.
ByteBuffer countingBytes(qsizetype length)
{
    ByteBuffer bytes(static_cast<std::size_t>(length));
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
    void parseCommitText_data()
    {
        QTest::addColumn<DisplayMode>("mode");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value"); // -1 refused, -2 changes nothing
        const auto hex = DisplayMode::Hexidecimal;
        const auto dec = DisplayMode::Decimal;
        const auto chr = DisplayMode::Charter;
        QTest::newRow("hex lower 0a") << hex << u"0a"_s << 10;
        QTest::newRow("hex stops at non-hex") << hex << u"AZ"_s << 10;
        QTest::newRow("hex 100 refused") << hex << u"100"_s << -1;
        QTest::newRow("dec 255") << dec << u"255"_s << 255;
        QTest::newRow("dec no digits is 0") << dec << u"x5"_s << 0;
        QTest::newRow("dec 256 refused") << dec << u"256"_s << -1;
        QTest::newRow("dec huge refused") << dec << u"99999999999"_s << -1;
        // Enter twice must not overwrite the byte just set, nor drop it from the file.
        QTest::newRow("hex empty") << hex << QString() << -2;
        QTest::newRow("dec empty") << dec << QString() << -2;
        QTest::newRow("chr empty") << chr << QString() << -2;
        QTest::newRow("chr euro refused") << chr << u"\u20AC"_s << -1;
        QTest::newRow("chr two characters refused") << chr << u"AB"_s << -1;
    }
    void parseCommitText()
    {
        QFETCH(DisplayMode, mode);
        QFETCH(QString, text);
        QFETCH(int, value);
        const CommitResult result = ParseCommitText(text, mode);
        const int got = result.kind == CommitResult::Kind::Refused   ? -1
                        : result.kind == CommitResult::Kind::Nothing ? -2
                                                                     : result.value;
        QCOMPARE(got, value);
        QCOMPARE(result.message.isEmpty(), value != -1);
    }

    void cellAndStatusTexts()
    {
        TrackDesignDocument document;
        QVERIFY(document.loadContents({0, 10, 127, 0xE9, 200}));
        QCOMPARE(CellDisplayText(document, 1, DisplayMode::Hexidecimal), u"0A"_s);
        QCOMPARE(CellDisplayText(document, 4, DisplayMode::Decimal), u"200"_s);
        // Control characters show as their control pictures, but edit as themselves.
        QCOMPARE(CellDisplayText(document, 0, DisplayMode::Charter), u"\u2400"_s);
        QCOMPARE(CellDisplayText(document, 2, DisplayMode::Charter), u"\u2421"_s);
        QCOMPARE(CellEditText(document, 1, DisplayMode::Charter), u"\n"_s);
        QCOMPARE(CellDisplayText(document, 3, DisplayMode::Charter), u"\u00E9"_s);
        QCOMPARE(StatusTexts(document, 1),
                 (QStringList{u"Adress: 1"_s, u"Hex: 0A"_s, u"Dec: 10"_s, u"Chr: \u240A"_s}));
        // Past the end: the index's own address, the last byte's values.
        QCOMPARE(StatusTexts(document, 40000),
                 (QStringList{u"Adress: 9C40"_s, u"Hex: C8"_s, u"Dec: 200"_s, u"Chr: \u00C8"_s}));
        // Below 0 reads byte 0; the start-up element is empty and reads 0, no character.
        QCOMPARE(CellDisplayText(document, -1, DisplayMode::Charter), u"\u2400"_s);
        const TrackDesignDocument startUp;
        QCOMPARE(CellDisplayText(startUp, 0, DisplayMode::Decimal), u"00"_s);
        QCOMPARE(StatusTexts(startUp, 0).last(), u"Chr: "_s);
    }
    // (width - 700) / 350 twips rounded half to even, at least 5 columns.
    void columnCountForWidth_data()
    {
        QTest::addColumn<double>("widthTwips");
        QTest::addColumn<int>("columns");
        QTest::newRow("design width") << 9450.0 << 25;
        QTest::newRow("24.5 rounds down to even") << 9275.0 << 24;
        QTest::newRow("25.5 rounds up to even") << 9625.0 << 26;
        QTest::newRow("narrow raised to five") << 2000.0 << 5;
    }
    void columnCountForWidth()
    {
        QFETCH(double, widthTwips);
        QTEST(GridGeometry::columnCountForWidth(widthTwips), "columns");
    }

    void rowsAndLabels_data()
    {
        QTest::addColumn<int>("columns");
        QTest::addColumn<qsizetype>("shown");
        QTest::addColumn<qsizetype>("rows");
        QTest::addColumn<QStringList>("labels");
        QTest::newRow("49 bytes need three")
            << 25 << qsizetype(49) << qsizetype(3) << QStringList{u"0"_s, u"18"_s, u"30"_s};
        QTest::newRow("below minimum columns")
            << 2 << qsizetype(9) << qsizetype(3) << QStringList{u"0"_s, u"4"_s, u"8"_s};
        QTest::newRow("65,000 bytes") << 25 << qsizetype(65000) << qsizetype(2709) << QStringList();
    }
    void rowsAndLabels()
    {
        QFETCH(int, columns);
        QFETCH(qsizetype, shown);
        QFETCH(QStringList, labels);
        const GridGeometry geometry(columns, shown);
        QTEST(geometry.rowCount(), "rows");
        for (int row = 0; row < labels.size(); ++row) {
            QCOMPARE(geometry.rowLabel(row), labels.at(row));
        }
    }

    void init()
    {
        m_document = std::make_unique<TrackDesignDocument>();
        m_prompts = std::make_unique<test::ScriptedPrompts>();
        m_editor = std::make_unique<GridEditor>(*m_document, *m_prompts);
    }
    void cleanup()
    {
        QCOMPARE(m_prompts->unexpected, QStringList()); // the grid never asks questions
        m_editor.reset();
    }

    // Byte 40,000 is selected by a click, then the pointer moves on to byte 39,990: Enter
    // stores what the key filter let into the box in byte 40,000 only.
    void typingCommitsTheSelectedByte_data()
    {
        QTest::addColumn<DisplayMode>("mode");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("messages");
        QTest::addColumn<int>("value"); // -1: unchanged
        QTest::addColumn<QString>("cell");
        const auto hex = DisplayMode::Hexidecimal;
        const auto dec = DisplayMode::Decimal;
        const auto chr = DisplayMode::Charter;
        QTest::newRow("hex") << hex << u"fG1"_s << u"F1"_s << 1 << 0xF1 << u"F1"_s;
        QTest::newRow("decimal") << dec << u"1a.2"_s << u"12"_s << 2 << 12 << u"12"_s;
        QTest::newRow("decimal above 255") << dec << u"256"_s << u"256"_s << 1 << -1 << u"221"_s;
        QTest::newRow("character") << chr << u"%"_s << u"%"_s << 0 << 37 << u"%"_s;
    }
    void typingCommitsTheSelectedByte()
    {
        QFETCH(DisplayMode, mode);
        QFETCH(QString, typed);
        QFETCH(int, value);
        showCounting(65000);
        m_editor->setDisplayMode(mode);
        clickByte(40000);
        QTest::mouseMove(m_editor->grid()->viewport(), cellCentre(39990));
        QCOMPARE(m_editor->pointedIndex(), qsizetype(39990));
        m_editor->dataString()->clear();
        QTest::keyClicks(m_editor->dataString(), typed);
        QTEST(m_editor->dataString()->text(), "box");
        QTest::keyClick(m_editor->dataString(), Qt::Key_Return);
        QTEST(int(m_prompts->messages.size()), "messages");
        ByteBuffer expected = countingBytes(65000);
        if (value >= 0) {
            expected[40000] = std::uint8_t(value);
        }
        QCOMPARE(m_document->contents(), expected);
        QCOMPARE(m_document->changed(), value != -1);
        QTEST(cellText(40000 / 24, 40000 % 24 + 1), "cell"); // shown at once
    }

    // Typing in the grid overwrites the selected byte (2) and moves on; keys and Go to
    // move it. Go to refuses what is no address, or none in the record, with a message.
    void keyboardEditing_data()
    {
        QTest::addColumn<DisplayMode>("mode");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("goTo"); // the answer to Go to Address
        QTest::addColumn<int>("stored");   // -1: byte 2 unchanged
        QTest::addColumn<int>("selected");
        QTest::addColumn<QString>("message"); // what Go to answers, when it is checked
        const auto hex = DisplayMode::Hexidecimal;
        const QString none;
        QTest::newRow("two hex digits") << hex << u"7f"_s << none << none << 0x7F << 3 << none;
        QTest::newRow("one hex digit waits") << hex << u"7"_s << none << none << -1 << 2 << none;
        QTest::newRow("decimal, Enter")
            << DisplayMode::Decimal << u"200"_s << u"Return"_s << none << 200 << 3 << none;
        QTest::newRow("a character")
            << DisplayMode::Charter << u"Z"_s << none << none << 0x5A << 3 << none;
        QTest::newRow("right, down")
            << hex << none << u"Right, Down"_s << none << -1 << 2 + 1 + 24 << none;
        QTest::newRow("left, End") << hex << none << u"Left, End"_s << none << -1 << 23 << none;
        QTest::newRow("Ctrl+Home")
            << hex << none << u"Right, Ctrl+Home"_s << none << -1 << 0 << none;
        // The last cell of the grid: the zeros after the end marker at 496 are hidden.
        QTest::newRow("Ctrl+End") << hex << none << u"Ctrl+End"_s << none << -1 << 21 * 24 - 1
                                  << none;
        QTest::newRow("go to 26") << hex << none << none << u"26"_s << -1 << 26 << none;
        QTest::newRow("go to 0x1a") << hex << none << none << u"0x1a"_s << -1 << 26 << none;
        QTest::newRow("go to 1Ah") << hex << none << none << u" 1Ah "_s << -1 << 26 << none;
        QTest::newRow("go to 7D5") << hex << none << none << u"7D5"_s << -1 << 2005 << none;
        QTest::newRow("go to zz") << hex << none << none << u"zz"_s << -1 << 2 << none;
        QTest::newRow("go past the end") << hex << none << none << u"0x2006"_s << -1 << 2
                                         << u"There is no byte at address 0x2006: the document "
                                            u"ends at 0x2005."_s;
        QTest::newRow("go past the end, decimal")
            << hex << none << none << u"9000"_s << -1 << 2
            << u"There is no byte at address 9000: the document ends at 8197."_s;
        // Byte 0x1000 is one of the zeros "Skip Zero's" hides: it is shown, then selected.
        QTest::newRow("go to a hidden zero")
            << hex << none << none << u"0x1000"_s << -1 << 0x1000 << none;
        QTest::newRow("capital hex letter") << hex << u"5A"_s << none << none << 0x5A << 3 << none;
        QTest::newRow("symbol with Shift")
            << DisplayMode::Charter << u"%"_s << none << none << 0x25 << 3 << none;
    }
    void keyboardEditing()
    {
        QFETCH(DisplayMode, mode);
        QFETCH(QString, typed);
        QFETCH(QString, keys);
        QFETCH(QString, goTo);
        QFETCH(int, stored);
        QFETCH(int, selected);
        QFETCH(QString, message);
        // An expansion-sized record whose track data ends at 496.
        ByteBuffer record(8198, 0);
        record[0] = 0x36;
        record[496] = 0xFF;
        showAtWidth(9450); // 24 bytes a row
        QVERIFY(m_document->loadContents(record));
        m_editor->setDisplayMode(mode);
        clickByte(2);
        QCOMPARE(m_editor->selectedIndex(), qsizetype(2));
        QTableView* grid = m_editor->grid();
        for (const QChar c : typed) { // capitals and symbols with Shift, as typed
            const bool shift = c.isUpper() || c == u'%';
            QTest::keyClick(grid, c.toLatin1(), shift ? Qt::ShiftModifier : Qt::NoModifier);
        }
        const QKeySequence sequence(keys);
        for (int i = 0; i < sequence.count(); ++i) {
            QTest::keyClick(grid, sequence[i].key(), sequence[i].keyboardModifiers());
        }
        if (!goTo.isEmpty()) {
            m_prompts->texts.enqueue(goTo);
            m_editor->goToAddress();
            QVERIFY(m_prompts->allUsed());
            QCOMPARE(m_prompts->messages.size(), selected == 2 ? 1 : 0);
            if (!message.isEmpty()) {
                QCOMPARE(m_prompts->messages.constLast().text, message);
            }
        }
        ByteBuffer expected = record;
        if (stored >= 0) {
            expected[2] = std::uint8_t(stored);
            QCOMPARE(m_document->undoStack()->text(0), u"Set Byte 2"_s);
        }
        QCOMPARE(m_document->contents(), expected);
        QCOMPARE(m_editor->selectedIndex(), qsizetype(selected));
        if (!goTo.isEmpty() && selected != 2) {
            // The byte gone to is in view and shown, not hidden.
            const QModelIndex cell = grid->model()->index(selected / 24, selected % 24 + 1);
            QVERIFY(grid->viewport()->rect().contains(grid->visualRect(cell).center()));
            QCOMPARE(cell.data().toString(), u"00"_s);
        }
    }

    void gridFollowsWidthAndDocument()
    {
        showCounting(100);
        QCOMPARE(m_editor->bytesPerRow(), 24);
        const QAbstractItemModel* model = m_editor->grid()->model();
        QCOMPARE(model->rowCount(), 5);
        QCOMPARE(cellText(4, 0), u"60"_s);
        QVERIFY(m_document->setByte(50, 0x7F));
        QCOMPARE(cellText(2, 3), u"7F"_s);
        // Trailing zeros are hidden, and the row they alone filled, until asked for.
        for (qsizetype i = 96; i < 100; ++i) {
            QVERIFY(m_document->setByte(i, 0));
        }
        QCOMPARE(model->rowCount(), 4);
        m_editor->setSkipZeros(false);
        QCOMPARE(model->rowCount(), 5);
        QCOMPARE(cellText(4, 4), u"00"_s);
        QVERIFY(m_document->loadContents(countingBytes(30)));
        QCOMPARE(model->rowCount(), 2);
        showAtWidth(2000);
        QCOMPARE(m_editor->bytesPerRow(), 4);
        QCOMPARE(model->rowCount(), 8);
    }

    void statusTextsFollowPointer()
    {
        showCounting(40);
        QSignalSpy spy(m_editor.get(), &GridEditor::statusTextsChanged);
        QTest::mouseMove(m_editor->grid()->viewport(), cellCentre(26));
        QCOMPARE(spy.last().at(0).toStringList().mid(0, 3),
                 (QStringList{u"Adress: 1A"_s, u"Hex: 1B"_s, u"Dec: 27"_s}));
        // Below the last row the panels show their start-up texts.
        QTest::mouseMove(m_editor->grid()->viewport(),
                         QPoint(5, m_editor->grid()->viewport()->height() - 2));
        QCOMPARE(spy.last().at(0).toStringList(),
                 (QStringList{u"Adress: 0"_s, u"Hex: 0"_s, u"Dec: 0"_s, u"Chr: 0"_s}));
    }

    void cellsArePainted()
    {
        showCounting(30);
        auto* grid = m_editor->grid();
        const QImage image = grid->viewport()->grab().toImage();
        const auto darkPixels = [&](int row, int column) {
            const QRect rect =
                grid->visualRect(grid->model()->index(row, column)).adjusted(1, 1, -1, -1);
            int dark = 0;
            for (int y = rect.top(); y <= rect.bottom(); ++y) {
                for (int x = rect.left(); x <= rect.right(); ++x) {
                    dark +=
                        qGray(image.pixel(x * image.width() / grid->viewport()->width(),
                                          y * image.height() / grid->viewport()->height())) < 128;
                }
            }
            return dark;
        };
        QVERIFY(darkPixels(1, 6) > 0); // byte 29
        QVERIFY(darkPixels(1, 0) > 0); // its row label
        QCOMPARE(darkPixels(1, 7), 0); // past the end
    }

private:
    void showAtWidth(double widthTwips)
    {
        const int pixels = GridGeometry::twipsToPixels(widthTwips, m_editor->grid()->logicalDpiX());
        m_editor->resize(pixels, 400);
        m_editor->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_editor.get()));
        if (m_editor->grid()->width() != pixels) {
            // Narrower than the editing row allows: size the grid alone.
            m_editor->grid()->resize(pixels, m_editor->grid()->height());
        }
    }
    void showCounting(qsizetype length)
    {
        showAtWidth(9450);
        QVERIFY(m_document->loadContents(countingBytes(length)));
    }
    QString cellText(int row, int column) const
    {
        return m_editor->grid()->model()->index(row, column).data().toString();
    }
    QPoint cellCentre(qsizetype byteIndex) const
    {
        const int perRow = m_editor->bytesPerRow();
        const QModelIndex cell =
            m_editor->grid()->model()->index(int(byteIndex / perRow), int(byteIndex % perRow) + 1);
        m_editor->grid()->scrollTo(cell);
        return m_editor->grid()->visualRect(cell).center();
    }
    void clickByte(qsizetype byteIndex)
    {
        const QPoint centre = cellCentre(byteIndex);
        QTest::mouseMove(m_editor->grid()->viewport(), centre);
        QTest::mouseClick(m_editor->grid()->viewport(), Qt::LeftButton, {}, centre);
    }

    std::unique_ptr<TrackDesignDocument> m_document;
    std::unique_ptr<test::ScriptedPrompts> m_prompts;
    std::unique_ptr<GridEditor> m_editor;
};

QTEST_MAIN(TestGridEditor)
#include "tst_grid_editor.moc"
