#include "codec/track_pieces.h"
#include "support/track_records.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace railwright;
using namespace railwright::testing;

class TestTrackPieces : public QObject
{
    Q_OBJECT

private slots:
    // Whole lists walked from tile (0, 0), height 0, heading 0; positions by hand from
    // the piece table's rows.
    void walksLists_data()
    {
        QTest::addColumn<ByteBuffer>("record");
        QTest::addColumn<int>("pieces");
        QTest::addColumn<bool>("endMarker");
        QTest::addColumn<bool>("complete");
        QTest::addColumn<QList<int>>("end");       // x, y, z, heading
        QTest::addColumn<QList<int>>("footprint"); // width, length, min z, max z
        QTest::addColumn<QString>("summary");

        QTest::newRow("circuit, expansion layout")
            << trackRecord(8198, 0x13, 0x04, TestCircuit) << 22 << true << true
            << QList<int>{0, 0, 0, 0} << QList<int>{12, 8, 0, 152}
            << u"Complete circuit: 22 pieces, needs 12 x 8 tiles, 10 land steps from lowest "
               u"to highest point"_s;
        QTest::newRow("circuit, base layout")
            << trackRecord(8058, 0x13, 0x00, TestCircuit) << 22 << true << true
            << QList<int>{0, 0, 0, 0} << QList<int>{12, 8, 0, 152}
            << u"Complete circuit: 22 pieces, needs 12 x 8 tiles, 10 land steps from lowest "
               u"to highest point"_s;
        // Stations, two flats, up 25 to up 60 (+32) and up 60 (+64): a shuttle's spike.
        QTest::newRow("open shuttle track")
            << trackRecord(8198, 0x2A, 0x04, "02 00 03 00 01 00 00 00 00 00 07 00 05 00") << 7
            << true << false << QList<int>{-7, 0, 96, 0} << QList<int>{7, 1, 0, 96}
            << u"Open track: from its start, the end is 7 tiles west, 6 steps up"_s;
        // A 62-byte record: three flats fill it, no room for a marker.
        QTest::newRow("no end marker")
            << trackRecord(62, 0x00, 0x00, "00 00 00 00 00 00", false) << 3 << false << false
            << QList<int>{-3, 0, 0, 0} << QList<int>{3, 1, 0, 0}
            << u"Open track: from its start, the end is 3 tiles west"_s;
        // D8 (block brakes) belongs to a later game: shown, left out of the shape.
        QTest::newRow("piece of a later game")
            << trackRecord(8058, 0x00, 0x00, "02 00 00 00 D8 00 00 00") << 4 << true << false
            << QList<int>{-3, 0, 0, 0} << QList<int>{3, 1, 0, 0}
            << u"Open track: from its start, the end is 3 tiles west"_s;
        QTest::newRow("only a later game's piece")
            << trackRecord(8058, 0x00, 0x00, "D8 00") << 1 << true << false
            << QList<int>{0, 0, 0, 0} << QList<int>{1, 1, 0, 0}
            << u"No track pieces of this game"_s;
        QTest::newRow("empty list")
            << trackRecord(8058, 0x00, 0x00, "") << 0 << true << false << QList<int>{0, 0, 0, 0}
            << QList<int>{1, 1, 0, 0} << u"No track pieces"_s;
        // Four left quarter turns of one tile come back on themselves.
        QTest::newRow("four one-tile turns")
            << trackRecord(8058, 0x00, 0x00, "32 00 32 00 32 00 32 00") << 4 << true << true
            << QList<int>{0, 0, 0, 0} << QList<int>{2, 2, 0, 0}
            << u"Complete circuit: 4 pieces, needs 2 x 2 tiles, 0 land steps from lowest to "
               u"highest point"_s;
    }
    void walksLists()
    {
        QFETCH(ByteBuffer, record);
        QFETCH(int, pieces);
        QFETCH(bool, endMarker);
        QFETCH(bool, complete);
        QFETCH(QList<int>, end);
        QFETCH(QList<int>, footprint);
        QFETCH(QString, summary);

        const TrackList list = ReadTrackList(record);
        const TrackWalk walk = WalkTrack(list);
        QCOMPARE(int(list.pieces.size()), pieces);
        QCOMPARE(list.endMarker, endMarker);
        QCOMPARE(walk.complete, complete);
        QCOMPARE((QList<int>{walk.end.x, walk.end.y, walk.end.z, walk.end.heading}), end);
        if (walk.hasTiles) {
            QCOMPARE((QList<int>{walk.footprint.width(), walk.footprint.length(),
                                 walk.footprint.minZ, walk.footprint.maxZ}),
                     footprint);
        }
        QCOMPARE(QString::fromStdString(TrackSummary(list, walk)), summary);
    }

