// Runs against a MIME database built from our package file alone (see
// check_mime_database.cmake), as a file manager would after installation.
#include <QMimeDatabase>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
const QString TrackDesignType = u"application/x-rct-track-design"_s;
}

class MimeTypeTest : public QObject
{
    Q_OBJECT

private slots:
    void typeIsDeclared();
    void fileNames_data();
    void fileNames();
};

void MimeTypeTest::typeIsDeclared()
{
    const QMimeType type = QMimeDatabase().mimeTypeForName(TrackDesignType);
    QVERIFY(type.isValid());
    QCOMPARE(type.preferredSuffix(), u"TD4"_s);
}

void MimeTypeTest::fileNames_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<bool>("isTrackDesign");

    QTest::newRow("upper-case suffix") << u"Mine Train.TD4"_s << true;
    QTest::newRow("lower-case suffix") << u"woodie.td4"_s << true;
    QTest::newRow("path with dots") << u"/home/player/rct.designs/loop.v2.TD4"_s << true;
    // The game writes only these two spellings; a mixed case is some other file.
    QTest::newRow("mixed-case suffix") << u"ride.Td4"_s << false;
    QTest::newRow("suffix not at the end") << u"ride.TD4.bak"_s << false;
    QTest::newRow("name without dot") << u"TD4"_s << false;
    QTest::newRow("other game file") << u"park.SV4"_s << false;
}

void MimeTypeTest::fileNames()
{
    QFETCH(QString, fileName);
    QFETCH(bool, isTrackDesign);
    const QMimeType type = QMimeDatabase().mimeTypeForFile(fileName, QMimeDatabase::MatchExtension);
    QCOMPARE(type.name() == TrackDesignType, isTrackDesign);
}

QTEST_GUILESS_MAIN(MimeTypeTest)
#include "tst_mime_type.moc"
