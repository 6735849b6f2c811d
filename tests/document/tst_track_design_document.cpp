#include "document/track_design_document.h"

#include <QSignalSpy>
#include <QTest>

using namespace railwright;

namespace {

using Index = TrackDesignDocument::Index;

ByteBuffer bytesOf(std::initializer_list<int> values)
{
    ByteBuffer out;
    for (const int v : values) {
        out.push_back(std::uint8_t(v));
    }
    return out;
}

} // namespace

class TestTrackDesignDocument : public QObject
{
    Q_OBJECT

private slots:
    void startsWithOneEmptyElement();
    void setByteStoresAndSignals();
    void refusedWrites_data();
    void refusedWrites();
    void emptyElementReadsZeroAndIsNotSaved();
    void loadClearsChangedReplaceSetsIt();
    void emptyContentsRefused();
    void changedFlagSignalsOnlyOnChange();
    void resetRestoresStartState();
};

void TestTrackDesignDocument::startsWithOneEmptyElement()
{
    const TrackDesignDocument document;
    QCOMPARE(document.length(), Index(1));
    QVERIFY(document.isEmptyElement(0));
    QCOMPARE(document.valueAt(0), std::uint8_t(0));
    QVERIFY(document.contents().empty());
    QVERIFY(!document.changed());
}

void TestTrackDesignDocument::setByteStoresAndSignals()
{
    TrackDesignDocument document;
    QVERIFY(document.loadContents(bytesOf({1, 2, 3, 4})));
    QSignalSpy bytes(&document, &TrackDesignDocument::bytesChanged);
    QSignalSpy flag(&document, &TrackDesignDocument::changedFlagChanged);
    QSignalSpy replaced(&document, &TrackDesignDocument::contentsReplaced);

    QVERIFY(document.setByte(2, 0xEE));
    QCOMPARE(document.valueAt(2), std::uint8_t(0xEE));
    QVERIFY(document.contents() == bytesOf({1, 2, 0xEE, 4}));
    QVERIFY(document.changed());
    QCOMPARE(bytes.count(), 1);
    QCOMPARE(bytes.at(0).at(0).value<Index>(), Index(2));
    QCOMPARE(bytes.at(0).at(1).value<Index>(), Index(2));
    QCOMPARE(flag.count(), 1);
    QCOMPARE(flag.at(0).at(0).toBool(), true);

    // A second write still reports the byte, but the flag is already set.
    QVERIFY(document.setByte(3, 0));
    QCOMPARE(bytes.count(), 2);
    QCOMPARE(flag.count(), 1);
    QCOMPARE(replaced.count(), 0);
    QCOMPARE(document.length(), Index(4));
}

void TestTrackDesignDocument::refusedWrites_data()
{
    QTest::addColumn<Index>("index");
    QTest::newRow("-1") << Index(-1);
    QTest::newRow("length") << Index(4);
    QTest::newRow("32768") << Index(32768);
    QTest::newRow("largest") << std::numeric_limits<Index>::max();
    QTest::newRow("smallest") << std::numeric_limits<Index>::min();
}

void TestTrackDesignDocument::refusedWrites()
{
    QFETCH(Index, index);
    TrackDesignDocument document;
    QVERIFY(document.loadContents(bytesOf({1, 2, 3, 4})));
    QSignalSpy bytes(&document, &TrackDesignDocument::bytesChanged);
    QSignalSpy flag(&document, &TrackDesignDocument::changedFlagChanged);

    QVERIFY(!document.setByte(index, 0x55));
    QVERIFY(!document.setEmptyElement(index));
    QVERIFY(document.contents() == bytesOf({1, 2, 3, 4}));
    QCOMPARE(document.length(), Index(4));
    QVERIFY(!document.changed());
    QCOMPARE(bytes.count(), 0);
    QCOMPARE(flag.count(), 0);
}

