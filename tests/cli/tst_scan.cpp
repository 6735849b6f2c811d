#include "cli_run.h"
#include "support/sample_files.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

using namespace railwright;
using namespace railwright::test;
using namespace Qt::StringLiterals;

namespace {

// Ride 0F (or `ride`), vehicle 00, mode 01 (named by the test's tables), excitement 6.5, intensity
// 4.2, nausea 3.1, maximum speed 40 x 2.25 = 90 mph and three track pieces before FF.
QByteArray Design(std::size_t length, std::size_t trackStart, GameVersion version, int ride = 0x0F)
{
    ByteBuffer record(length, 0);
    for (const auto& [offset, value] :
         {std::pair{0, ride}, {6, 0x01}, {41, 40}, {51, 65}, {52, 42}, {53, 31}}) {
        record[std::size_t(offset)] = std::uint8_t(value);
    }
    record[trackStart] = record[trackStart + 2] = record[trackStart + 4] = 0x01;
    record[trackStart + 6] = 0xFF;
    return asBytes(encodedFile(record, version));
}

QByteArray CodeTable(const char* code, const QByteArray& name)
{
    return QByteArray(code) + name.leftJustified(128, ' ');
}

} // namespace

class TestScan : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QStringList m_tables;

    QString size(const QString& name) const
    {
        return QString::number(QFileInfo(m_dir.filePath(name)).size());
    }

