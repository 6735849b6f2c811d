#include "ui/grid/grid_geometry.h"

#include <QTest>

using namespace Qt::StringLiterals;
using railwright::GridGeometry;
using railwright::TrackDesignDocument;

class TestGridGeometry : public QObject
{
    Q_OBJECT

private slots:
    void columnCountForWidth_data();
    void columnCountForWidth();
    void twipsAndPixels_data();
    void twipsAndPixels();
    void rowsAndLabels_data();
    void rowsAndLabels();
    void indexAndCellAgree();
    void labelColumnAddressesFirstByte();
    void trailingZeros_data();
    void trailingZeros();
    void emptyElementsCountAsZero();
};

void TestGridGeometry::columnCountForWidth_data()
{
    QTest::addColumn<double>("widthTwips");
    QTest::addColumn<int>("columns");
    QTest::newRow("design width") << 9450.0 << 25;
    QTest::newRow("24.5 rounds down to even") << 9275.0 << 24;
    QTest::newRow("25.5 rounds up to even") << 9625.0 << 26;
    QTest::newRow("5.5 rounds up to even") << 2625.0 << 6;
    QTest::newRow("6.5 rounds down to even") << 2975.0 << 6;
    QTest::newRow("just over a half rounds up") << 9276.0 << 25;
    QTest::newRow("just under a half rounds down") << 9624.0 << 25;
    QTest::newRow("2000 twips raised to the minimum") << 2000.0 << 5;
    QTest::newRow("exactly five") << 2450.0 << 5;
    QTest::newRow("zero width") << 0.0 << 5;
    QTest::newRow("negative width clamps") << -5000.0 << 5;
    QTest::newRow("wide screen") << 28800.0 << 80;
}

void TestGridGeometry::columnCountForWidth()
{
    QFETCH(double, widthTwips);
    QFETCH(int, columns);
    QCOMPARE(GridGeometry::columnCountForWidth(widthTwips), columns);
}

void TestGridGeometry::twipsAndPixels_data()
{
    QTest::addColumn<double>("twips");
    QTest::addColumn<double>("dpi");
    QTest::addColumn<int>("pixels");
    QTest::newRow("byte column at 96 dpi") << 350.0 << 96.0 << 23;
    QTest::newRow("label column at 96 dpi") << 700.0 << 96.0 << 47;
    QTest::newRow("15 twips per pixel") << 9450.0 << 96.0 << 630;
    QTest::newRow("byte column at 144 dpi") << 350.0 << 144.0 << 35;
    QTest::newRow("one inch at 192 dpi") << 1440.0 << 192.0 << 192;
}

void TestGridGeometry::twipsAndPixels()
{
    QFETCH(double, twips);
    QFETCH(double, dpi);
    QFETCH(int, pixels);
    QCOMPARE(GridGeometry::twipsToPixels(twips, dpi), pixels);
}

void TestGridGeometry::rowsAndLabels_data()
{
    QTest::addColumn<int>("columns");
    QTest::addColumn<qsizetype>("shown");
    QTest::addColumn<qsizetype>("rows");
    QTest::addColumn<QStringList>("labels");
    QTest::newRow("nothing shown") << 25 << qsizetype(0) << qsizetype(0) << QStringList();
    QTest::newRow("one byte") << 25 << qsizetype(1) << qsizetype(1) << QStringList{u"0"_s};
    QTest::newRow("100 bytes, P=24") << 25 << qsizetype(100) << qsizetype(5)
                                     << QStringList{u"0"_s, u"18"_s, u"30"_s, u"48"_s, u"60"_s};
    QTest::newRow("48 bytes fill two rows")
        << 25 << qsizetype(48) << qsizetype(2) << QStringList{u"0"_s, u"18"_s};
    QTest::newRow("49 bytes need three")
        << 25 << qsizetype(49) << qsizetype(3) << QStringList{u"0"_s, u"18"_s, u"30"_s};
    QTest::newRow("below minimum columns")
        << 2 << qsizetype(9) << qsizetype(3) << QStringList{u"0"_s, u"4"_s, u"8"_s};
    QTest::newRow("65000 bytes, P=24")
        << 25 << qsizetype(65000) << qsizetype(2709) << QStringList{u"0"_s, u"18"_s};
}

void TestGridGeometry::rowsAndLabels()
{
    QFETCH(int, columns);
    QFETCH(qsizetype, shown);
    QFETCH(qsizetype, rows);
    QFETCH(QStringList, labels);
    const GridGeometry geometry(columns, shown);
    QCOMPARE(geometry.rowCount(), rows);
    QVERIFY(geometry.bytesPerRow() >= 4);
    for (int r = 0; r < labels.size(); ++r) {
        QCOMPARE(geometry.rowLabel(r), labels.at(r));
    }
}

void TestGridGeometry::indexAndCellAgree()
{
    // Every shown byte lands in exactly one cell, and that cell maps back to it,
    // including bytes beyond 32767.
    for (const int columns : {5, 25, 37}) {
        const GridGeometry geometry(columns, 65000);
        for (const qsizetype index : {qsizetype(0), qsizetype(23), qsizetype(24), qsizetype(32767),
                                      qsizetype(32768), qsizetype(64999)}) {
            const auto row = geometry.rowOf(index);
            const int column = geometry.columnOf(index);
            QVERIFY(column >= 1 && column <= geometry.bytesPerRow());
            QVERIFY(row < geometry.rowCount());
            QCOMPARE(geometry.indexAt(row, column), index);
        }
    }
    const GridGeometry geometry(25, 100);
    QCOMPARE(geometry.indexAt(4, 4), qsizetype(99));
    QCOMPARE(geometry.indexAt(4, 5), qsizetype(100));
    QCOMPARE(geometry.indexAt(1, 3), qsizetype(26));
}

void TestGridGeometry::labelColumnAddressesFirstByte()
{
    const GridGeometry geometry(25, 100);
    QCOMPARE(geometry.indexAt(3, 0), geometry.indexAt(3, 1));
    QCOMPARE(geometry.indexAt(3, 0), qsizetype(72));
}

void TestGridGeometry::trailingZeros_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qsizetype>("zeros");
    QTest::newRow("none") << QByteArray("\x01\x00\x02", 3) << qsizetype(0);
    QTest::newRow("inner zeros stay") << QByteArray("\x00\x01\x00\x00", 4) << qsizetype(2);
    QTest::newRow("all zero") << QByteArray(5, '\0') << qsizetype(5);
    QTest::newRow("single non-zero") << QByteArray(1, 'x') << qsizetype(0);
}

void TestGridGeometry::trailingZeros()
{
    QFETCH(QByteArray, bytes);
    QFETCH(qsizetype, zeros);
    TrackDesignDocument document;
    QVERIFY(document.loadContents(railwright::ByteBuffer(bytes.begin(), bytes.end())));
    QCOMPARE(railwright::CountTrailingZeros(document, true), zeros);
    QCOMPARE(railwright::CountTrailingZeros(document, false), qsizetype(0));
}

void TestGridGeometry::emptyElementsCountAsZero()
{
    TrackDesignDocument document;
    QCOMPARE(railwright::CountTrailingZeros(document, true), qsizetype(1));
    QVERIFY(document.loadContents({1, 2, 3}));
    QVERIFY(document.setEmptyElement(2));
    QCOMPARE(railwright::CountTrailingZeros(document, true), qsizetype(1));
}

QTEST_GUILESS_MAIN(TestGridGeometry)
#include "tst_grid_geometry.moc"
