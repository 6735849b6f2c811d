// The ride operation bytes (35 to 40): read, written, and through the dialog.
#include "operation/ride_operation.h"
#include "ui/operation/ride_operation_dialog.h"
#include "ui/operation/up_down_control.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace railwright;
using namespace Qt::StringLiterals;

namespace {

// An 80-byte record with a recognisable byte everywhere and the six operation bytes
// (35 to 40) given in `six`.
ByteBuffer recordWith(const QByteArray& six, std::size_t length = 80)
{
    ByteBuffer bytes(length);
    for (std::size_t i = 0; i < length; ++i) {
        bytes[i] = std::uint8_t(i * 7 + 3);
    }
    for (qsizetype i = 0; i < six.size() && 35 + std::size_t(i) < length; ++i) {
        bytes[35 + std::size_t(i)] = std::uint8_t(six[i]);
    }
    return bytes;
}

// The flags as letters (max time, min time, sync, leave, wait), then the load amount.
QString flagText(const RideOperation& operation)
{
    return QString(operation.useMaximumTime ? u"M"_s : u"-"_s) +
           (operation.useMinimumTime ? u"m"_s : u"-"_s) +
           (operation.syncWithAdjacent ? u"s"_s : u"-"_s) +
           (operation.leaveWhenAnotherArrives ? u"l"_s : u"-"_s) +
           (operation.waitForLoad ? u"w"_s : u"-"_s) + QString::number(operation.loadAmount);
}

} // namespace

