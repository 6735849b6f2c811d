#include "rules/ride_rules.h"
#include "support/track_records.h"
#include "ui/track/track_edits.h"
#include "ui/track/track_piece_model.h"

#include <QTest>
#include <numeric>

using namespace railwright;
using namespace railwright::testing;
using namespace Qt::StringLiterals;

namespace {

// "offset=value ..." of an edit, for comparison with the table's literal text.
QString EditText(const TrackEdit& edit)
{
    QStringList parts;
    for (const ByteEdit& byte : edit.edits) {
        parts.append(u"%1=%2"_s.arg(byte.index).arg(byte.value, 2, 16, QLatin1Char('0')));
    }
    return edit.stepName + u": "_s + parts.join(u' ');
}

} // namespace

class TestTrackEdits : public QObject
{
    Q_OBJECT

private slots:
    // Pieces at 196 (expansion) or 56 (base): a station, up 25 with a chain and scheme 1,
    // up 60, brakes at speed 3, a flat; on a Steel Corkscrew coaster (gentle lifts only).
    void editsSelectedPieces_data()
    {
        QTest::addColumn<ByteBuffer>("record");
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QList<int>>("pieces");
        QTest::addColumn<QString>("expected");
        const char* pieces = "02 00 04 90 05 00 63 03 00 00";
        const ByteBuffer expansion = trackRecord(8198, 0x13, 4, pieces);
        const ByteBuffer base = trackRecord(8058, 0x13, 0, pieces);
        QTest::newRow("chain on: up 60 and the station take none")
            << expansion << u"chain on"_s << QList<int>{0, 1, 2, 4} << u"Chain Lift On: 205=80"_s;
        QTest::newRow("chain off keeps the scheme")
            << expansion << u"chain off"_s << QList<int>{1, 4} << u"Chain Lift Off: 199=10"_s;
        QTest::newRow("scheme 2, expansion")
            << expansion << u"scheme 2"_s << QList<int>{1, 4} << u"Track Scheme 2: 199=a0 205=20"_s;
        QTest::newRow("scheme 2, base layout has none")
            << base << u"scheme 2"_s << QList<int>{1, 4} << u"Track Scheme 2: "_s;
        QTest::newRow("speed 9 on the brakes only")
            << base << u"speed 9"_s << QList<int>{2, 3} << u"Brake Speed 9: 63=09"_s;
        QTest::newRow("station bit on the station only")
            << base << u"station on"_s << QList<int>{0, 4} << u"Departure Station On: 57=08"_s;
        QTest::newRow("nothing to change")
            << base << u"chain off"_s << QList<int>{0, 4} << u"Chain Lift Off: "_s;
    }
    void editsSelectedPieces()
    {
        QFETCH(ByteBuffer, record);
        QFETCH(QString, operation);
        QFETCH(QList<int>, pieces);
        QFETCH(QString, expected);
        const TrackList list = ReadTrackList(record);
        const std::vector<std::size_t> selected(pieces.begin(), pieces.end());
        const TrackEdit edit = operation == u"chain on"_s    ? ChainLiftEdit(list, selected, true)
                               : operation == u"chain off"_s ? ChainLiftEdit(list, selected, false)
                               : operation == u"scheme 2"_s  ? SchemeEdit(list, selected, 2)
                               : operation == u"speed 9"_s   ? SpeedEdit(list, selected, 9)
                                                             : StationBitEdit(list, selected, true);
        QCOMPARE(EditText(edit), expected);
    }

