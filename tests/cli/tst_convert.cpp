#include "cli_run.h"
#include "support/sample_files.h"

#include <QTemporaryDir>
#include <QTest>

using namespace railwright;
using namespace railwright::test;
using namespace Qt::StringLiterals;

namespace {

// A base design with every byte busy: base track colours 20 21 22 at 32-34.
ByteBuffer BaseRecord()
{
    ByteBuffer record(8058);
    for (std::size_t i = 0; i < record.size(); ++i) {
        record[i] = std::uint8_t(i % 251);
    }
    record[7] = 0x02;
    return record;
}

} // namespace

class TestConvert : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString path(const QString& name) const { return m_dir.filePath(name); }

private slots:
    void toExpansionAndBackIsExact_data()
    {
        QTest::addColumn<GameVersion>("game");
        QTest::addColumn<QByteArray>("verdict");
        QTest::newRow("base game")
            << GameVersion::Original << QByteArray("original or corkscrew\n");
        QTest::newRow("loopy") << GameVersion::LoopyLandscapes << QByteArray("loopy\n");
    }
    void toExpansionAndBackIsExact()
    {
        QFETCH(GameVersion, game);
        QFETCH(QByteArray, verdict);
        const QByteArray original = asBytes(encodedFile(BaseRecord(), game));
        const QString ride = writeFile(m_dir.path(), u"ride.TD4"_s, original);

        QCOMPARE(RunCli({u"convert"_s, ride, path(u"big.TD4"_s), u"--to=expansion"_s}).exitCode, 0);
        QCOMPARE(RunCli({u"verify"_s, path(u"big.TD4"_s)}).out, verdict);
        QCOMPARE(RunCli({u"decode"_s, path(u"big.TD4"_s), path(u"big.bin"_s)}).exitCode, 0);
        const QByteArray expansion = readFile(path(u"big.bin"_s));
        QCOMPARE(expansion.size(), 8198);
        QCOMPARE(expansion.mid(0, 8).toHex(' '), "00 01 02 03 04 05 06 06");
        QCOMPARE(expansion.mid(56, 16).toHex(' '),
                 "20 20 20 20 21 21 21 21 22 22 22 22 00 00 00 00");
        QCOMPARE(expansion.mid(195, 2).toHex(' '), "00 38");

        // In place: OUTPUT is INPUT.
        const CliRun back =
            RunCli({u"convert"_s, path(u"big.TD4"_s), path(u"big.TD4"_s), u"--to"_s, u"base"_s});
        QCOMPARE(back.exitCode, 0);
        QCOMPARE(back.err, QByteArray());
        QCOMPARE(readFile(path(u"big.TD4"_s)), original);
    }

    // Refusals leave OUTPUT as it was; a forced conversion of a decoded record writes it.
    void outcomes_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("expected"); // a message part, or OUTPUT's bytes 30-37

        ByteBuffer expansion = BaseRecord();
        expansion.insert(expansion.begin() + 56, 140, 0);
        ByteBuffer scheme2Differs = expansion;
        scheme2Differs[58] = 0x07;
        const QStringList toBase = {u"--to=base"_s};
        const QStringList decoded = {u"--to=base"_s, u"--decoded"_s};
        QTest::newRow("scheme 2 would be lost")
            << asBytes(encodedFile(scheme2Differs)) << toBase << 1
            << QByteArray("lose track colour scheme 2 (different from scheme 0); --force");
        // Scheme 0 of the header (00 00 00) replaces the base colours 20 21 22 at 32-34.
        QTest::newRow("forced, decoded")
            << asBytes(scheme2Differs) << decoded + QStringList{u"--force"_s} << 0
            << QByteArray::fromHex("1E1F000000232425");
        QTest::newRow("already base") << asBytes(encodedFile(BaseRecord())) << toBase << 1
                                      << QByteArray("already in the base");
        QTest::newRow("unusual length")
            << QByteArray(300, '\0') << decoded << 1 << QByteArray("300 bytes long");
        QByteArray changed = asBytes(encodedFile(BaseRecord()));
        changed[0] = char(changed[0] ^ 1);
        QTest::newRow("checksum matches no game")
            << changed << toBase << 1 << QByteArray("matches no game; name the game");
        QTest::newRow("game for a decoded record")
            << QByteArray("x") << decoded + QStringList{u"--game=loopy"_s} << 2
            << QByteArray("--game");
    }
    void outcomes()
    {
        QFETCH(QByteArray, input);
        QFETCH(QStringList, options);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, expected);

        const QString in = writeFile(m_dir.path(), u"in.TD4"_s, input);
        writeFile(m_dir.path(), u"out.TD4"_s, "old");
        const CliRun run = RunCli(QStringList{u"convert"_s, in, path(u"out.TD4"_s)} + options);
        QCOMPARE(run.exitCode, exitCode);
        if (exitCode == 0) {
            QCOMPARE(readFile(path(u"out.TD4"_s)).size(), 8058);
            QCOMPARE(readFile(path(u"out.TD4"_s)).mid(30, 8).toHex(), expected.toHex());
        } else {
            QVERIFY2(run.err.startsWith("railwright-cli: ") && run.err.contains(expected),
                     run.err.constData());
            QCOMPARE(readFile(path(u"out.TD4"_s)), "old");
        }
    }
};

QTEST_GUILESS_MAIN(TestConvert)
#include "tst_convert.moc"