    // Where some pieces of the circuit start and which tiles they cover.
    void placesCircuitPieces_data()
    {
        QTest::addColumn<int>("piece");
        QTest::addColumn<QList<int>>("start"); // x, y, z, heading
        QTest::addColumn<QList<int>>("firstTile");
        QTest::addColumn<int>("tiles");
        QTest::newRow("begin station") << 0 << QList<int>{0, 0, 0, 0} << QList<int>{0, 0, 0} << 1;
        QTest::newRow("up 25 to flat")
            << 5 << QList<int>{-5, 0, 24, 0} << QList<int>{-5, 0, 24} << 1;
        QTest::newRow("vertical loop")
            << 6 << QList<int>{-6, 0, 32, 0} << QList<int>{-6, 0, 32} << 10;
        // Heading 1 (+y): the eighth turn's tiles turn with it.
        QTest::newRow("eighth to diagonal")
            << 8 << QList<int>{-9, 3, 32, 1} << QList<int>{-9, 3, 32} << 5;
        QTest::newRow("diagonal flat")
            << 9 << QList<int>{-8, 5, 32, 5} << QList<int>{-8, 5, 32} << 4;
        QTest::newRow("back to straight")
            << 11 << QList<int>{-4, 7, 32, 2} << QList<int>{-4, 7, 24} << 1;
        QTest::newRow("last turn") << 21 << QList<int>{2, 1, 0, 3} << QList<int>{2, 1, 0} << 4;
    }
    void placesCircuitPieces()
    {
        QFETCH(int, piece);
        QFETCH(QList<int>, start);
        QFETCH(QList<int>, firstTile);
        QFETCH(int, tiles);
        const TrackWalk walk = WalkTrack(ReadTrackList(trackRecord(8198, 0x13, 4, TestCircuit)));
        const TrackPosition& at = walk.starts[std::size_t(piece)];
        QCOMPARE((QList<int>{at.x, at.y, at.z, at.heading}), start);
        const CoveredTile& tile = walk.tiles[walk.firstTile[std::size_t(piece)]];
        QCOMPARE((QList<int>{tile.x, tile.y, tile.z}), firstTile);
        QCOMPARE(int(walk.firstTile[std::size_t(piece) + 1] - walk.firstTile[std::size_t(piece)]),
                 tiles);
    }

    void readsPieceFlags_data()
    {
        QTest::addColumn<QString>("pieces");
        QTest::addColumn<int>("offset"); // of the second piece, base layout
        QTest::addColumn<bool>("chain");
        QTest::addColumn<bool>("inverted");
        QTest::addColumn<int>("scheme");
        QTest::addColumn<int>("station"); // -1: not a station
        QTest::addColumn<bool>("departure");
        QTest::addColumn<int>("speed"); // -1: no speed
        QTest::newRow("chain, scheme 2")
            << u"00 00 04 A0"_s << 0x3A << true << false << 2 << -1 << false << -1;
        QTest::newRow("inverted, scheme 3")
            << u"00 00 00 70"_s << 0x3A << false << true << 3 << -1 << false << -1;
        QTest::newRow("station 2, departure bit")
            << u"00 00 02 0A"_s << 0x3A << false << false << 0 << 2 << true << -1;
        QTest::newRow("station 3 in scheme 1")
            << u"00 00 01 13"_s << 0x3A << false << false << 1 << 3 << false << -1;
        QTest::newRow("brakes at speed 9")
            << u"00 00 63 19"_s << 0x3A << false << false << 1 << -1 << false << 9;
        QTest::newRow("booster at speed 15")
            << u"00 00 64 0F"_s << 0x3A << false << false << 0 << -1 << false << 15;
        QTest::newRow("bit 3 on a flat is no station")
            << u"00 00 00 08"_s << 0x3A << false << false << 0 << -1 << false << -1;
    }
    void readsPieceFlags()
    {
        QFETCH(QString, pieces);
        QFETCH(int, offset);
        QFETCH(bool, chain);
        QFETCH(bool, inverted);
        QFETCH(int, scheme);
        QFETCH(int, station);
        QFETCH(bool, departure);
        QFETCH(int, speed);
        const TrackList list =
            ReadTrackList(trackRecord(8058, 0, 0, pieces.toLatin1().constData()));
        QCOMPARE(list.pieces.size(), std::size_t(2));
        const TrackPiece& piece = list.pieces[1];
        QCOMPARE(int(piece.offset), offset);
        QCOMPARE(piece.chainLift(), chain);
        QCOMPARE(piece.inverted(), inverted);
        QCOMPARE(piece.scheme(), scheme);
        QCOMPARE(piece.station().value_or(-1), station);
        QCOMPARE(piece.departureStation(), departure);
        QCOMPARE(piece.speed().value_or(-1), speed);
    }

