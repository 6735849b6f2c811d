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
};

QTEST_GUILESS_MAIN(TestTrackDesignDocument)
#include "tst_track_design_document.moc"
