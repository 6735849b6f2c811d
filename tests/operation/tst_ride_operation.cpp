#include "codec/record_layout.h"
#include "operation/ride_operation.h"

#include <QSignalSpy>
#include <QTest>

using namespace railwright;
using namespace Qt::StringLiterals;

namespace {

// A record with a recognisable byte everywhere, so a stray write shows.
ByteBuffer PatternRecord(std::size_t length = 80)
{
    ByteBuffer bytes(length);
    for (std::size_t i = 0; i < length; ++i) {
        bytes[i] = std::uint8_t(i * 7 + 3);
    }
    return bytes;
}

ByteBuffer WithFlags(int flags)
{
    ByteBuffer bytes = PatternRecord();
    bytes[record::DepartureFlags] = std::uint8_t(flags);
    return bytes;
}

} // namespace

class TestRideOperation : public QObject
{
    Q_OBJECT

private slots:
    void readsDepartureFlags_data();
    void readsDepartureFlags();
    void readsCounts_data();
    void readsCounts();
    void shortRecordReadsLastByte();
    void packsEveryByteValue();
    void speedText_data();
    void speedText();
    void writesOnlyTheSixBytesInOrder();
    void marksChangedEvenWhenNothingDiffers();
    void fillsEmptyElements();
    void refusesShortRecord_data();
    void refusesShortRecord();
    void refusesValuesOutOfRange_data();
    void refusesValuesOutOfRange();
};

void TestRideOperation::readsDepartureFlags_data()
{
    QTest::addColumn<int>("flags");
    QTest::addColumn<bool>("maxTime");
    QTest::addColumn<bool>("minTime");
    QTest::addColumn<bool>("sync");
    QTest::addColumn<bool>("leave");
    QTest::addColumn<bool>("wait");
    QTest::addColumn<int>("load");

    QTest::newRow("139: max time, wait, full")
        << 139 << true << false << false << false << true << int(FullLoad);
    QTest::newRow("3: full load without wait")
        << 3 << false << false << false << false << false << int(FullLoad);
    QTest::newRow("8: wait, quarter")
        << 8 << false << false << false << false << true << int(QuarterLoad);
    QTest::newRow("64: min time") << 64 << false << true << false << false << false << 0;
    QTest::newRow("32: sync") << 32 << false << false << true << false << false << 0;
    QTest::newRow("16: leave") << 16 << false << false << false << true << false << 0;
    QTest::newRow("252: everything, any load")
        << 252 << true << true << true << true << true << int(AnyLoad);
    QTest::newRow("255: load 7 reads as any load")
        << 255 << true << true << true << true << true << int(AnyLoad);
    QTest::newRow("13: load 5 reads as any load")
        << 13 << false << false << false << false << true << int(AnyLoad);
    QTest::newRow("0: nothing") << 0 << false << false << false << false << false << 0;
}

void TestRideOperation::readsDepartureFlags()
{
    QFETCH(int, flags);
    TrackDesignDocument document;
    QVERIFY(document.loadContents(WithFlags(flags)));
    const RideOperation operation = ReadRideOperation(document);
    QTEST(operation.useMaximumTime, "maxTime");
    QTEST(operation.useMinimumTime, "minTime");
    QTEST(operation.syncWithAdjacent, "sync");
    QTEST(operation.leaveWhenAnotherArrives, "leave");
    QTEST(operation.waitForLoad, "wait");
    QTEST(operation.loadAmount, "load");
}

void TestRideOperation::readsCounts_data()
{
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("trainsOrCars");
    QTest::addColumn<int>("count");

    QTest::newRow("0: trains and cars clamp up to 1") << 0 << 1 << 0;
    QTest::newRow("1") << 1 << 1 << 1;
    QTest::newRow("12") << 12 << 12 << 12;
    QTest::newRow("13: trains and cars clamp down to 12") << 13 << 12 << 13;
    QTest::newRow("255") << 255 << 12 << 255;
}