    void findsListStart_data()
    {
        QTest::addColumn<ByteBuffer>("record");
        QTest::addColumn<int>("start");
        QTest::newRow("base") << trackRecord(8058, 0, 0x04, "00 00") << 0x38;
        QTest::newRow("expansion") << trackRecord(8198, 0, 0x00, "00 00") << 0xC4;
        QTest::newRow("unusual length, expansion flag")
            << trackRecord(300, 0, 0x05, "00 00") << 0xC4;
        QTest::newRow("unusual length, no flag") << trackRecord(300, 0, 0x01, "00 00") << 0x38;
    }
    void findsListStart()
    {
        QFETCH(ByteBuffer, record);
        QFETCH(int, start);
        const TrackList list = ReadTrackList(record);
        QCOMPARE(int(list.start), start);
        QCOMPARE(list.pieces.size(), std::size_t(1));
        QCOMPARE(int(list.pieces[0].offset), start);
    }

    // The list area holds 4,000 pieces and the marker; nothing past it is read.
    void stopsAtFourThousandPieces()
    {
        ByteBuffer record(8198, 0);
        record[7] = 4;
        TrackList list = ReadTrackList(record);
        QCOMPARE(list.pieces.size(), std::size_t(4000));
        QVERIFY(!list.endMarker);
        record[0xC4 + 8000] = 0xFF;
        list = ReadTrackList(record);
        QCOMPARE(list.pieces.size(), std::size_t(4000));
        QVERIFY(list.endMarker);
        // Straight flats 4,000 tiles long stay finite.
        const TrackWalk walk = WalkTrack(list);
        QCOMPARE(walk.end.x, -4000);
        QCOMPARE(walk.footprint.width(), 4000);
    }

    // Every length from 0 to 300 bytes, of zeros and of FFs and of tower pieces, reads
    // and walks without a crash and gives a summary.
    void readsEveryShortLength()
    {
        for (std::size_t length = 0; length <= 300; ++length) {
            for (const std::uint8_t fill :
                 {std::uint8_t(0x00), std::uint8_t(0xFF), std::uint8_t(0x05), std::uint8_t(0x14)}) {
                ByteBuffer record(length, fill);
                const TrackList list = ReadTrackList(record);
                const TrackWalk walk = WalkTrack(list);
                const std::size_t room = length > list.start ? length - list.start : 0;
                if (fill == 0x00) {
                    QCOMPARE(list.pieces.size(), (room + 1) / 2);
                }
                if (fill == 0xFF) {
                    QCOMPARE(list.pieces.size(), std::size_t(0));
                    QCOMPARE(list.endMarker, room > 0);
                }
                if (fill == 0x05 && room >= 2) {
                    // Up 60 pieces climb 64 each.
                    QCOMPARE(walk.end.z, int((room + 1) / 2) * 64);
                }
                QVERIFY(!TrackSummary(list, walk).empty());
            }
        }
    }

    void readsMazes_data()
    {
        QTest::addColumn<ByteBuffer>("record");
        QTest::addColumn<int>("entries");
        QTest::addColumn<bool>("endMarker");
        QTest::addColumn<QString>("summary");
        // Tiles (0,0), (1,0), (2,1); entrance at (-1,0) facing 2, exit at (3,1) facing 0.
        QTest::newRow("entrance and exit")
            << trackRecord(8198, 0x14, 0x04,
                           "00 00 FF FF 01 00 0F F0 02 01 33 33 FF 00 02 08 03 01 00 80 "
                           "00 00 00 00",
                           false)
            << 5 << true << u"Hedge maze: 3 tiles, needs 5 x 2 tiles, an entrance and an exit"_s;
        QTest::newRow("no end marker, no exit")
            << trackRecord(0xC4 + 8, 0x14, 0x04, "05 FE 11 11 FE 02 00 08", false) << 2 << false
            << u"Hedge maze: 1 tile, needs 8 x 5 tiles, an entrance and no exit"_s;
        QTest::newRow("empty maze")
            << trackRecord(8198, 0x14, 0x04, "", false) << 0 << true << u"Hedge maze: no tiles"_s;
    }
    void readsMazes()
    {
        QFETCH(ByteBuffer, record);
        QFETCH(int, entries);
        QFETCH(bool, endMarker);
        QFETCH(QString, summary);
        const TrackList list = ReadTrackList(record);
        QVERIFY(list.maze);
        QCOMPARE(int(list.mazeEntries.size()), entries);
        QCOMPARE(list.endMarker, endMarker);
        QCOMPARE(QString::fromStdString(TrackSummary(list, WalkTrack(list))), summary);
    }