class TestRideOperation : public QObject
{
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale::c()); }

    void read_data()
    {
        QTest::addColumn<QByteArray>("six");
        QTest::addColumn<QString>("flags");
        QTest::addColumn<QList<int>>("counts"); // trains, cars, min wait, max wait, speed
        QTest::newRow("139: max time, wait, full")
            << QByteArray::fromHex("8B 02 05 0A 14 1E") << u"M---w3"_s << QList{2, 5, 10, 20, 30};
        QTest::newRow("64 and 32: min time, sync") << QByteArray::fromHex("60 0C 0C FF FF FF")
                                                   << u"-ms--0"_s << QList{12, 12, 255, 255, 255};
        QTest::newRow("16: leave; trains and cars clamped")
            << QByteArray::fromHex("10 00 0D 00 00 00") << u"---l-0"_s << QList{1, 12, 0, 0, 0};
        QTest::newRow("255: load 7 reads as any load")
            << QByteArray::fromHex("FF 04 04 04 04 04") << u"Mmslw4"_s << QList{4, 4, 4, 4, 4};
    }
    void read()
    {
        QFETCH(QByteArray, six);
        TrackDesignDocument document;
        QVERIFY(document.loadContents(recordWith(six)));
        const RideOperation operation = ReadRideOperation(document.contents());
        QTEST(flagText(operation), "flags");
        QTEST((QList{operation.trains, operation.cars, operation.minWait, operation.maxWait,
                     operation.speedOrPeople}),
              "counts");
    }

    void applyWritesTheSixBytes()
    {
        TrackDesignDocument document;
        QVERIFY(document.loadContents(recordWith(QByteArray::fromHex("8B 02 05 0A 14 1E"))));
        RideOperation operation;
        operation.useMinimumTime = operation.leaveWhenAnotherArrives = true;
        operation.waitForLoad = true;
        operation.loadAmount = HalfLoad;
        operation.trains = 12;
        operation.maxWait = 255;
        operation.speedOrPeople = 40;
        QCOMPARE(ApplyRideOperation(document, operation), QString());
        QCOMPARE(document.contents(), recordWith(QByteArray::fromHex("59 0C 01 00 FF 28")));
        QVERIFY(document.changed());

        // All six bytes are one step; Ok with nothing changed makes none.
        QCOMPARE(document.undoStack()->count(), 1);
        document.markSaved();
        QCOMPARE(ApplyRideOperation(document, ReadRideOperation(document.contents())), QString());
        QCOMPARE(document.contents(), recordWith(QByteArray::fromHex("59 0C 01 00 FF 28")));
        QVERIFY(!document.changed());
    }

    void applyRefuses_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<RideOperation>("operation");
        QTest::addColumn<QString>("mentions");
        RideOperation op;
        QTest::newRow("record of 40 bytes") << 40 << op << u"40 bytes"_s;
        op.trains = 13;
        QTest::newRow("13 trains") << 80 << op << u"Trains must be between 1 and 12; it is 13."_s;
        op = {};
        op.cars = 0;
        QTest::newRow("no cars") << 80 << op << u"Cars per train"_s;
        op = {};
        op.minWait = 256;
        QTest::newRow("minimum wait 256") << 80 << op << u"Minimum waiting time"_s;
        op = {};
        op.speedOrPeople = -1;
        QTest::newRow("speed -1") << 80 << op << u"Speed or people"_s;
    }
    void applyRefuses()
    {
        QFETCH(int, length);
        QFETCH(RideOperation, operation);
        QFETCH(QString, mentions);
        const ByteBuffer before = recordWith({}, std::size_t(length));
        TrackDesignDocument document;
        QVERIFY(document.loadContents(before));
        const QString error = ApplyRideOperation(document, operation);
        QVERIFY2(error.contains(mentions), qPrintable(error));
        QCOMPARE(document.contents(), before);
        QVERIFY(!document.changed());
    }
    // The dialog opened on a record's six operation bytes, played through its own
    // controls and accepted with Ok, as the main window runs it.
    void okWritesWhatTheUserSet_data()
    {
        QTest::addColumn<QByteArray>("before");
        // Space-separated steps: a check box or up-down name clicks it or presses Up on it,
        // "-name" presses Down, "list" presses Down in the load list, "=name:text" checks
        // a label's text.
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("every control once")
            << QByteArray::fromHex("09 02 05 0A 14 1E")
            << u"=cmbTime:1/2_Load =lblSpeed:67.50 list chkMaxTime chkMinTime chkSync chkLeave "
               "UDTrains UDCars UDMinW UDMaxW UDPeep =lblPeep:31 =lblSpeed:69.75"_s
            << QByteArray::fromHex("FA 03 06 0B 15 1F");
        QTest::newRow("sync and a load picked from the list")
            << QByteArray::fromHex("00 01 01 00 00 00")
            << u"chkSync chkWait list list =cmbTime:3/4_Load"_s
            << QByteArray::fromHex("2A 01 01 00 00 00");
        QTest::newRow("counters stop at their ends")
            << QByteArray::fromHex("00 0B 02 FE 01 00")
            << u"UDTrains UDTrains -UDCars -UDCars UDMinW UDMinW -UDMaxW -UDMaxW -UDPeep"_s
            << QByteArray::fromHex("00 0C 01 FF 00 00");
        QTest::newRow("values out of range shown safely")
            << QByteArray::fromHex("0E 00 28 00 00 00")
            << u"=lblTrains:1 =lblCars:12 =cmbTime:Any_Load"_s
            << QByteArray::fromHex("0C 01 0C 00 00 00");
    }
    void okWritesWhatTheUserSet()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, steps);
        TrackDesignDocument document;
        QVERIFY(document.loadContents(recordWith(before)));
        RideOperationDialog dialog(ReadRideOperation(document.contents()));
        QTimer::singleShot(0, &dialog, [&] {
            for (const QString& step : steps.split(u' ')) {
                play(dialog, step);
            }
            QTest::mouseClick(dialog.findChild<QPushButton*>(u"cmdOk"_s), Qt::LeftButton);
            if (dialog.isVisible()) { // a failed step must not leave the dialog open
                dialog.reject();
            }
        });
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QCOMPARE(ApplyRideOperation(document, dialog.values()), QString());
        const ByteBuffer bytes = document.contents();
        QTEST(QByteArray(reinterpret_cast<const char*>(bytes.data()) + 35, 6), "after");
    }

private:
    static void play(RideOperationDialog& dialog, const QString& step)
    {
        if (step.startsWith(u'=')) {
            const QString name = step.mid(1).section(u':', 0, 0);
            const QString text = step.section(u':', 1).replace(u'_', u' ');
            auto* label = dialog.findChild<QLabel*>(name);
            QCOMPARE(label ? label->text() : dialog.findChild<QComboBox*>(name)->currentText(),
                     text);
        } else if (step == u"list") {
            QTest::keyClick(dialog.findChild<QComboBox*>(u"cmbTime"_s), Qt::Key_Down);
        } else if (auto* box = dialog.findChild<QCheckBox*>(step)) {
            QTest::mouseClick(box, Qt::LeftButton, {},
                              QPoint(box->height() / 2, box->height() / 2));
        } else {
            const bool down = step.startsWith(u'-');
            auto* control = dialog.findChild<UpDownControl*>(down ? step.mid(1) : step);
            QVERIFY2(control, qPrintable(step));
            QTest::keyClick(control, down ? Qt::Key_Down : Qt::Key_Up);
        }
    }
};

QTEST_MAIN(TestRideOperation)
#include "tst_ride_operation.moc"