void TestRideOperation::readsCounts()
{
    QFETCH(int, stored);
    ByteBuffer bytes = PatternRecord();
    for (std::size_t offset = record::NumTrains; offset <= record::SpeedOrPeople; ++offset) {
        bytes[offset] = std::uint8_t(stored);
    }
    TrackDesignDocument document;
    QVERIFY(document.loadContents(bytes));
    const RideOperation operation = ReadRideOperation(document);
    QTEST(operation.trains, "trainsOrCars");
    QTEST(operation.cars, "trainsOrCars");
    QTEST(operation.minWait, "count");
    QTEST(operation.maxWait, "count");
    QTEST(operation.speedOrPeople, "count");
}

void TestRideOperation::shortRecordReadsLastByte()
{
    ByteBuffer bytes(38, 0);
    bytes[record::DepartureFlags] = 139;
    bytes[record::NumTrains] = 4;
    bytes[37] = 9; // the last byte: stands in for 38, 39 and 40
    TrackDesignDocument document;
    QVERIFY(document.loadContents(bytes));
    const RideOperation operation = ReadRideOperation(document);
    QCOMPARE(operation.trains, 4);
    QCOMPARE(operation.cars, 9);
    QCOMPARE(operation.minWait, 9);
    QCOMPARE(operation.maxWait, 9);
    QCOMPARE(operation.speedOrPeople, 9);
    QVERIFY(operation.useMaximumTime);
    QCOMPARE(operation.loadAmount, int(FullLoad));
}

// Reading a byte and packing it again keeps the flags, drops a load amount stored
// without "Wait For Load" and turns load amounts 5 to 7 into "Any Load".
void TestRideOperation::packsEveryByteValue()
{
    for (int flags = 0; flags < 256; ++flags) {
        TrackDesignDocument document;
        QVERIFY(document.loadContents(WithFlags(flags)));
        const int load = flags & record::LoadAmountMask;
        const bool wait = (flags & record::DepartWaitForLoad) != 0;
        const int expected = (flags & ~record::LoadAmountMask) + (wait ? std::min(load, 4) : 0);
        QCOMPARE(int(PackDepartureFlags(ReadRideOperation(document))), expected);
    }

    RideOperation operation;
    operation.loadAmount = FullLoad;
    QCOMPARE(int(PackDepartureFlags(operation)), 0);
    operation.waitForLoad = true;
    QCOMPARE(int(PackDepartureFlags(operation)), 11);
    operation.loadAmount = 9; // never lets a wild value reach the flag bits
    QCOMPARE(int(PackDepartureFlags(operation)), 12);
}

void TestRideOperation::speedText_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("expected");
    const QLocale german(QLocale::German, QLocale::Germany);
    QTest::newRow("0") << 0 << QLocale::c() << u"0.00"_s;
    QTest::newRow("1") << 1 << QLocale::c() << u"2.25"_s;
    QTest::newRow("40") << 40 << QLocale::c() << u"90.00"_s;
    QTest::newRow("41") << 41 << QLocale::c() << u"92.25"_s;
    QTest::newRow("255") << 255 << QLocale::c() << u"573.75"_s;
    QTest::newRow("comma 255") << 255 << german << u"573,75"_s;
    QTest::newRow("comma 0") << 0 << german << u"0,00"_s;
}

void TestRideOperation::speedText()
{
    QFETCH(int, value);
    QFETCH(QLocale, locale);
    QTEST(SpeedText(value, locale), "expected");
}

void TestRideOperation::writesOnlyTheSixBytesInOrder()
{
    const ByteBuffer before = PatternRecord();
    TrackDesignDocument document;
    QVERIFY(document.loadContents(before));
    QSignalSpy written(&document, &TrackDesignDocument::bytesChanged);

    RideOperation operation;
    operation.useMinimumTime = true;
    operation.leaveWhenAnotherArrives = true;
    operation.waitForLoad = true;
    operation.loadAmount = HalfLoad;
    operation.trains = 12;
    operation.cars = 1;
    operation.minWait = 0;
    operation.maxWait = 255;
    operation.speedOrPeople = 40;
    QCOMPARE(ApplyRideOperation(document, operation), QString());

    ByteBuffer expected = before;
    expected[record::DepartureFlags] = 64 + 16 + 8 + 1;
    expected[record::NumTrains] = 12;
    expected[record::CarsPerTrain] = 1;
    expected[record::MinWaitTime] = 0;
    expected[record::MaxWaitTime] = 255;
    expected[record::SpeedOrPeople] = 40;
    QCOMPARE(document.contents(), expected);
    QVERIFY(document.changed());

    QCOMPARE(written.size(), 6);
    for (int i = 0; i < written.size(); ++i) {
        const auto index = qsizetype(record::DepartureFlags) + i;
        QCOMPARE(written[i][0].value<TrackDesignDocument::Index>(), index);
        QCOMPARE(written[i][1].value<TrackDesignDocument::Index>(), index);
    }
}