    void readsMazeEntry()
    {
        const TrackList list = ReadTrackList(
            trackRecord(8198, 0x14, 0x04, "FE 03 34 12 05 06 02 08 07 06 01 80 00 00 00 00"));
        QCOMPARE(list.mazeEntries.size(), std::size_t(3));
        QCOMPARE(list.mazeEntries[0].x, -2);
        QCOMPARE(list.mazeEntries[0].y, 3);
        QCOMPARE(list.mazeEntries[0].walls, std::uint16_t(0x1234));
        QCOMPARE(list.mazeEntries[0].kind, MazeEntryKind::Tile);
        QCOMPARE(list.mazeEntries[1].kind, MazeEntryKind::Entrance);
        QCOMPARE(list.mazeEntries[1].direction, 2);
        QCOMPARE(list.mazeEntries[2].kind, MazeEntryKind::Exit);
        QCOMPARE(list.mazeEntries[2].direction, 1);
        QCOMPARE(int(list.mazeEntries[2].offset), 0xC4 + 8);
    }

    void digestsRecords_data()
    {
        QTest::addColumn<ByteBuffer>("record");
        QTest::addColumn<QString>("complete");
        QTest::addColumn<QString>("footprint");
        QTest::newRow("circuit") << trackRecord(8198, 0x13, 4, TestCircuit) << u"yes"_s
                                 << u"12 x 8"_s;
        QTest::newRow("open") << trackRecord(8198, 0x13, 4, "02 00 00 00") << u"no"_s << u"2 x 1"_s;
        QTest::newRow("no pieces") << trackRecord(8198, 0x13, 4, "") << u"-"_s << u"-"_s;
        QTest::newRow("maze") << trackRecord(8198, 0x14, 4, "00 00 FF FF 03 02 FF FF", false)
                              << u"-"_s << u"4 x 3"_s;
        QTest::newRow("too short") << ByteBuffer(8, 0) << u"-"_s << u"-"_s;
    }
    void digestsRecords()
    {
        QFETCH(ByteBuffer, record);
        QFETCH(QString, complete);
        QFETCH(QString, footprint);
        const TrackDigest digest = DigestTrack(record);
        QCOMPARE(QString::fromStdString(digest.complete), complete);
        QCOMPARE(QString::fromStdString(digest.footprint), footprint);
    }

    void namesPieces()
    {
        QCOMPARE(QString::fromStdString(TrackPieceName(0x29)), u"right vertical loop"_s);
        QCOMPARE(QString::fromStdString(TrackPieceName(0x8D)), u"diag flat"_s);
        QVERIFY(FindTrackPiece(0xFF) == nullptr);
        QCOMPARE(QString::fromStdString(TrackPieceName(0xFF)), u"unknown piece FF"_s);
    }

    // The room a train needs above its track, in units, as its ride's descriptor gives it.
    void findsRideClearances_data()
    {
        QTest::addColumn<int>("ride");
        QTest::addColumn<int>("clearance"); // -1: none
        QTest::newRow("wooden coaster") << 0x00 << 24;
        QTest::newRow("inverted coaster") << 0x03 << 40;
        QTest::newRow("chairlift") << 0x12 << 32;
        QTest::newRow("raft ride, the last row") << 0x4F << 24;
        QTest::newRow("hedge maze: no train") << 0x14 << -1;
        QTest::newRow("unknown code") << 0xFF << -1;
    }
    void findsRideClearances()
    {
        QFETCH(int, ride);
        QFETCH(int, clearance);
        QCOMPARE(RideClearance(std::uint8_t(ride)).value_or(-1), clearance);
    }
};

QTEST_GUILESS_MAIN(TestTrackPieces)
#include "tst_track_pieces.moc"