    // Over every ride and every piece code: the Chain Lift button never sets a chain the
    // piece list then warns about, and every chain it refuses is one the list would warn
    // about. 480 (ride, piece) pairs of the known rides take a chain.
    void chainLiftButtonAgreesWithTheList()
    {
        std::string everyCode;
        for (int code = 0; code < 0xFF; ++code) {
            everyCode += u"%1 00 "_s.arg(code, 2, 16, QChar(u'0')).toStdString();
        }
        const auto marks = [](const ByteBuffer& record) {
            const TrackList list = ReadTrackList(record);
            TrackPieceModel model;
            model.setTrack(list, WalkTrack(list), record[0]);
            QStringList tips;
            for (int row = 0; row < model.rowCount(); ++row) {
                tips.append(
                    model.index(row, TrackPieceModel::NameColumn).data(Qt::ToolTipRole).toString());
            }
            return tips;
        };
        int chainsOnKnownRides = 0;
        for (int ride = 0; ride < 256; ++ride) {
            ByteBuffer plain = trackRecord(8198, std::uint8_t(ride), 4, everyCode.c_str());
            const TrackList list = ReadTrackList(plain);
            std::vector<std::size_t> all(list.pieces.size());
            std::iota(all.begin(), all.end(), std::size_t(0));
            ByteBuffer chained = plain;
            ByteBuffer everyChain = plain;
            for (const ByteEdit& edit : ChainLiftEdit(list, all, true).edits) {
                chained[std::size_t(edit.index)] = edit.value;
            }
            for (const TrackPiece& piece : list.pieces) {
                everyChain[piece.offset + 1] = PieceChainLift;
            }
            const QStringList before = marks(plain);
            const QStringList after = marks(chained);
            const QStringList forced = marks(everyChain);
            // A hedge maze (ride 14) holds tiles, no pieces.
            for (qsizetype row = 0; row < qsizetype(list.pieces.size()); ++row) {
                const bool set = chained[list.pieces[std::size_t(row)].offset + 1] != 0;
                const QString where = u"ride %1, piece %2"_s.arg(ride).arg(row);
                QVERIFY2(after[row] == before[row], qPrintable(where));
                QVERIFY2(set || !before[row].isEmpty() || !forced[row].isEmpty(),
                         qPrintable(where));
                chainsOnKnownRides += set && rules::RulesForRide(std::uint8_t(ride)) ? 1 : 0;
            }
        }
        QCOMPARE(chainsOnKnownRides, 480);
    }

    // Five pieces of two bytes, or a maze's three entries of four, from byte 196.
    void findsRowOfByte_data()
    {
        QTest::addColumn<bool>("maze");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("row");       // -1: none
        QTest::addColumn<QString>("bytes"); // of that row
        QTest::newRow("before the list") << false << 195 << -1 << u""_s;
        QTest::newRow("first code") << false << 196 << 0 << u"196-197"_s;
        QTest::newRow("first flags") << false << 197 << 0 << u"196-197"_s;
        QTest::newRow("last flags") << false << 205 << 4 << u"204-205"_s;
        QTest::newRow("the end marker") << false << 206 << -1 << u""_s;
        QTest::newRow("maze, first tile's walls") << true << 199 << 0 << u"196-199"_s;
        QTest::newRow("maze, the exit") << true << 204 << 2 << u"204-207"_s;
        QTest::newRow("maze, its end marker") << true << 208 << -1 << u""_s;
    }
    void findsRowOfByte()
    {
        QFETCH(bool, maze);
        QFETCH(int, index);
        QFETCH(int, row);
        QFETCH(QString, bytes);
        const TrackList list = ReadTrackList(
            maze ? trackRecord(8198, 0x14, 4, "01 00 00 0F 01 01 00 08 02 01 02 80", false)
                 : trackRecord(8198, 0x13, 4, "02 00 04 90 05 00 63 03 00 00"));
        const auto found = RowOfByte(list, index);
        QCOMPARE(found ? int(*found) : -1, row);
        const ByteSelection::Range range = found ? RowBytes(list, *found) : ByteSelection::Range{};
        QCOMPARE(found ? u"%1-%2"_s.arg(range.first).arg(range.last) : QString(), bytes);
    }

    void namesRows_data()
    {
        QTest::addColumn<QList<int>>("rows");
        QTest::addColumn<QString>("text");
        QTest::newRow("one") << QList<int>{7} << u"piece 7"_s;
        QTest::newRow("two apart") << QList<int>{3, 6} << u"pieces 3 and 6"_s;
        QTest::newRow("runs") << QList<int>{1, 4, 5, 6, 9} << u"pieces 1, 4-6 and 9"_s;
    }
    void namesRows()
    {
        QFETCH(QList<int>, rows);
        QFETCH(QString, text);
        QCOMPARE(PieceRowsText(std::vector<std::size_t>(rows.begin(), rows.end())), text);
    }
};

QTEST_GUILESS_MAIN(TestTrackEdits)
#include "tst_track_edits.moc"
