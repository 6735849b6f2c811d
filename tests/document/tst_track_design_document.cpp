#include "document/track_design_document.h"
#include "document/value_accessors.h"

#include <QSignalSpy>
#include <QTest>

using namespace railwright;
using namespace Qt::StringLiterals;

namespace {

ByteBuffer bytesOf(std::initializer_list<int> values)
{
    ByteBuffer out;
    for (const int value : values) {
        out.push_back(std::uint8_t(value));
    }
    return out;
}

// "3=AA 6=10" as edits.
std::vector<ByteEdit> editsOf(const QString& text)
{
    std::vector<ByteEdit> edits;
    for (const QString& edit : text.split(u' ', Qt::SkipEmptyParts)) {
        edits.push_back({edit.section(u'=', 0, 0).toLongLong(),
                         std::uint8_t(edit.section(u'=', 1).toUInt(nullptr, 16))});
    }
    return edits;
}

ByteBuffer hexBytes(const char* hex)
{
    const QByteArray bytes = QByteArray::fromHex(hex);
    return ByteBuffer(bytes.begin(), bytes.end());
}

} // namespace

// The document's contract: every edit is one step that undo takes back exactly, "changed"
// is "away from the saved point", and a refused edit leaves no step behind.
class TestTrackDesignDocument : public QObject
{
    Q_OBJECT

private slots:
    // The start-up element is empty (a save writes nothing); undoing a write into it
    // makes it empty again instead of a stored 00.
    void undoGivesBackAnEmptyElement()
    {
        TrackDesignDocument document;
        QVERIFY(document.setByte(0, 0x41));
        QVERIFY(document.setByte(0, 0x41)); // the same value again makes no step
        QCOMPARE(document.undoStack()->count(), 1);
        QCOMPARE(document.contents(), bytesOf({0x41}));
        document.markSaved();
        document.undoStack()->undo();
        QVERIFY(document.changed()); // before the save is as changed as after it
        QVERIFY(document.isEmptyElement(0));
        QCOMPARE(document.contents(), ByteBuffer());
        QVERIFY(!SetChrVal(document, 0, QString()));
        QVERIFY(document.isEmptyElement(0));
    }

    // What an edit reports: the first and last byte it wrote, once; undo and redo report
    // the same range. An edit with any index outside the document changes nothing.
    void editsReportTheirRange_data()
    {
        QTest::addColumn<QString>("edits");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<int>("first"); // -1: no signal, no step
        QTest::addColumn<int>("last");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("one byte") << u"3=AA"_s << true << 3 << 3 << QByteArray("000102AA04050607");
        QTest::newRow("two, out of order")
            << u"6=10 1=20"_s << true << 1 << 6 << QByteArray("0020020304051007");
        QTest::newRow("last byte") << u"7=FF"_s << true << 7 << 7 << QByteArray("00010203040506FF");
        QTest::newRow("one index past the end")
            << u"2=FF 8=FF"_s << false << -1 << -1 << QByteArray("0001020304050607");
        QTest::newRow("one index below 0")
            << u"-1=FF 0=FF"_s << false << -1 << -1 << QByteArray("0001020304050607");
        QTest::newRow("what is there already")
            << u"4=04"_s << true << -1 << -1 << QByteArray("0001020304050607");
    }
    void editsReportTheirRange()
    {
        QFETCH(QString, edits);
        QFETCH(int, first);
        QFETCH(int, last);
        const ByteBuffer before = hexBytes("0001020304050607");
        TrackDesignDocument document;
        QVERIFY(document.loadContents(before));
        QSignalSpy changes(&document, &TrackDesignDocument::bytesChanged);
        QTEST(document.editBytes(u"Edit"_s, editsOf(edits)), "accepted");
        const ByteBuffer after = document.contents();
        QTEST(QByteArray(reinterpret_cast<const char*>(after.data()), 8).toHex().toUpper(),
              "after");
        const QList<QVariant> range = {qsizetype(first), qsizetype(last)};
        QCOMPARE(changes.count(), first < 0 ? 0 : 1);
        QCOMPARE(document.undoStack()->count(), first < 0 ? 0 : 1);
        if (first < 0) {
            return;
        }
        QCOMPARE(changes.takeFirst(), range);
        document.undoStack()->undo();
        QCOMPARE(document.contents(), before);
        QCOMPARE(changes.takeFirst(), range);
        document.undoStack()->redo();
        QCOMPARE(changes.takeFirst(), range);
    }

    // Undo and redo of a whole-contents step give back the game version with a signal;
    // loading a file starts a fresh history, unchanged.
    void versionFollowsUndoAndLoadingClearsHistory()
    {
        TrackDesignDocument document;
        QVERIFY(document.loadContents(hexBytes("0102")));
        QSignalSpy versions(&document, &TrackDesignDocument::gameVersionChanged);
        QVERIFY(document.replaceContents(u"Decode"_s, hexBytes("010203"), ContentKind::Decoded,
                                         GameVersion::LoopyLandscapes));
        document.undoStack()->undo();
        QCOMPARE(document.gameVersion(), GameVersion::Original);
        document.undoStack()->redo();
        QCOMPARE(versions.count(), 3);
        QCOMPARE(versions.at(0).at(0).value<GameVersion>(), GameVersion::LoopyLandscapes);
        QCOMPARE(versions.at(1).at(0).value<GameVersion>(), GameVersion::Original);
        QCOMPARE(versions.at(2).at(0).value<GameVersion>(), GameVersion::LoopyLandscapes);
        QVERIFY(document.setByte(0, 0x7F));
        QVERIFY(document.changed());

        QVERIFY(document.loadContents(hexBytes("AABB")));
        QCOMPARE(document.undoStack()->count(), 0);
        QVERIFY(!document.changed());
        QCOMPARE(document.kind(), ContentKind::Raw);
        QCOMPARE(document.contents(), hexBytes("AABB"));
    }

    // A field write stores only the field's bits, several fields make one step, and a
    // record too short for any of them is refused whole.
    void fieldWrites()
    {
        ByteBuffer record(41, 0);
        record[7] = 0x06;
        record[35] = 0x8B;
        TrackDesignDocument document;
        QVERIFY(document.loadContents(record));
        QVERIFY(document.setField(record::VehicleColorSchemeField, 1));
        QCOMPARE(document.valueAt(7), 0x05); // the expansion flag stays
        QCOMPARE(document.undoStack()->text(0), u"Set Vehicle colour scheme"_s);
        QVERIFY(document.setFields(u"Set Ride Operation"_s, {{record::DepartureFlagsField, 0x20},
                                                             {record::SpeedOrPeopleField, 9}}));
        QCOMPARE(document.undoStack()->count(), 2);
        QCOMPARE(document.valueAt(35), 0x20);
        QCOMPARE(document.valueAt(40), 9);
        QVERIFY(!document.setFields(u"Too far"_s,
                                    {{record::NumTrainsField, 3}, {record::MaxSpeedField, 3}}));
        QCOMPARE(document.valueAt(36), 0);
        QCOMPARE(document.undoStack()->count(), 2);
    }
};

QTEST_GUILESS_MAIN(TestTrackDesignDocument)
#include "tst_track_design_document.moc"
