#include "render/track_picture.h"
#include "support/track_records.h"

#include <QPainter>
#include <QTest>

using namespace railwright;
using namespace railwright::testing;

Q_DECLARE_METATYPE(railwright::TrackView)

namespace {

const QRgb Highlight = qRgb(255, 214, 0);

int CountColor(const QImage& image, QRgb color)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += (image.pixel(x, y) & 0xFFFFFF) == (color & 0xFFFFFF) ? 1 : 0;
        }
    }
    return count;
}

} // namespace

class TestTrackScene : public QObject
{
    Q_OBJECT

private slots:
    // Points on a piece's path pick that piece; plan coordinates are units, 32 a tile,
    // tile centres at 16.
    void picksPieces_data()
    {
        QTest::addColumn<QPointF>("point");
        QTest::addColumn<int>("piece"); // -1: none
        // Between the centres of tiles -1 and -2 on row 0: the middle station.
        QTest::newRow("middle station") << QPointF(-32, 16) << 1;
        // Row 7 between tiles 0 and 1: the second flat after the descent.
        QTest::newRow("flat on the way back") << QPointF(32, 240) << 15;
        // Column 2 between rows 4 and 3: a flat going back up.
        QTest::newRow("flat at the right") << QPointF(80, 128) << 18;
        QTest::newRow("outside the track") << QPointF(400, 400) << -1;
    }
    void picksPieces()
    {
        QFETCH(QPointF, point);
        QFETCH(int, piece);
        const TrackList list = ReadTrackList(trackRecord(8198, 0x13, 4, TestCircuit));
        const TrackScene scene(list, WalkTrack(list), TrackColors{}, TrackView::Plan);
        const std::optional<std::size_t> found = scene.pieceAt(point, 6);
        QCOMPARE(found ? int(*found) : -1, piece);
    }

    // The plan's extent is the footprint: 12 x 8 tiles from tile (-9, 0).
    void boundsPlanByFootprint()
    {
        const TrackList list = ReadTrackList(trackRecord(8198, 0x13, 4, TestCircuit));
        const TrackScene scene(list, WalkTrack(list), TrackColors{}, TrackView::Plan);
        QCOMPARE(scene.bounds(), QRectF(-288, 0, 384, 256));
        const QTransform fit = scene.fitTransform(QSizeF(400, 400), 8);
        QCOMPARE(fit.m11(), fit.m22());
        QCOMPARE(fit.map(QPointF(-288, 0)), QPointF(8, 72));
    }

    // A highlighted piece is drawn marked in every view; turning the iso view moves it.
    void marksHighlightedPieces_data()
    {
        QTest::addColumn<TrackView>("view");
        QTest::addColumn<int>("turns");
        QTest::newRow("plan") << TrackView::Plan << 0;
        QTest::newRow("side") << TrackView::Side << 0;
        QTest::newRow("iso") << TrackView::Iso << 0;
        QTest::newRow("iso, turned twice") << TrackView::Iso << 2;
    }
    void marksHighlightedPieces()
    {
        QFETCH(TrackView, view);
        QFETCH(int, turns);
        const TrackList list = ReadTrackList(trackRecord(8198, 0x13, 4, TestCircuit));
        const TrackScene scene(list, WalkTrack(list), TrackColors{}, view, turns);
        const auto draw = [&scene](const std::vector<bool>& highlighted) {
            QImage image(200, 200, QImage::Format_RGB32);
            image.fill(Qt::black);
            QPainter painter(&image);
            scene.paint(painter, scene.fitTransform(QSizeF(200, 200), 4), highlighted);
            return image;
        };
        QCOMPARE(CountColor(draw({}), Highlight), 0);
        std::vector<bool> highlighted(22, false);
        highlighted[12] = true;
        QVERIFY(CountColor(draw(highlighted), Highlight) > 20);
    }

    // In plan the mark lies along the selected piece only: piece 15 runs on row 7 from
    // tile 0 to tile 1 (units 16 to 48 at y 240), piece 14 from tile -1 to tile 0.
    void marksOnlyTheSelectedPiece()
    {
        const TrackList list = ReadTrackList(trackRecord(8198, 0x13, 4, TestCircuit));
        const TrackScene scene(list, WalkTrack(list), TrackColors{}, TrackView::Plan);
        QImage image(400, 400, QImage::Format_RGB32);
        image.fill(Qt::black);
        const QTransform fit = scene.fitTransform(QSizeF(400, 400), 8);
        std::vector<bool> highlighted(22, false);
        highlighted[15] = true;
        {
            QPainter painter(&image);
            scene.paint(painter, fit, highlighted);
        }
        // The rail is 0.28 of a tile wide, the mark 2.6 rails: look just beside the rail.
        const double beside = fit.m11() * 32 * 0.28 * 0.9;
        const auto markedAt = [&](double x) {
            const QPointF at = fit.map(QPointF(x, 240)) + QPointF(0, beside);
            return (image.pixel(at.toPoint()) & 0xFFFFFF) == (Highlight & 0xFFFFFF);
        };
        QVERIFY(markedAt(32));
        QVERIFY(!markedAt(0));
    }

    // Schemes take their colours from the record: the expansion layout's four blocks, the
    // base layout's single set; a byte outside the palette is grey.
    void readsTrackColors()
    {
        ByteBuffer record = trackRecord(8198, 0x13, 4, "");
        record[56 + 2] = 24;
        record[60 + 3] = 5;
        record[64 + 1] = 40;
        TrackColors colors = ReadTrackColors(record, RecordLayout::Expansion);
        QCOMPARE(colors.spine[2], QColor(223, 0, 7));
        QCOMPARE(colors.rail[3], QColor(15, 64, 176));
        QCOMPARE(colors.supports[1], QColor(128, 128, 128));
        record = trackRecord(8058, 0x13, 0, "");
        record[33] = 24;
        colors = ReadTrackColors(record, RecordLayout::Base);
        QCOMPARE(colors.rail[0], QColor(223, 0, 7));
        QCOMPARE(colors.rail[3], QColor(223, 0, 7));
    }

    // A maze shows its entrance and exit in their colours.
    void drawsMazes()
    {
        const ByteBuffer record =
            trackRecord(8198, 0x14, 4, "00 00 FF FF FF 00 02 08 01 00 00 80 00 00 00 00", false);
        const QImage image = DrawTrackPicture(record, TrackView::Plan, 90);
        QCOMPARE(image.size(), QSize(90, 30));
        QVERIFY(CountColor(image, qRgb(40, 90, 220)) > 100);
        QVERIFY(CountColor(image, qRgb(230, 120, 20)) > 100);
        QVERIFY(CountColor(image, qRgb(40, 110, 40)) > 50);
    }
};

QTEST_GUILESS_MAIN(TestTrackScene)
#include "tst_track_scene.moc"
