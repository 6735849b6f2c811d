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
        QTest::addColumn<QList<int>>("edits"); // index, value, index, value, ...
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<int>("first"); // -1: no signal, no step
        QTest::addColumn<int>("last");
        QTest::addColumn<ByteBuffer>("after");
        const ByteBuffer same = bytesOf({0, 1, 2, 3, 4, 5, 6, 7});
        QTest::newRow("one byte") << QList{3, 0xAA} << true << 3 << 3
                                  << bytesOf({0, 1, 2, 0xAA, 4, 5, 6, 7});
        QTest::newRow("two, out of order")
            << QList{6, 0x10, 1, 0x20} << true << 1 << 6 << bytesOf({0, 0x20, 2, 3, 4, 5, 0x10, 7});
        QTest::newRow("one index past the end")
            << QList{2, 0xFF, 8, 0xFF} << false << -1 << -1 << same;
        QTest::newRow("one index below 0") << QList{-1, 0xFF, 0, 0xFF} << false << -1 << -1 << same;
        QTest::newRow("what is there already") << QList{4, 4} << true << -1 << -1 << same;
    }
    void editsReportTheirRange()
    {
        QFETCH(QList<int>, edits);
        QFETCH(int, first);
        QFETCH(int, last);
        std::vector<ByteEdit> list;
        for (qsizetype i = 0; i + 1 < edits.size(); i += 2) {
            list.push_back({edits[i], std::uint8_t(edits[i + 1])});
        }
        const ByteBuffer before = bytesOf({0, 1, 2, 3, 4, 5, 6, 7});
        TrackDesignDocument document;
        QVERIFY(document.loadContents(before));
        QSignalSpy changes(&document, &TrackDesignDocument::bytesChanged);
        QTEST(document.editBytes(u"Edit"_s, list), "accepted");
        QTEST(document.contents(), "after");
        QCOMPARE(document.undoStack()->count(), first < 0 ? 0 : 1);
        const QList<QVariant> range = {qsizetype(first), qsizetype(last)};
        for (const auto step : {&QUndoStack::undo, &QUndoStack::redo}) {
            QCOMPARE(changes.count(), first < 0 ? 0 : 1);
            if (first >= 0) {
                QCOMPARE(changes.takeFirst(), range);
                (document.undoStack()->*step)();
            }
        }
        QCOMPARE(changes.count(), first < 0 ? 0 : 1); // the redo's
    }

    // Undo and redo of a whole-contents step give back the game version with a signal;
    // loading a file starts a fresh history, unchanged.
    void versionFollowsUndoAndLoadingClearsHistory()
    {
        TrackDesignDocument document;
        QVERIFY(document.loadContents(bytesOf({1, 2})));
        QSignalSpy versions(&document, &TrackDesignDocument::gameVersionChanged);
        QVERIFY(document.replaceContents(u"Decode"_s, bytesOf({1, 2, 3}), ContentKind::Decoded,
                                         GameVersion::LoopyLandscapes));
        document.undoStack()->undo();
        document.undoStack()->redo();
        QList<GameVersion> seen;
        for (const QList<QVariant>& signal : std::as_const(versions)) {
            seen.append(signal.at(0).value<GameVersion>());
        }
        const auto loopy = GameVersion::LoopyLandscapes;
        QCOMPARE(seen, (QList{loopy, GameVersion::Original, loopy}));

        QVERIFY(document.loadContents(bytesOf({0xAA, 0xBB})));
        QCOMPARE(document.undoStack()->count(), 0);
        QVERIFY(!document.changed());
        QCOMPARE(document.contents(), bytesOf({0xAA, 0xBB}));
    }
};

QTEST_GUILESS_MAIN(TestTrackDesignDocument)
#include "tst_track_design_document.moc"