private slots:
    void initTestCase()
    {
        const QString root = m_dir.path();
        QVERIFY(QDir(root).mkpath(u"designs/sub"_s) && QDir(root).mkpath(u"tables"_s));
        writeFile(root, u"tables/RCCODES.RCS"_s, CodeTable("0F", "Steel Coaster"));
        writeFile(root, u"tables/VTCODES.RCS"_s, CodeTable("00", "Train"));
        writeFile(root, u"tables/OMCODES.RCS"_s, CodeTable("01", "Circuit"));
        m_tables = {u"--tables"_s, u"tables"_s};

        const QString designs = m_dir.filePath(u"designs"_s);
        writeFile(designs, u"odd.Td4"_s, Design(300, 0x38, GameVersion::Original));
        writeFile(designs, u"sub/EXPANSION.TD4"_s,
                  Design(8198, 0xC4, GameVersion::LoopyLandscapes));
        writeFile(root, u"plain.bin"_s, Design(8058, 0x38, GameVersion::Original));
        QByteArray changed = Design(8058, 0x38, GameVersion::Original);
        changed[changed.size() - 1] = char(changed.back() ^ 1);
        writeFile(designs, u"changed.td4"_s, changed);
        writeFile(designs, u"notes.td4"_s, "not a design\n"); // 6E: 111 bytes follow
        writeFile(designs, u"big.td4"_s, QByteArray(65001, '\0'));
        writeFile(designs, u"readme.txt"_s, "not scanned");
        // A boat hire with a coaster train in circuit mode: valid, with two warnings.
        writeFile(designs, u"boats.td4"_s, Design(8058, 0x38, GameVersion::Original, 0x08));
        QVERIFY(QFile::link(u"nowhere"_s, m_dir.filePath(u"designs/gone.td4"_s)));
    }

    void rowsInEachFormat()
    {
        // Three stations in a row do not close, and every design runs in circuit mode.
        const QString open = u"The track does not return to its start, but the ride runs as a "
                             u"continuous circuit"_s;
        const QStringList expected = {
            u"designs/big.td4,65001,,,,,,,,,,,,,,,too large: a track-design file has at most "
            u"65000 bytes,"_s,
            u"designs/boats.td4,%1,valid,original/corkscrew,base,8058,,Train,Circuit,6.5,4.2,3.1,"
            u"90,3,no,3 x 1,,\"Vehicle 0x00: this vehicle is not offered for this ride in the "
            u"game; Operating mode 0x01: this operating mode is not offered for this ride in the "
            u"game; %2\""_s.arg(size(u"designs/boats.td4"_s), open),
            u"designs/changed.td4,%1,mismatch,,base,8058,Steel Coaster,Train,Circuit,6.5,4.2,3.1,"
            u"90,3,no,3 x 1,the checksum matches no game,\"%2\""_s.arg(
                size(u"designs/changed.td4"_s), open),
            u"designs/gone.td4,,,,,,,,,,,,,,,,cannot open the file: No such file or directory,"_s,
            u"designs/notes.td4,13,mismatch,,,,,,,,,,,,,,damaged track design: a block at offset 0 "
            u"runs past the end of the file,"_s,
            u"designs/odd.Td4,%1,valid,original/corkscrew,unusual,300,Steel Coaster,Train,Circuit,"
            u"6.5,4.2,3.1,90,3,no,3 x 1,,\"%2\""_s.arg(size(u"designs/odd.Td4"_s), open),
            u"designs/sub/EXPANSION.TD4,%1,valid,loopy,expansion,8198,Steel Coaster,Train,Circuit,"
            u"6.5,4.2,3.1,90,3,no,3 x 1,,\"%2\""_s.arg(size(u"designs/sub/EXPANSION.TD4"_s), open),
            u"plain.bin,%1,valid,original/corkscrew,base,8058,Steel Coaster,Train,Circuit,6.5,4.2,"
            u"3.1,90,3,no,3 x 1,,\"%2\""_s.arg(size(u"plain.bin"_s), open),
        };
        const QStringList paths = {u"designs"_s, u"plain.bin"_s};
        // A locale with a decimal comma: the machine formats keep the dot.
        const QString german = u"de_DE.UTF-8"_s;

        const CliRun csv =
            RunCli(QStringList{u"scan"_s, u"--csv"_s} + m_tables + paths, m_dir.path(), german);
        QCOMPARE(csv.exitCode, 1);
        QCOMPARE(csv.err, "railwright-cli: 4 of 8 files are not valid track designs\n");
        QStringList lines = QString::fromUtf8(csv.out).split(u"\r\n"_s);
        QCOMPARE(lines.takeFirst(), u"path,size,checksum,game,layout,record_length,ride_type,"
                                    u"vehicle_type,operating_mode,excitement,intensity,nausea,"
                                    u"max_speed,track_pieces,complete,footprint,problem,"
                                    u"warnings"_s);
        QCOMPARE(lines.takeLast(), QString());
        lines.sort();
        QCOMPARE(lines, expected);

        // Each JSON object holds the CSV row under the header's keys, numbers as numbers.
        const QStringList keys = QString::fromUtf8(csv.out).section(u"\r\n"_s, 0, 0).split(u',');
        const CliRun json =
            RunCli(QStringList{u"scan"_s, u"--json"_s} + m_tables + paths, m_dir.path(), german);
        QCOMPARE(json.exitCode, 1);
        lines.clear();
        for (const QByteArray& line : json.out.trimmed().split('\n')) {
            const QJsonObject object = QJsonDocument::fromJson(line).object();
            QCOMPARE(object.size(), keys.size());
            QVERIFY(!object.value(u"size"_s).isString() && !object.value(u"nausea"_s).isString());
            QStringList values;
            for (const QString& key : keys) {
                const QJsonValue value = object.value(key);
                const QString text = value.isDouble() ? QString::number(value.toDouble())
                                     : value.isArray() // the warnings
                                         ? value.toVariant().toStringList().join(u"; "_s)
                                         : value.toString();
                values.append(text.contains(u',') ? u'"' + text + u'"' : text);
            }
            lines.append(values.join(u','));
        }
        lines.sort();
        QCOMPARE(lines, expected);
    }

    void tableForPeople()
    {
        const CliRun run =
            RunCli(QStringList{u"scan"_s, u"designs/sub"_s, u"designs/big.td4"_s} + m_tables,
                   m_dir.path(), u"de_DE.UTF-8"_s);
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(
            QString::fromUtf8(run.out),
            u"  SIZE  CHECKSUM                  LAYOUT          EXC   INT   NAU     MPH  PIECES  "
            u"RIDE TYPE      VEHICLE TYPE  OPERATING MODE  PATH\n"
            u"%1  valid loopy               expansion       6,5   4,2   3,1      90       3  "
            u"Steel Coaster  Train         Circuit         designs/sub/EXPANSION.TD4\n"
            u" 65001  -                         -                 -     -     -       -       -  "
            u"-              -             -               designs/big.td4: too large: a "
            u"track-design file has at most 65000 bytes\n"_s.arg(
                size(u"designs/sub/EXPANSION.TD4"_s), 6));
    }

    void exitStatus()
    {
        const CliRun valid = RunCli(
            QStringList{u"scan"_s, u"designs/sub"_s, u"plain.bin"_s} + m_tables, m_dir.path());
        QCOMPARE(valid.exitCode, 0);
        QCOMPARE(valid.err, QByteArray());
        const CliRun usage = RunCli({u"scan"_s, u"--csv"_s, u"--json"_s, u"plain.bin"_s});
        QCOMPARE(usage.err, "railwright-cli: scan: --csv and --json exclude each other\n");
        QCOMPARE(usage.exitCode, 2);
    }
};

QTEST_GUILESS_MAIN(TestScan)
#include "tst_scan.moc"
