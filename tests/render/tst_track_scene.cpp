#include "render/track_picture.h"
#include "support/track_records.h"

#include <QPainter>
#include <QTest>

using namespace railwright;
using namespace railwright::testing;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(railwright::TrackView)

namespace {

const QRgb Highlight = qRgb(255, 214, 0);

// Palette colours the ride test design wears: spine 24, rail 5, support 14, body 11, trim 25.
const QRgb Spine = qRgb(223, 0, 7);
const QRgb Rail = qRgb(15, 64, 176);
const QRgb Support = qRgb(208, 167, 15);
const QRgb Body = qRgb(64, 175, 32);
const QRgb Trim = qRgb(208, 56, 143);

// The test circuit as a ride of `ride` in the colours above, `trains` trains of `cars`.
ByteBuffer RideRecord(std::uint8_t ride, int trains, int cars, const char* pieces = TestCircuit)
{
    ByteBuffer record = trackRecord(8198, ride, 4, pieces);
    record[56] = 24;
    record[60] = 5;
    record[64] = 14;
    record[8] = 11;
    record[9] = 25;
    record[36] = std::uint8_t(trains);
    record[37] = std::uint8_t(cars);
    return record;
}

// The topmost row holding `color`, or -1.
int TopRow(const QImage& image, QRgb color)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if ((image.pixel(x, y) & 0xFFFFFF) == (color & 0xFFFFFF)) {
                return y;
            }
        }
    }
    return -1;
}

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

    // Every colour of the ride shows at every size in every view: the spine between the
    // rails, the supports beside the track, the trim on the cars' bodies.
    void showsEveryColor_data()
    {
        QTest::addColumn<TrackView>("view");
        QTest::addColumn<int>("size");
        QTest::addColumn<QString>("pieces");
        // The circuit, and a station, a climb and 60 tiles on the level: a line of track
        // far thinner than a pixel at the smaller sizes.
        const QString longRun =
            u"02 00 03 00 01 00 06 00 04 00 09 00 "_s + u"00 00 "_s.repeated(60);
        for (const int size : {128, 256, 512, 2048}) {
            for (const QString& pieces : {QString::fromLatin1(TestCircuit), longRun}) {
                const char* name = pieces == longRun ? "long run" : "circuit";
                QTest::addRow("plan, %d, %s", size, name) << TrackView::Plan << size << pieces;
                QTest::addRow("side, %d, %s", size, name) << TrackView::Side << size << pieces;
                QTest::addRow("iso, %d, %s", size, name) << TrackView::Iso << size << pieces;
            }
        }
    }
    void showsEveryColor()
    {
        QFETCH(TrackView, view);
        QFETCH(int, size);
        QFETCH(QString, pieces);
        const QImage image =
            DrawTrackPicture(RideRecord(0x13, 2, 3, pieces.toLatin1().constData()), view, size);
        for (const QRgb color : {Spine, Rail, Support, Body, Trim}) {
            QVERIFY2(CountColor(image, color) > 0, qPrintable(QColor(color).name()));
        }
    }

    // A standing ride's supports hold its track from below and its car rides on top, a
    // hanging ride's from above with the car beneath: in the side view of a climb to a
    // level run, the highest support pixel lies under the highest track pixel, or over it.
    void supportsStandOrHang_data()
    {
        QTest::addColumn<int>("ride");
        QTest::addColumn<bool>("hangs");
        QTest::newRow("steel corkscrew coaster") << 0x13 << false;
        QTest::newRow("wooden coaster") << 0x00 << false;
        QTest::newRow("inverted coaster") << 0x03 << true;
        QTest::newRow("suspended coaster") << 0x02 << true;
        QTest::newRow("chairlift") << 0x12 << true;
    }
    void supportsStandOrHang()
    {
        QFETCH(int, ride);
        QFETCH(bool, hangs);
        const ByteBuffer record =
            RideRecord(std::uint8_t(ride), 1, 1, "06 00 04 00 04 00 09 00 00 00 00 00 00 00");
        const TrackList list = ReadTrackList(record);
        const TrackScene scene(list, WalkTrack(list), ReadRideLook(record, list.layout),
                               TrackView::Side);
        QCOMPARE(scene.supports().size(), std::size_t(7));
        for (const SceneSupport& support : scene.supports()) {
            QCOMPARE(support.highZ > support.trackZ, hangs);
            QVERIFY(support.lowZ <= 0); // on the ground, under the lowest point
        }
        QCOMPARE(scene.cars().size(), std::size_t(1));
        QCOMPARE(scene.cars().front().centre.y() > 0, hangs); // scene y is minus the height
        const QImage image = DrawTrackPicture(record, TrackView::Side, 512);
        const int support = TopRow(image, Support);
        const int track = std::min(TopRow(image, Spine), TopRow(image, Rail));
        QVERIFY(support >= 0 && track >= 0);
        QCOMPARE(support < track, hangs);
    }

    // Trains x cars are drawn, the first train's front car at the end of the station,
    // coloured by the vehicle colour scheme from the stored entries; a count outside 1 to
    // 12 is drawn as the nearest of 0 to 12.
    void drawsEveryCar_data()
    {
        QTest::addColumn<int>("trains");
        QTest::addColumn<int>("cars");
        QTest::addColumn<int>("scheme");
        QTest::addColumn<int>("drawn");
        QTest::addColumn<int>("lastBody"); // palette code of the last train's last car
        QTest::newRow("one car") << 1 << 1 << 0 << 1 << 11;
        QTest::newRow("3 x 4, all the same") << 3 << 4 << 0 << 12 << 11;
        QTest::newRow("3 x 4, trains differ") << 3 << 4 << 1 << 12 << 2;
        QTest::newRow("2 x 5, cars differ") << 2 << 5 << 2 << 10 << 4;
        QTest::newRow("12 x 12 on a short track") << 12 << 12 << 1 << 144 << 11;
        QTest::newRow("no trains") << 0 << 5 << 0 << 0 << -1;
        QTest::newRow("200 trains of 2") << 200 << 2 << 1 << 24 << 11;
    }
    void drawsEveryCar()
    {
        QFETCH(int, trains);
        QFETCH(int, cars);
        QFETCH(int, scheme);
        QFETCH(int, drawn);
        QFETCH(int, lastBody);
        ByteBuffer record = RideRecord(0x13, trains, cars);
        record[7] = std::uint8_t(4 + scheme);
        for (std::size_t entry = 1; entry < 12; ++entry) {
            record[8 + 2 * entry] = std::uint8_t(entry);
        }
        const TrackList list = ReadTrackList(record);
        for (const TrackView view : {TrackView::Plan, TrackView::Side, TrackView::Iso}) {
            const TrackScene scene(list, WalkTrack(list), ReadRideLook(record, list.layout), view);
            QCOMPARE(int(scene.cars().size()), drawn);
            if (drawn > 0) {
                const QColor expected(lastBody == 11  ? qRgb(64, 175, 32)
                                      : lastBody == 4 ? qRgb(128, 80, 176)
                                                      : qRgb(176, 192, 191));
                QCOMPARE(scene.cars().back().body, expected);
                QCOMPARE(scene.cars().front().piece, std::size_t(2)); // the station's end
                QCOMPARE(scene.cars().front().trim, QColor(Trim));
            }
        }
    }

    // Banked pieces lean to their side, a twist turns the track over; a flat turn keeps
    // both rails level (heights of the left and right rail halfway along, 3D view).
    void banksTheRails_data()
    {
        QTest::addColumn<QString>("pieces");
        QTest::addColumn<int>("piece");
        QTest::addColumn<int>("higher"); // 1 the left rail, -1 the right, 0 level
        QTest::addColumn<int>("over");   // 1 the rails over the spine, -1 under, 0 beside
        QTest::newRow("right quarter turn") << u"11 00"_s << 0 << 0 << 1;
        QTest::newRow("banked right quarter turn") << u"13 00 17 00"_s << 1 << 1 << 1;
        QTest::newRow("banked left quarter turn") << u"12 00 16 00"_s << 1 << -1 << 1;
        QTest::newRow("flat to left bank") << u"12 00"_s << 0 << -1 << 1;
        QTest::newRow("left twist, on its side halfway") << u"34 00"_s << 0 << -1 << 0;
        QTest::newRow("flat, inverted flag") << u"00 40"_s << 0 << 0 << -1;
    }
    void banksTheRails()
    {
        QFETCH(QString, pieces);
        QFETCH(int, piece);
        QFETCH(int, higher);
        QFETCH(int, over);
        const ByteBuffer record = RideRecord(0x13, 0, 0, pieces.toLatin1().constData());
        const TrackList list = ReadTrackList(record);
        const TrackScene scene(list, WalkTrack(list), ReadRideLook(record, list.layout),
                               TrackView::Iso);
        const std::optional<std::array<double, 2>> rails = scene.railHeights(std::size_t(piece));
        QVERIFY(rails);
        const double difference = (*rails)[0] - (*rails)[1];
        QCOMPARE(difference > 3 ? 1 : difference < -3 ? -1 : 0, higher);
        const double sum = (*rails)[0] + (*rails)[1];
        QCOMPARE(sum > 1 ? 1 : sum < -1 ? -1 : 0, over);
        if (higher == 0) {
            QVERIFY(std::abs(difference) < 1e-9);
        }
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
