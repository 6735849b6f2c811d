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
    void editsAreSteps_data()
    {
        QTest::addColumn<QList<qsizetype>>("indexes");
        QTest::addColumn<ByteBuffer>("after");
        QTest::addColumn<int>("steps");
        QTest::addColumn<QList<qsizetype>>("signalRange");
        // Start: 10 11 12 13; every edit stores 0xAA.
        QTest::newRow("one byte") << QList<qsizetype>{2} << bytesOf({0x10, 0x11, 0xAA, 0x13}) << 1
                                  << QList<qsizetype>{2, 2};
        QTest::newRow("several bytes, one step")
            << QList<qsizetype>{3, 0} << bytesOf({0xAA, 0x11, 0x12, 0xAA}) << 1
            << QList<qsizetype>{0, 3};
        QTest::newRow("past the end is refused")
            << QList<qsizetype>{1, 4} << bytesOf({0x10, 0x11, 0x12, 0x13}) << 0
            << QList<qsizetype>{};
        QTest::newRow("below zero is refused")
            << QList<qsizetype>{-1} << bytesOf({0x10, 0x11, 0x12, 0x13}) << 0 << QList<qsizetype>{};
    }
    void editsAreSteps()
    {
        QFETCH(QList<qsizetype>, indexes);
        QFETCH(ByteBuffer, after);
        QFETCH(int, steps);
        QFETCH(QList<qsizetype>, signalRange);

        TrackDesignDocument document;
        QVERIFY(document.loadContents(bytesOf({0x10, 0x11, 0x12, 0x13})));
        QSignalSpy changedBytes(&document, &TrackDesignDocument::bytesChanged);
        QSignalSpy changedFlag(&document, &TrackDesignDocument::changedFlagChanged);
        std::vector<ByteEdit> edits;
        for (const qsizetype index : indexes) {
            edits.push_back({index, 0xAA});
        }
        QCOMPARE(document.editBytes(u"Edit"_s, edits), steps == 1);
        QCOMPARE(document.contents(), after);
        QCOMPARE(document.undoStack()->count(), steps);
        QCOMPARE(document.changed(), steps == 1);
        if (steps == 0) {
            QVERIFY(changedBytes.isEmpty());
            return;
        }
        QCOMPARE(changedBytes.constLast().at(0).value<qsizetype>(), signalRange.at(0));
        QCOMPARE(changedBytes.constLast().at(1).value<qsizetype>(), signalRange.at(1));
        QCOMPARE(changedFlag.constLast().at(0).toBool(), true);
        document.undoStack()->undo();
        QCOMPARE(document.contents(), bytesOf({0x10, 0x11, 0x12, 0x13}));
        QCOMPARE(changedFlag.constLast().at(0).toBool(), false);
    }

    void sameValueMakesNoStep()
    {
        TrackDesignDocument document;
        QVERIFY(document.loadContents(bytesOf({0x10, 0x11})));
        QVERIFY(document.setByte(1, 0x11));
        QCOMPARE(document.undoStack()->count(), 0);
        QVERIFY(!document.changed());
    }

    // The start-up element is empty (a save writes nothing); undoing a write into it
    // makes it empty again instead of a stored 00.
    void undoGivesBackAnEmptyElement()
    {
        TrackDesignDocument document;
        QVERIFY(document.setByte(0, 0x41));
        QCOMPARE(document.contents(), bytesOf({0x41}));
        document.undoStack()->undo();
        QVERIFY(document.isEmptyElement(0));
        QCOMPARE(document.contents(), ByteBuffer());
        QVERIFY(!SetChrVal(document, 0, QString()));
        QVERIFY(document.isEmptyElement(0));
    }

    void replacingIsOneStepWithKindAndVersion()
    {
        TrackDesignDocument document;
        QVERIFY(document.loadContents(bytesOf({1, 2, 3})));
        document.setGameVersion(GameVersion::LoopyLandscapes);
        QSignalSpy kinds(&document, &TrackDesignDocument::kindChanged);
        QSignalSpy versions(&document, &TrackDesignDocument::gameVersionChanged);
        QVERIFY(
            !document.replaceContents(u"Empty"_s, {}, ContentKind::Decoded, GameVersion::Original));
        QVERIFY(document.replaceContents(u"Decode"_s, bytesOf({9, 9, 9, 9, 9}),
                                         ContentKind::Decoded, GameVersion::CorkscrewFollies));
        QCOMPARE(document.kind(), ContentKind::Decoded);
        QCOMPARE(document.gameVersion(), GameVersion::CorkscrewFollies);
        QVERIFY(document.setByte(4, 7));
        document.markSaved();

        document.undoStack()->undo();
        document.undoStack()->undo();
        QCOMPARE(document.contents(), bytesOf({1, 2, 3}));
        QCOMPARE(document.kind(), ContentKind::Raw);
        QCOMPARE(document.gameVersion(), GameVersion::LoopyLandscapes);
        QCOMPARE(kinds.size(), 2);
        QVERIFY(document.changed()); // away from the save

        document.undoStack()->redo();
        document.undoStack()->redo();
        QCOMPARE(document.contents(), bytesOf({9, 9, 9, 9, 7}));
        QCOMPARE(versions.constLast().at(0).value<GameVersion>(), GameVersion::CorkscrewFollies);
        QVERIFY(!document.changed()); // back at the save

        QVERIFY(document.loadContents(bytesOf({5})));
        QCOMPARE(document.undoStack()->count(), 0);
        QCOMPARE(document.kind(), ContentKind::Raw);
        QVERIFY(!document.changed());
    }
};

QTEST_GUILESS_MAIN(TestTrackDesignDocument)
#include "tst_track_design_document.moc"
