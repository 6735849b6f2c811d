// Building a track piece by piece: what may follow what, the edits of the record, the gap of
// an open track and the collisions.
#include "codec/track_construction.h"
#include "support/track_records.h"

#include <QTest>

using namespace railwright;
using namespace railwright::testing;
using namespace Qt::StringLiterals;

namespace {

std::vector<std::uint8_t> Codes(const std::vector<FittingPiece>& offers)
{
    std::vector<std::uint8_t> codes;
    for (const FittingPiece& offer : offers) {
        codes.push_back(offer.code);
    }
    return codes;
}

bool Offered(const TrackList& list, std::size_t index, std::uint8_t code, PieceChoice choice)
{
    const auto codes = Codes(FittingPieces(list, index, choice));
    return std::find(codes.begin(), codes.end(), code) != codes.end();
}

} // namespace

class TestTrackConstruction : public QObject
{
    Q_OBJECT

private slots:
    // After each piece, the pieces its end state admits (from the piece table's pitch, roll
    // and diagonal columns), and some it does not.
    void offersFollowTheEndState_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("replace");
        QTest::addColumn<QList<int>>("offered");
        QTest::addColumn<QList<int>>("refused");
        // Flat end: flat, stations, flat to up 25, turns; no up 25 or loop.
        QTest::newRow("after a station")
            << u"02 00"_s << 1 << false << QList<int>{0x00, 0x01, 0x06, 0x2B, 0x12}
            << QList<int>{0x04, 0x28, 0x39, 0x3C};
        // Up 25 end: up 25, up 25 to up 60, up 25 to flat, a vertical loop, a half loop up.
        QTest::newRow("after flat to up 25")
            << u"02 00 06 00"_s << 2 << false << QList<int>{0x04, 0x07, 0x09, 0x28, 0x38}
            << QList<int>{0x00, 0x05, 0x0A};
        // Upside down after a half loop up: the half loop down and a corkscrew down.
        QTest::newRow("after a half loop up")
            << u"06 00 38 00"_s << 2 << false << QList<int>{0x39, 0x3C, 0x3D}
            << QList<int>{0x00, 0x04, 0x38};
        // The list's first piece starts level and straight.
        QTest::newRow("at the start")
            << u"04 00"_s << 0 << false << QList<int>{0x02, 0x06} << QList<int>{0x04, 0x09};
        // Replacing the up 25 between flat to up 25 and up 25 to flat: only pieces from up
        // 25 to up 25 (a loop ends down 25).
        QTest::newRow("replace between") << u"06 00 04 00 09 00"_s << 1 << true << QList<int>{0x04}
                                         << QList<int>{0x07, 0x09, 0x28};
        // Between up 25 and up 60: up 25 to up 60 alone, not what starts like the next.
        QTest::newRow("replace a bend") << u"06 00 07 00 08 00 09 00"_s << 1 << true
                                        << QList<int>{0x07} << QList<int>{0x04, 0x05};
    }
    void offersFollowTheEndState()
    {
        QFETCH(QString, list);
        QFETCH(int, index);
        QFETCH(bool, replace);
        QFETCH(QList<int>, offered);
        QFETCH(QList<int>, refused);
        const TrackList track =
            ReadTrackList(trackRecord(8058, 0x03, 0x00, list.toLatin1().constData()));
        const PieceChoice choice = replace ? PieceChoice::Replace : PieceChoice::Insert;
        for (const int code : offered) {
            QVERIFY2(Offered(track, std::size_t(index), std::uint8_t(code), choice),
                     qPrintable(QString::number(code, 16)));
        }
        for (const int code : refused) {
            QVERIFY2(!Offered(track, std::size_t(index), std::uint8_t(code), choice),
                     qPrintable(QString::number(code, 16)));
        }
    }

    // Every offer starts where the piece before ends, for every piece of the table; and each
    // piece of a complete circuit is among the offers after the one before it.
    void everyOfferJoins()
    {
        for (int code = 0; code < 0xFF; ++code) {
            const std::optional<TrackJoin> end = PieceEndJoin(std::uint8_t(code));
            if (!end.has_value()) {
                continue;
            }
            const ByteBuffer record = trackRecord(8058, 0x00, 0x00, "00 00");
            TrackList list = ReadTrackList(record);
            list.pieces[0].code = std::uint8_t(code);
            for (const FittingPiece& offer : FittingPieces(list, 1, PieceChoice::Insert)) {
                QCOMPARE(PieceStartJoin(offer.code), end);
            }
        }
        const TrackList circuit = ReadTrackList(trackRecord(8058, 0x03, 0x00, BuiltCircuit));
        for (std::size_t i = 0; i < circuit.pieces.size(); ++i) {
            QVERIFY2(Offered(circuit, i, circuit.pieces[i].code, PieceChoice::Insert),
                     qPrintable(u"piece %1"_s.arg(i)));
            QVERIFY2(Offered(circuit, i, circuit.pieces[i].code, PieceChoice::Replace),
                     qPrintable(u"piece %1"_s.arg(i)));
        }
    }

    // Three stations, then only offered pieces inserted at the open end: two right turns,
    // three flats and two right turns close the circuit where it began.
    void buildsACircuitByInsertAlone()
    {
        ByteBuffer record = trackRecord(8058, 0x03, 0x00, "02 00 03 00 01 00");
        for (const std::uint8_t code : {0x2B, 0x2B, 0x00, 0x00, 0x00, 0x2B, 0x2B}) {
            const TrackList list = ReadTrackList(record);
            QVERIFY(Offered(list, list.pieces.size(), code, PieceChoice::Insert));
            QVERIFY(!ApplyPieceListEdit(
                record, {PieceListEdit::Kind::Insert, list.pieces.size(), 0, {code}}));
        }
        const TrackList list = ReadTrackList(record);
        const TrackWalk walk = WalkTrack(list);
        QVERIFY(walk.complete);
        QCOMPARE(FindCollisions(list, walk, 32).crossings.size(), std::size_t(0));
        QCOMPARE(record,
                 trackRecord(8058, 0x03, 0x00,
                             "02 00 03 00 01 00 2B 00 2B 00 00 00 00 00 00 00 2B 00 2B 00"));
    }

    // Edits as bytes: the list shifts, the marker follows, freed bytes become zero, kept
    // pieces keep their flags, new ones take the scheme before them; refusals change nothing.
    void editsTheRecord_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("count");
        QTest::addColumn<QList<int>>("codes");
        QTest::addColumn<QString>("after");    // empty: refused
        QTest::addColumn<QList<int>>("flags"); // an insert's own flags; none: a new piece's
        const int insert = int(PieceListEdit::Kind::Insert);
        const int replace = int(PieceListEdit::Kind::Replace);
        const int erase = int(PieceListEdit::Kind::Delete);
        QTest::newRow("insert after a scheme-2 lift")
            << 8058 << u"02 0B 04 A0 09 00"_s << insert << 2 << 0 << QList<int>{0x04, 0x04}
            << u"02 0B 04 A0 04 20 04 20 09 00"_s << QList<int>{};
        QTest::newRow("insert at 0") << 8058 << u"02 30"_s << insert << 0 << 0 << QList<int>{0x00}
                                     << u"00 00 02 30"_s << QList<int>{};
        QTest::newRow("replace keeps the scheme")
            << 8058 << u"00 10 04 A0 00 00"_s << replace << 1 << 0 << QList<int>{0x00}
            << u"00 10 00 20 00 00"_s << QList<int>{};
        QTest::newRow("delete a run") << 8058 << u"02 00 00 80 00 40 01 00"_s << erase << 1 << 2
                                      << QList<int>{} << u"02 00 01 00"_s << QList<int>{};
        QTest::newRow("delete mends a list without a marker")
            << 62 << u"00 00 00 00 00 00"_s << erase << 2 << 1 << QList<int>{} << u"00 00 00 00"_s
            << QList<int>{};
        QTest::newRow("full record") << 62 << u"00 00 00 00"_s << insert << 2 << 0
                                     << QList<int>{0x00} << QString() << QList<int>{};
        // 64 bytes: room for three pieces and the marker, not four.
        QTest::newRow("no room for the marker")
            << 64 << u"00 00"_s << insert << 1 << 0 << QList<int>{0x00, 0x00, 0x00} << QString()
            << QList<int>{};
        QTest::newRow("insert past the end") << 8058 << u"00 00"_s << insert << 2 << 0
                                             << QList<int>{0x00} << QString() << QList<int>{};
        QTest::newRow("delete past the end") << 8058 << u"00 00 00 00"_s << erase << 1 << 2
                                             << QList<int>{} << QString() << QList<int>{};
        QTest::newRow("the end code") << 8058 << u"00 00"_s << insert << 1 << 0 << QList<int>{0xFF}
                                      << QString() << QList<int>{};
        // Pasted pieces keep their own chain lift and schemes.
        QTest::newRow("insert with their own flags")
            << 8058 << u"02 0B 04 A0 09 00"_s << insert << 2 << 0 << QList<int>{0x04, 0x04}
            << u"02 0B 04 A0 04 B0 04 00 09 00"_s << QList<int>{0xB0, 0x00};
        QTest::newRow("flags for one piece of two")
            << 8058 << u"02 0B 04 A0 09 00"_s << insert << 2 << 0 << QList<int>{0x04, 0x04}
            << QString() << QList<int>{0xB0};
    }
    void editsTheRecord()
    {
        QFETCH(int, length);
        QFETCH(QString, before);
        QFETCH(int, kind);
        QFETCH(int, index);
        QFETCH(int, count);
        QFETCH(QList<int>, codes);
        QFETCH(QString, after);
        QFETCH(QList<int>, flags);
        ByteBuffer record = trackRecord(std::size_t(length), 0x00, 0x00,
                                        before.toLatin1().constData(), length != 62);
        const ByteBuffer original = record;
        PieceListEdit edit{PieceListEdit::Kind(kind), std::size_t(index), std::size_t(count), {}};
        for (const int code : codes) {
            edit.codes.push_back(std::uint8_t(code));
        }
        for (const int flag : flags) {
            edit.flags.push_back(std::uint8_t(flag));
        }
        const std::optional<std::string> refusal = ApplyPieceListEdit(record, edit);
        if (after.isEmpty()) {
            QVERIFY(refusal.has_value() && !refusal->empty());
            QCOMPARE(record, original);
        } else {
            QVERIFY2(!refusal, refusal ? refusal->c_str() : "");
            QCOMPARE(record,
                     trackRecord(std::size_t(length), 0x00, 0x00, after.toLatin1().constData()));
        }
    }

    // A 4,000-piece list fills the expansion record: one more is refused.
    void fullListRefusesOneMore()
    {
        QString pieces;
        for (int i = 0; i < 4000; ++i) {
            pieces += u"00 00 "_s;
        }
        ByteBuffer record = trackRecord(8198, 0x00, 0x04, pieces.toLatin1().constData());
        const ByteBuffer original = record;
        const auto refusal =
            ApplyPieceListEdit(record, {PieceListEdit::Kind::Insert, 10, 0, {0x00}});
        QCOMPARE(QString::fromStdString(refusal.value_or("")),
                 u"the track would have 4001 pieces; the record has room for 4000 pieces and the "
                 u"end marker"_s);
        QCOMPARE(record, original);
    }

    // Where an open track's end lies from its start.
    void describesTheGap_data()
    {
        QTest::addColumn<QList<int>>("end"); // x, y, z, heading
        QTest::addColumn<QString>("text");
        QTest::newRow("closed") << QList<int>{0, 0, 0, 0} << QString();
        QTest::newRow("all four") << QList<int>{-3, -2, -16, 1}
                                  << u"3 tiles west, 2 tiles south, 1 step down, heading differs "
                                     u"by a quarter turn"_s;
        QTest::newRow("east, north, half steps")
            << QList<int>{1, 4, 24, 0} << u"1 tile east, 4 tiles north, 1.5 steps up"_s;
        QTest::newRow("diagonal") << QList<int>{0, 0, 0, 5}
                                  << u"heading differs by three eighths of a turn"_s;
        QTest::newRow("turned round")
            << QList<int>{0, 0, 0, 2} << u"heading differs by half a turn"_s;
    }
    void describesTheGap()
    {
        QFETCH(QList<int>, end);
        QFETCH(QString, text);
        QCOMPARE(QString::fromStdString(DescribeGap({end[0], end[1], end[2], end[3]})), text);
    }

    // Deleting a piece of a complete circuit leaves a gap of that piece: flat to up 25, one
    // tile heading west and rising 8 units.
    void deleteOpensTheCircuit()
    {
        ByteBuffer record = trackRecord(8058, 0x03, 0x00, TestCircuit);
        QVERIFY(!ApplyPieceListEdit(record, {PieceListEdit::Kind::Delete, 3, 1, {}}));
        const TrackWalk walk = WalkTrack(ReadTrackList(record));
        QVERIFY(!walk.complete);
        QCOMPARE(QString::fromStdString(DescribeGap(walk.end)), u"1 tile east, 0.5 steps down"_s);
        // The built circuit without its last turn: a right turn of 3 tiles closes it (plain,
        // covered, or the minigolf hole of that shape); without its last two, two such turns
        // or a right corkscrew up and down. Nothing closes it without its last seven.
        ByteBuffer open = trackRecord(8058, 0x03, 0x00, BuiltCircuit);
        QVERIFY(!ApplyPieceListEdit(open, {PieceListEdit::Kind::Delete, 9, 1, {}}));
        TrackList list = ReadTrackList(open);
        using Runs = std::vector<std::vector<std::uint8_t>>;
        QCOMPARE(ClosingPieces(list, WalkTrack(list)), (Runs{{0x2B}, {0x56}, {0xCC}}));
        QVERIFY(!ApplyPieceListEdit(open, {PieceListEdit::Kind::Delete, 8, 1, {}}));
        list = ReadTrackList(open);
        QCOMPARE(ClosingPieces(list, WalkTrack(list)), (Runs{{0x2B, 0x2B},
                                                             {0x2B, 0x56},
                                                             {0x2B, 0xCC},
                                                             {0x3B, 0x3D},
                                                             {0x56, 0x2B},
                                                             {0x56, 0x56},
                                                             {0x56, 0xCC},
                                                             {0xCC, 0x2B},
                                                             {0xCC, 0x56},
                                                             {0xCC, 0xCC}}));
        // Half a small banked helix up and a banked tile: the half down and another banked
        // tile close it, leaning as the helix begins (left bank to flat ends level: not it).
        const TrackList helix = ReadTrackList(trackRecord(8058, 0x03, 0x00, "57 00 20 00"));
        QCOMPARE(ClosingPieces(helix, WalkTrack(helix)), (Runs{{0x59, 0x20}}));
        QVERIFY(!ApplyPieceListEdit(open, {PieceListEdit::Kind::Delete, 3, 5, {}}));
        list = ReadTrackList(open);
        QVERIFY(ClosingPieces(list, WalkTrack(list)).empty());
    }

    // Five one-tile left turns: the fifth runs through the first one's tile.
    void findsCollisions_data()
    {
        QTest::addColumn<QString>("pieces");
        QTest::addColumn<int>("clearance"); // -1: not known
        QTest::addColumn<QList<int>>("pairs");
        QTest::addColumn<QList<int>>("deep"); // below the lowest ground
        QTest::newRow("fifth turn")
            << u"32 00 32 00 32 00 32 00 32 00"_s << 32 << QList<int>{0, 4} << QList<int>{};
        QTest::newRow("unknown clearance")
            << u"32 00 32 00 32 00 32 00 32 00"_s << -1 << QList<int>{0, 4} << QList<int>{};
        // Down 60 from 40 units below the start: piece 32 starts 1,960 below it, its tile
        // base 2,024, more than the 2,016 from the lowest land to the highest track.
        QTest::newRow("deep dive") << (u"0C 00 0D 00"_s + u" 0B 00"_s.repeated(32)) << 32
                                   << QList<int>{} << QList<int>{32, 33};
        // A helix of one-tile turns up 60: the fifth lies 256 units over the first, clear of
        // a 256-unit train, not of a taller one.
        QTest::newRow("helix, clear")
            << u"5F 00 5F 00 5F 00 5F 00 5F 00"_s << 256 << QList<int>{} << QList<int>{};
        QTest::newRow("helix, too close")
            << u"5F 00 5F 00 5F 00 5F 00 5F 00"_s << 257 << QList<int>{0, 4} << QList<int>{};
        QTest::newRow("closed circuit")
            << u"32 00 32 00 32 00 32 00"_s << 32 << QList<int>{} << QList<int>{};
    }
    void findsCollisions()
    {
        QFETCH(QString, pieces);
        QFETCH(int, clearance);
        QFETCH(QList<int>, pairs);
        QFETCH(QList<int>, deep);
        const TrackList list =
            ReadTrackList(trackRecord(8058, 0x00, 0x00, pieces.toLatin1().constData()));
        const TrackCollisions found = FindCollisions(
            list, WalkTrack(list), clearance < 0 ? std::nullopt : std::optional(clearance));
        QList<int> named;
        for (const TrackCollision& crossing : found.crossings) {
            named << int(crossing.first) << int(crossing.second);
        }
        QCOMPARE(named, pairs);
        QCOMPARE(QList<std::size_t>(found.belowGround.begin(), found.belowGround.end()),
                 QList<std::size_t>(deep.begin(), deep.end()));
        QCOMPARE(found.clearanceKnown, clearance >= 0);
    }
};

QTEST_MAIN(TestTrackConstruction)
#include "tst_track_construction.moc"