void TestRideOperation::marksChangedEvenWhenNothingDiffers()
{
    ByteBuffer before = WithFlags(139);
    before[record::NumTrains] = 2; // counts the dialog can show unchanged
    before[record::CarsPerTrain] = 5;
    TrackDesignDocument document;
    QVERIFY(document.loadContents(before));
    QVERIFY(!document.changed());
    QCOMPARE(ApplyRideOperation(document, ReadRideOperation(document)), QString());
    QCOMPARE(document.contents(), before);
    QVERIFY(document.changed());
}

void TestRideOperation::fillsEmptyElements()
{
    TrackDesignDocument document;
    QVERIFY(document.loadContents(PatternRecord(41)));
    QVERIFY(document.setEmptyElement(record::SpeedOrPeople));
    RideOperation operation;
    operation.speedOrPeople = 0;
    QCOMPARE(ApplyRideOperation(document, operation), QString());
    QVERIFY(!document.isEmptyElement(record::SpeedOrPeople));
    QCOMPARE(document.contents().size(), std::size_t(41));
    QCOMPARE(int(document.valueAt(record::SpeedOrPeople)), 0);
}

void TestRideOperation::refusesShortRecord_data()
{
    QTest::addColumn<int>("length");
    QTest::newRow("one byte") << 1;
    QTest::newRow("ends before byte 35") << 30;
    QTest::newRow("one byte short") << 40;
}

void TestRideOperation::refusesShortRecord()
{
    QFETCH(int, length);
    const ByteBuffer before = PatternRecord(std::size_t(length));
    TrackDesignDocument document;
    QVERIFY(document.loadContents(before));
    const QString error = ApplyRideOperation(document, RideOperation{});
    QVERIFY(!error.isEmpty());
    QVERIFY2(error.contains(QString::number(length) + u" bytes"_s), qPrintable(error));
    QVERIFY2(error.contains(u"41"_s), qPrintable(error));
    QCOMPARE(document.contents(), before);
    QVERIFY(!document.changed());
}

void TestRideOperation::refusesValuesOutOfRange_data()
{
    QTest::addColumn<RideOperation>("operation");
    QTest::addColumn<QString>("mentions");

    RideOperation base;
    RideOperation op = base;
    op.trains = 0;
    QTest::newRow("no trains") << op << u"trains"_s;
    op = base;
    op.trains = 13;
    QTest::newRow("13 trains") << op << u"trains"_s;
    op = base;
    op.cars = 0;
    QTest::newRow("no cars") << op << u"cars"_s;
    op = base;
    op.minWait = 256;
    QTest::newRow("minimum wait 256") << op << u"minimum waiting time"_s;
    op = base;
    op.maxWait = -1;
    QTest::newRow("maximum wait -1") << op << u"maximum waiting time"_s;
    op = base;
    op.speedOrPeople = 300;
    QTest::newRow("speed 300") << op << u"speed"_s;
}

void TestRideOperation::refusesValuesOutOfRange()
{
    QFETCH(RideOperation, operation);
    QFETCH(QString, mentions);
    const ByteBuffer before = PatternRecord();
    TrackDesignDocument document;
    QVERIFY(document.loadContents(before));
    const QString error = ApplyRideOperation(document, operation);
    QVERIFY2(error.contains(mentions), qPrintable(error));
    QCOMPARE(document.contents(), before);
    QVERIFY(!document.changed());
}

QTEST_GUILESS_MAIN(TestRideOperation)
#include "tst_ride_operation.moc"