void TestTrackDesignDocument::emptyElementReadsZeroAndIsNotSaved()
{
    TrackDesignDocument document;
    QVERIFY(document.loadContents(bytesOf({0x10, 0x20, 0x30})));
    QSignalSpy bytes(&document, &TrackDesignDocument::bytesChanged);
    QVERIFY(document.setEmptyElement(1));
    QVERIFY(document.isEmptyElement(1));
    QVERIFY(!document.isEmptyElement(0));
    QCOMPARE(document.valueAt(1), std::uint8_t(0));
    QVERIFY(document.contents() == bytesOf({0x10, 0x30}));
    QCOMPARE(document.length(), Index(3));
    QVERIFY(document.changed());
    QCOMPARE(bytes.count(), 1);

    // Writing a byte fills the element again.
    QVERIFY(document.setByte(1, 0));
    QVERIFY(!document.isEmptyElement(1));
    QVERIFY(document.contents() == bytesOf({0x10, 0, 0x30}));
}

void TestTrackDesignDocument::loadClearsChangedReplaceSetsIt()
{
    TrackDesignDocument document;
    QSignalSpy replaced(&document, &TrackDesignDocument::contentsReplaced);
    QSignalSpy flag(&document, &TrackDesignDocument::changedFlagChanged);

    QVERIFY(document.replaceContents(bytesOf({9, 8, 7})));
    QVERIFY(document.changed());
    QCOMPARE(document.length(), Index(3));
    QCOMPARE(replaced.count(), 1);
    QCOMPARE(flag.count(), 1);

    QVERIFY(document.loadContents(bytesOf({1})));
    QVERIFY(!document.changed());
    QCOMPARE(document.length(), Index(1));
    QVERIFY(!document.isEmptyElement(0));
    QVERIFY(document.contents() == bytesOf({1}));
    QCOMPARE(replaced.count(), 2);
    QCOMPARE(flag.count(), 2);
    QCOMPARE(flag.at(1).at(0).toBool(), false);

    // Loading a file clears empty elements left by earlier edits.
    QVERIFY(document.setEmptyElement(0));
    QVERIFY(document.loadContents(bytesOf({5, 6})));
    QVERIFY(!document.isEmptyElement(0));
    QVERIFY(document.contents() == bytesOf({5, 6}));
}

void TestTrackDesignDocument::emptyContentsRefused()
{
    TrackDesignDocument document;
    QVERIFY(document.loadContents(bytesOf({1, 2})));
    document.setChanged(true);
    QSignalSpy replaced(&document, &TrackDesignDocument::contentsReplaced);
    QVERIFY(!document.loadContents(ByteBuffer()));
    QVERIFY(!document.replaceContents(ByteBuffer()));
    QCOMPARE(replaced.count(), 0);
    QVERIFY(document.contents() == bytesOf({1, 2}));
    QVERIFY(document.changed());
}

void TestTrackDesignDocument::changedFlagSignalsOnlyOnChange()
{
    TrackDesignDocument document;
    QSignalSpy flag(&document, &TrackDesignDocument::changedFlagChanged);
    document.setChanged(false);
    QCOMPARE(flag.count(), 0);
    document.setChanged(true);
    document.setChanged(true);
    QCOMPARE(flag.count(), 1);
    document.setChanged(false);
    QCOMPARE(flag.count(), 2);
    QVERIFY(!document.changed());
}

void TestTrackDesignDocument::resetRestoresStartState()
{
    TrackDesignDocument document;
    QVERIFY(document.replaceContents(ByteBuffer(65000, 0xAB)));
    QSignalSpy replaced(&document, &TrackDesignDocument::contentsReplaced);
    document.reset();
    QCOMPARE(replaced.count(), 1);
    QCOMPARE(document.length(), Index(1));
    QVERIFY(document.isEmptyElement(0));
    QVERIFY(!document.changed());
    QVERIFY(document.contents().empty());
}

QTEST_GUILESS_MAIN(TestTrackDesignDocument)
#include "tst_track_design_document.moc"
