#include "cli_run.h"
#include "support/sample_files.h"
#include "support/track_records.h"

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

using namespace railwright;
using namespace railwright::test;
using namespace railwright::testing;
using namespace Qt::StringLiterals;

namespace {

// The test circuit in the expansion layout with the corkscrew train in continuous circuit
// mode, rail colours of schemes 0 and 1 set to palette 24 (223, 0, 7) and 5 (15, 64, 176).
ByteBuffer CircuitRecord()
{
    ByteBuffer record = trackRecord(8198, 0x13, 0x04, TestCircuit);
    record[1] = 0x1F;
    record[6] = 0x01;
    record[60] = 24;
    record[61] = 5;
    return record;
}

bool HasColor(const QImage& image, QRgb color)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if ((image.pixel(x, y) & 0xFFFFFF) == (color & 0xFFFFFF)) {
                return true;
            }
        }
    }
    return false;
}

} // namespace

class TestTrackCommands : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString write(const QString& name, const ByteBuffer& record, bool encode = true)
    {
        return writeFile(m_dir.path(), name, asBytes(encode ? encodedFile(record) : record));
    }

private slots:
    void listsPieces()
    {
        const CliRun run = RunCli({u"pieces"_s, write(u"circuit.TD4"_s, CircuitRecord())});
        QCOMPARE(run.exitCode, 0);
        const QList<QByteArray> lines = run.out.split('\n');
        QCOMPARE(lines.size(), 25); // header, 22 pieces, summary, end of the last line
        QCOMPARE(lines[0],
                 "index  offset  code  name                                      chain  "
                 "inverted  scheme  station/speed              x      y       z  heading");
        QCOMPARE(lines[1],
                 "    0     196  02    begin station                             no     "
                 "no             0  station 0                  0      0       0        0");
        QCOMPARE(lines[5],
                 "    4     204  04    up 25                                     yes    "
                 "no             0  -                         -4      0       8        0");
        QCOMPARE(lines[10],
                 "    9     214  8D    diag flat                                 no     "
                 "no             0  -                         -8      5      32        5");
        QCOMPARE(lines[23], "Complete circuit: 22 pieces, needs 12 x 8 tiles, 10 land steps from "
                            "lowest to highest point");
    }

    void listsPiecesAsJson()
    {
        ByteBuffer record = CircuitRecord();
        record[0xC4 + 1] = 0x1A; // begin station: scheme 1, station 2, departure bit
        const CliRun run = RunCli(
            {u"pieces"_s, write(u"circuit.bin"_s, record, false), u"--json"_s, u"--decoded"_s});
        QCOMPARE(run.exitCode, 0);
        QJsonParseError error;
        const QJsonObject json = QJsonDocument::fromJson(run.out, &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(json[u"layout"_s].toString(), u"expansion"_s);
        QCOMPARE(json[u"complete"_s].toBool(), true);
        const QJsonArray pieces = json[u"pieces"_s].toArray();
        QCOMPARE(pieces.size(), 22);
        const QJsonObject station = pieces[0].toObject();
        QCOMPARE(station[u"code"_s].toString(), u"02"_s);
        QCOMPARE(station[u"offset"_s].toInt(), 196);
        QCOMPARE(station[u"scheme"_s].toInt(), 1);
        QCOMPARE(station[u"station"_s].toInt(), 2);
        QVERIFY(station[u"speed"_s].isNull());
        const QJsonObject loop = pieces[6].toObject();
        QCOMPARE(loop[u"name"_s].toString(), u"right vertical loop"_s);
        QCOMPARE(loop[u"x"_s].toInt(), -6);
        QCOMPARE(loop[u"z"_s].toInt(), 32);
        QVERIFY(loop[u"station"_s].isNull());
        QCOMPARE(pieces[4].toObject()[u"chain"_s].toBool(), true);
        const QJsonObject footprint = json[u"footprint"_s].toObject();
        QCOMPARE(footprint[u"width"_s].toInt(), 12);
        QCOMPARE(footprint[u"length"_s].toInt(), 8);
        QCOMPARE(footprint[u"max_z"_s].toInt(), 152);
        const QJsonObject end = json[u"end"_s].toObject();
        QCOMPARE(end[u"x"_s].toInt(), 0);
        QCOMPARE(end[u"heading"_s].toInt(), 0);
    }

    void listsMazeAndDamagedLists_data()
    {
        QTest::addColumn<ByteBuffer>("record");
        QTest::addColumn<QByteArrayList>("expected"); // lines that must appear
        QTest::newRow("maze")
            << trackRecord(8198, 0x14, 0x04, "00 00 34 12 FF 00 02 08 01 00 00 80 00 00 00 00",
                           false)
            << QByteArrayList{"    0     196     0     0  1234   tile",
                              "    1     200    -1     0  0802   entrance facing 2",
                              "    2     204     1     0  8000   exit facing 0",
                              "Hedge maze: 1 tile, needs 3 x 1 tiles, an entrance and an exit"};
        QTest::newRow("no end marker, later piece")
            << trackRecord(0x38 + 4, 0x00, 0x00, "D8 00 00 00", false)
            << QByteArrayList{"Open track: from its start, the end is 1 tile west",
                              "Warning: The track has no end marker: its pieces run to the end "
                              "of the list",
                              "Warning: Piece 0, block brakes (code 0xD8, byte 0x38): this "
                              "piece is not track of this game; it is left out of the track's "
                              "shape"};
    }
    void listsMazeAndDamagedLists()
    {
        QFETCH(ByteBuffer, record);
        QFETCH(QByteArrayList, expected);
        const CliRun run = RunCli({u"pieces"_s, write(u"design.TD4"_s, record)});
        QCOMPARE(run.exitCode, 0);
        const QList<QByteArray> lines = run.out.split('\n');
        for (const QByteArray& line : expected) {
            QVERIFY2(lines.contains(line), run.out.constData());
        }
    }

    // `scan` and `pieces --json` give one list of warnings for a file, and agree whether
    // its track is complete ("-" and null where there is no circuit to close).
    void sameWarningsInScanAndPieces_data()
    {
        QTest::addColumn<ByteBuffer>("record");
        QTest::addColumn<QStringList>("warnings");
        QTest::addColumn<QString>("complete");
        QTest::newRow("the test circuit") << CircuitRecord() << QStringList() << u"yes"_s;
        ByteBuffer wooden = trackRecord(8058, 0x00, 0, "02 00 0B 80 5F 00 2F 80");
        wooden[1] = 0x25;
        wooden[6] = 0x01;
        QTest::newRow("wooden coaster: log flume boats, chains on 60 down and a sloped curve")
            << wooden
            << QStringList{u"Vehicle 0x25: this vehicle is not offered for this ride in the game"_s,
                           u"The track does not return to its start, but the ride runs as a "
                           u"continuous circuit"_s,
                           u"Piece 1, down 60 (code 0x0B, byte 0x3A): this piece cannot carry a "
                           u"chain lift on this ride"_s,
                           u"Piece 2, left quarter turn 1 tile up 60 (code 0x5F, byte 0x3C): "
                           u"this ride builds this piece only with a construction cheat"_s}
            << u"no"_s;
        ByteBuffer maze = trackRecord(0xC4 + 8, 0x14, 4, "00 00 34 12 01 00 34 12", false);
        maze[6] = 0x0B;
        QTest::newRow("maze without its end marker")
            << maze
            << QStringList{u"The maze has no end marker: its tiles run to the end of the list"_s}
            << u"-"_s;
    }
    void sameWarningsInScanAndPieces()
    {
        QFETCH(ByteBuffer, record);
        QFETCH(QStringList, warnings);
        QFETCH(QString, complete);
        const QString file = write(u"warned.TD4"_s, record);
        const CliRun scan = RunCli({u"scan"_s, u"--json"_s, file});
        const QJsonObject row = QJsonDocument::fromJson(scan.out).object();
        QCOMPARE(row[u"warnings"_s].toVariant().toStringList(), warnings);
        QCOMPARE(row[u"complete"_s].toString(), complete);
        const CliRun pieces = RunCli({u"pieces"_s, u"--json"_s, file});
        QCOMPARE(pieces.exitCode, 0);
        const QJsonObject json = QJsonDocument::fromJson(pieces.out).object();
        QCOMPARE(json[u"warnings"_s].toVariant().toStringList(), warnings);
        const QJsonValue closed = json[u"complete"_s];
        QCOMPARE(closed.isNull() ? u"-"_s : closed.toBool() ? u"yes"_s : u"no"_s, complete);
    }

    void refusesUndecodableInput()
    {
        const QString bad = writeFile(m_dir.path(), u"bad.TD4"_s, "\x7F\x01\x02");
        const CliRun run = RunCli({u"pieces"_s, bad});
        QCOMPARE(run.exitCode, 1);
        QVERIFY(run.out.isEmpty());
        QVERIFY(run.err.startsWith("railwright-cli: " + bad.toUtf8() + ": "));
    }

    // Every view of every kind of design, at the requested size on the longer side.
    void rendersEachView_data()
    {
        QTest::addColumn<QString>("view");
        QTest::addColumn<ByteBuffer>("record");
        QTest::addColumn<QSize>("size");
        // The circuit covers 12 x 8 tiles: a plan at 3:2.
        QTest::newRow("plan, circuit") << u"plan"_s << CircuitRecord() << QSize(300, 200);
        QTest::newRow("side, circuit") << u"side"_s << CircuitRecord() << QSize(300, 150);
        // Iso: tile corners of x -6..0 span y - x from -32 to 224; (x + y) / 2 - z from
        // -192 (the top of the climb, 96 high at tile -7) to 32: 256 x 224.
        QTest::newRow("3d, shuttle")
            << u"3d"_s << trackRecord(8058, 0x2A, 0, "02 00 03 00 01 00 00 00 00 00 07 00 05 00")
            << QSize(300, 263);
        // "iso", the view's first name, still names it.
        QTest::newRow("iso, shuttle")
            << u"iso"_s << trackRecord(8058, 0x2A, 0, "02 00 03 00 01 00 00 00 00 00 07 00 05 00")
            << QSize(300, 263);
        // Seven tiles in a row: as long as the picture allows, an eighth of it high.
        QTest::newRow("plan, shuttle")
            << u"plan"_s << trackRecord(8058, 0x2A, 0, "02 00 03 00 01 00 00 00 00 00 07 00 05 00")
            << QSize(300, 43);
        // Tiles (0, 0) and (1, 1) stand one above the other in iso: 64 x 64 units.
        QTest::newRow("iso, maze")
            << u"iso"_s << trackRecord(8198, 0x14, 4, "00 00 FF FF 01 01 FF FF", false)
            << QSize(300, 300);
        QTest::newRow("plan, maze")
            << u"plan"_s << trackRecord(8198, 0x14, 4, "00 00 FF FF 01 01 FF FF", false)
            << QSize(300, 300);
        QTest::newRow("side, no pieces")
            << u"side"_s << trackRecord(8198, 0x13, 4, "") << QSize(300, 150);
    }
    void rendersEachView()
    {
        QFETCH(QString, view);
        QFETCH(ByteBuffer, record);
        QFETCH(QSize, size);
        const QString png = m_dir.filePath(u"picture.png"_s);
        const CliRun run = RunCli({u"render"_s, write(u"design.TD4"_s, record), u"--out"_s, png,
                                   u"--view"_s, view, u"--size"_s, u"300"_s});
        QCOMPARE(run.exitCode, 0);
        const QImage image(png);
        QCOMPARE(image.size(), size);
    }

    // Each piece in its scheme's rail colour.
    void rendersSchemeColors()
    {
        ByteBuffer record = CircuitRecord();
        const QString png = m_dir.filePath(u"colors.png"_s);
        QCOMPARE(RunCli({u"render"_s, write(u"a.TD4"_s, record), u"--out"_s, png, u"--view"_s,
                         u"plan"_s})
                     .exitCode,
                 0);
        QVERIFY(HasColor(QImage(png), qRgb(223, 0, 7)));
        QVERIFY(!HasColor(QImage(png), qRgb(15, 64, 176)));
        record[0xC4 + 29] = 0x10; // the flat after the descent in scheme 1
        QCOMPARE(RunCli({u"render"_s, write(u"a.TD4"_s, record), u"--out"_s, png, u"--view"_s,
                         u"plan"_s})
                     .exitCode,
                 0);
        QVERIFY(HasColor(QImage(png), qRgb(15, 64, 176)));
    }

    void rendersChainLifts()
    {
        ByteBuffer record = CircuitRecord();
        const QString withChain = m_dir.filePath(u"chain.png"_s);
        const QString without = m_dir.filePath(u"plain.png"_s);
        QCOMPARE(RunCli({u"render"_s, write(u"c.TD4"_s, record), u"--out"_s, withChain}).exitCode,
                 0);
        record[0xC4 + 9] = 0x00;
        record[0xC4 + 11] = 0x00;
        QCOMPARE(RunCli({u"render"_s, write(u"c.TD4"_s, record), u"--out"_s, without}).exitCode, 0);
        QVERIFY(QImage(withChain) != QImage(without));
    }

    // The iso view turned by each quarter turn: four different pictures.
    void rendersEachTurn()
    {
        const QString design = write(u"t.TD4"_s, CircuitRecord());
        QList<QImage> pictures;
        for (const QString& turn : {u"0"_s, u"1"_s, u"2"_s, u"3"_s}) {
            const QString png = m_dir.filePath(u"turn"_s + turn + u".png"_s);
            QCOMPARE(RunCli({u"render"_s, design, u"--out"_s, png, u"--turn"_s, turn}).exitCode, 0);
            const QImage picture(png);
            QVERIFY(!picture.isNull());
            QVERIFY(!pictures.contains(picture));
            pictures.append(picture);
        }
    }

    // Many designs in one run: a file that does not decode is an error line, the others
    // are drawn, a damaged list is drawn with a warning.
    void rendersManyDesigns()
    {
        QTemporaryDir folder;
        writeFile(folder.path(), u"one.TD4"_s, asBytes(encodedFile(CircuitRecord())));
        writeFile(folder.path(), u"two.td4"_s,
                  asBytes(encodedFile(trackRecord(0x38 + 4, 0, 0, "00 00 00 00", false))));
        const QString bad = writeFile(folder.path(), u"three.TD4"_s, "\x7F\x01\x02");
        writeFile(folder.path(), u"notes.txt"_s, "not a design");
        const QString out = m_dir.filePath(u"pictures"_s);
        const CliRun run =
            RunCli({u"render"_s, folder.path(), u"--out"_s, out, u"--size=64"_s, u"--view=plan"_s});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(QImage(out + u"/one.png"_s).size(), QSize(64, 43));
        QCOMPARE(QImage(out + u"/two.png"_s).width(), 64);
        QVERIFY(!QFile::exists(out + u"/three.png"_s));
        QVERIFY(!QFile::exists(out + u"/notes.png"_s));
        const QList<QByteArray> errors = run.err.trimmed().split('\n');
        QCOMPARE(errors.size(), 3);
        QVERIFY(errors[0].startsWith("railwright-cli: " + bad.toUtf8() + ": "));
        QCOMPARE(errors[1], "railwright-cli: " + folder.filePath(u"two.td4"_s).toUtf8() +
                                ": warning: The track has no end marker: its pieces run to the "
                                "end of the list");
        QCOMPARE(errors[2], "railwright-cli: 1 of 3 designs were not drawn");
    }

    void refusesBadRenderCommands_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("no --out") << QStringList{u"render"_s, u"a.TD4"_s};
        QTest::newRow("unknown view")
            << QStringList{u"render"_s, u"a.TD4"_s, u"--out=x"_s, u"--view=top"_s};
        QTest::newRow("size too small")
            << QStringList{u"render"_s, u"a.TD4"_s, u"--out=x"_s, u"--size=8"_s};
        QTest::newRow("turn out of range")
            << QStringList{u"render"_s, u"a.TD4"_s, u"--out=x"_s, u"--turn=4"_s};
        QTest::newRow("one png for two designs")
            << QStringList{u"render"_s, u"a.TD4"_s, u"b.TD4"_s, u"--out=x.png"_s};
    }
    void refusesBadRenderCommands()
    {
        QFETCH(QStringList, arguments);
        const CliRun run = RunCli(arguments, m_dir.path());
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.err.startsWith("railwright-cli: "));
    }

    // The shared edit cases, as decoded records, and the first one also as design files:
    // the bytes the window's edits give too.
    void editsTheTrack()
    {
        for (const TrackEditCase& edit : TrackEditCases()) {
            const std::size_t length = edit.byte7 & 4 ? 8198 : 8058;
            QStringList arguments{
                u"track"_s,
                write(u"in.bin"_s, trackRecord(length, 0x00, edit.byte7, edit.before), false),
                m_dir.filePath(u"out.bin"_s), u"--decoded"_s};
            for (const char* argument : edit.arguments) {
                arguments << QString::fromUtf8(argument);
            }
            const CliRun run = RunCli(arguments);
            QVERIFY2(run.exitCode == 0, run.err.constData());
            QCOMPARE(asBytes(trackRecord(length, 0x00, edit.byte7, edit.after)),
                     readFile(m_dir.filePath(u"out.bin"_s)));
        }
        const TrackEditCase& first = TrackEditCases().front();
        const QString design = write(u"in.TD4"_s, trackRecord(8058, 0x00, 0x00, first.before));
        QCOMPARE(
            RunCli({u"track"_s, design, design, u"--insert"_s, u"1:middle station"_s}).exitCode, 0);
        QCOMPARE(readFile(design),
                 asBytes(encodedFile(trackRecord(8058, 0x00, 0x00, first.after))));
    }

    // Five one-tile turns: the fifth runs through the first's tile, named in the table and
    // in the JSON by the two pieces' indexes.
    void namesCollisions_data()
    {
        QTest::addColumn<int>("index");
        for (std::size_t i = 0; i < CollisionCases().size(); ++i) {
            QTest::newRow(CollisionCases()[i].name) << int(i);
        }
    }
    void namesCollisions()
    {
        QFETCH(int, index);
        const CollisionCase& design = CollisionCases()[std::size_t(index)];
        const QString file =
            write(u"crossing.bin"_s, trackRecord(8058, design.ride, 0x00, design.pieces), false);
        const CliRun table = RunCli({u"pieces"_s, file, u"--decoded"_s});
        QStringList named;
        for (const QString& line : QString::fromUtf8(table.out).split(u'\n')) {
            if (line.startsWith(u"Collision: "_s)) {
                named.append(line.mid(11));
            }
        }
        QStringList expected;
        for (const char* line : design.lines) {
            expected.append(QString::fromLatin1(line));
        }
        QCOMPARE(named, expected);
        const CliRun json = RunCli({u"pieces"_s, file, u"--decoded"_s, u"--json"_s});
        const QJsonArray collisions =
            QJsonDocument::fromJson(json.out).object()[u"collisions"_s].toArray();
        QCOMPARE(collisions.size(), qsizetype(design.lines.size()));
    }

    // A step that fails writes nothing and names the step.
    void refusesBadSteps_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::newRow("past the end")
            << QStringList{u"--insert"_s, u"0:00"_s, u"--delete"_s, u"30"_s} << 1
            << u"step 2 (--delete 30): can't delete piece 30: the track has pieces 0-10; "
               u"nothing written"_s;
        QTest::newRow("unknown piece")
            << QStringList{u"--replace"_s, u"1:zz"_s} << 2
            << u"track: step 1 (--replace 1:zz): \"zz\" is no piece: give two hexadecimal "
               u"digits or the piece's name as pieces prints it"_s;
        QTest::newRow("the end code")
            << QStringList{u"--insert"_s, u"1:FF"_s} << 2 << u"\"FF\" is no piece"_s;
        QTest::newRow("backwards run") << QStringList{u"--delete"_s, u"4-2"_s} << 2
                                       << u"expected a piece N or a run N-M, counted from 0"_s;
        QTest::newRow("no step") << QStringList{} << 2
                                 << u"give at least one --delete, --insert or --replace"_s;
    }
    void refusesBadSteps()
    {
        QFETCH(QStringList, steps);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        const QString output = m_dir.filePath(u"refused.bin"_s);
        const CliRun run = RunCli(
            QStringList{u"track"_s,
                        write(u"in.bin"_s, trackRecord(8058, 0x00, 0x00, BuiltCircuit), false),
                        output, u"--decoded"_s} +
            steps);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(QString::fromUtf8(run.err).contains(message), run.err.constData());
        QVERIFY(!QFile::exists(output));
    }
};

QTEST_GUILESS_MAIN(TestTrackCommands)
#include "tst_track_commands.moc"
