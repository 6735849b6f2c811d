#include "codec/record_layout.h"
#include "operation/ride_operation_dialog.h"
#include "operation/up_down_control.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStyleOptionSpinBox>
#include <QTest>
#include <QTimer>
#include <functional>

using namespace railwright;
using namespace Qt::StringLiterals;

namespace {

using Interaction = std::function<void(RideOperationDialog&)>;

ByteBuffer PatternRecord()
{
    ByteBuffer bytes(80);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = std::uint8_t(i * 7 + 3);
    }
    bytes[record::NumTrains] = 2;
    bytes[record::CarsPerTrain] = 5;
    return bytes;
}

// A document holding PatternRecord() with the given bytes changed.
void Load(TrackDesignDocument& document, std::initializer_list<std::pair<std::size_t, int>> bytes)
{
    ByteBuffer record = PatternRecord();
    for (const auto& [offset, value] : bytes) {
        record[offset] = std::uint8_t(value);
    }
    QVERIFY(document.loadContents(record));
}

template <typename T> T* Child(const QWidget& dialog, const QString& name)
{
    return dialog.findChild<T*>(name);
}

// Runs the dialog the way the main window does: opened from the record, modal, and
// applied only when accepted. `interact` plays the user and must end the dialog.
int RunDialog(TrackDesignDocument& document, const Interaction& interact, QString* error = nullptr)
{
    RideOperationDialog dialog(ReadRideOperation(document));
    QTimer::singleShot(0, &dialog, [&dialog, &interact] {
        interact(dialog);
        if (dialog.isVisible()) { // a failed check inside `interact` must not hang the test
            dialog.reject();
        }
    });
    const int result = dialog.exec();
    if (result == QDialog::Accepted) {
        const QString message = ApplyRideOperation(document, dialog.values());
        if (error) {
            *error = message;
        }
    }
    return result;
}

void ClickOk(RideOperationDialog& dialog)
{
    auto* ok = Child<QPushButton>(dialog, u"cmdOk"_s);
    QVERIFY(ok);
    QTest::mouseClick(ok, Qt::LeftButton);
}

void ClickCheckBox(QCheckBox* box)
{
    QVERIFY(box);
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->height() / 2, box->height() / 2));
}

// Clicks one of the up-down control's arrows where the style draws it.
void ClickArrow(UpDownControl* upDown, QStyle::SubControl arrow)
{
    QVERIFY(upDown);
    QStyleOptionSpinBox option;
    option.initFrom(upDown);
    option.subControls = QStyle::SC_All;
    option.buttonSymbols = upDown->buttonSymbols();
    option.stepEnabled = QAbstractSpinBox::StepUpEnabled | QAbstractSpinBox::StepDownEnabled;
    option.frame = upDown->hasFrame();
    const QRect rect = upDown->style()->subControlRect(QStyle::CC_SpinBox, &option, arrow, upDown);
    QVERIFY(rect.isValid());
    QTest::mouseClick(upDown, Qt::LeftButton, {}, rect.center());
}

} // namespace

class TestRideOperationDialog : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void controlsAsDesigned_data();
    void controlsAsDesigned();
    void windowCannotResize();
    void valueLabelsAreBold18();
    void nothingIsClipped();

    void departureFlags_data();
    void departureFlags();
    void userPicksLoadAmount();
    void spinnerRanges_data();
    void spinnerRanges();
    void speedLabel();
    void okWritesOnlyTheSixBytes();
    void clampedTrainsWrittenInRange();
};

void TestRideOperationDialog::init()
{
    QLocale::setDefault(QLocale::c());
}

void TestRideOperationDialog::controlsAsDesigned_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::newRow("fraTrains") << u"fraTrains"_s << u"# of Trains"_s;
    QTest::newRow("fraCars") << u"fraCars"_s << u"# of Cars"_s;
    QTest::newRow("fraMinW") << u"fraMinW"_s << u"Min Wait Time"_s;
    QTest::newRow("fraMaxW") << u"fraMaxW"_s << u"Max Wait Time"_s;
    QTest::newRow("fraPeep") << u"fraPeep"_s << u"Speed/Max People"_s;
    QTest::newRow("fraDepart") << u"fraDepart"_s << u"Departure Control"_s;
    QTest::newRow("chkMaxTime") << u"chkMaxTime"_s << u"Use Maximum Time"_s;
    QTest::newRow("chkMinTime") << u"chkMinTime"_s << u"Use Minimum Time"_s;
    QTest::newRow("chkSync") << u"chkSync"_s << u"Sync With Adjacent Station"_s;
    QTest::newRow("chkLeave") << u"chkLeave"_s << u"Leave When Train Arrives"_s;
    QTest::newRow("chkWait") << u"chkWait"_s << u"Wait For Load"_s;
    QTest::newRow("cmdOk") << u"cmdOk"_s << u"Ok"_s;
    QTest::newRow("cmbTime") << u"cmbTime"_s << u"1/4 Load|1/2 Load|3/4 Load|Full Load|Any Load"_s;
}

void TestRideOperationDialog::controlsAsDesigned()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    RideOperationDialog dialog(RideOperation{});
    QCOMPARE(dialog.objectName(), u"Number"_s);
    QCOMPARE(dialog.windowTitle(), u"Enter Number"_s);

    QWidget* widget = Child<QWidget>(dialog, name);
    QVERIFY2(widget, qPrintable(name));
    if (auto* frame = qobject_cast<QGroupBox*>(widget)) {
        QCOMPARE(frame->title(), text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        QCOMPARE(button->text(), text);
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        QStringList items;
        for (int i = 0; i < combo->count(); ++i) {
            items << combo->itemText(i);
            QCOMPARE(combo->itemData(i).toInt(), i);
        }
        QCOMPARE(items.join(u'|'), text);
    } else {
        QFAIL("unexpected kind of control");
    }
}

void TestRideOperationDialog::windowCannotResize()
{
    RideOperationDialog dialog(RideOperation{});
    const Qt::WindowFlags flags = dialog.windowFlags();
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(flags & Qt::WindowTitleHint);
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
    // The client area keeps the designed 5115 x 3090 proportions, at least at 96 dpi size.
    const qreal dpiScale = dialog.logicalDpiY() / 96.0;
    QVERIFY(dialog.width() >= qRound(341 * dpiScale));
    QVERIFY(qAbs(dialog.height() - dialog.width() * 3090.0 / 5115) <= 1.0);
}

void TestRideOperationDialog::valueLabelsAreBold18()
{
    RideOperationDialog dialog(RideOperation{});
    for (const QString& name :
         {u"lblTrains"_s, u"lblCars"_s, u"lblMinW"_s, u"lblMaxW"_s, u"lblPeep"_s, u"lblSpeed"_s}) {
        auto* label = Child<QLabel>(dialog, name);
        QVERIFY2(label, qPrintable(name));
        QVERIFY(label->font().bold());
        QCOMPARE(label->font().pointSize(), 18);
    }
    // The design-time captions: trains 1, cars 1, waits 0, speed or people 1.
    QCOMPARE(Child<QLabel>(dialog, u"lblTrains"_s)->text(), u"1"_s);
    QCOMPARE(Child<QLabel>(dialog, u"lblMinW"_s)->text(), u"0"_s);
    QCOMPARE(Child<QLabel>(dialog, u"lblSpeed"_s)->text(), u"2.25"_s);
}

// Whatever the font, the widest values and every caption fit their controls, and no
// two controls in one container overlap.
void TestRideOperationDialog::nothingIsClipped()
{
    RideOperation widest;
    widest.trains = 12;
    widest.minWait = widest.maxWait = widest.speedOrPeople = 255;
    RideOperationDialog dialog(widest);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    for (auto* label : dialog.findChildren<QLabel*>()) {
        const int textWidth = label->fontMetrics().horizontalAdvance(label->text());
        QVERIFY2(textWidth <= label->width(), qPrintable(label->objectName()));
        QVERIFY2(label->fontMetrics().height() <= label->height(), qPrintable(label->objectName()));
    }
    for (auto* box : dialog.findChildren<QCheckBox*>()) {
        QVERIFY2(box->sizeHint().width() <= box->width(), qPrintable(box->objectName()));
    }
    for (auto* frame : dialog.findChildren<QGroupBox*>()) {
        QVERIFY2(frame->fontMetrics().horizontalAdvance(frame->title()) < frame->width(),
                 qPrintable(frame->objectName()));
        const QList<QWidget*> children = frame->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        for (QWidget* child : children) {
            QVERIFY2(frame->rect().contains(child->geometry()), qPrintable(child->objectName()));
            QVERIFY2(child->y() >= frame->fontMetrics().height(), qPrintable(child->objectName()));
            for (QWidget* other : children) {
                if (other != child && child->isVisible() && other->isVisible()) {
                    QVERIFY2(!child->geometry().intersects(other->geometry()),
                             qPrintable(child->objectName() + u" / "_s + other->objectName()));
                }
            }
        }
    }
    const QList<QWidget*> topLevel = dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* child : topLevel) {
        QVERIFY2(dialog.rect().contains(child->geometry()), qPrintable(child->objectName()));
    }
}

void TestRideOperationDialog::departureFlags_data()
{
    QTest::addColumn<int>("flags");
    QTest::addColumn<QStringList>("checked");
    QTest::addColumn<QString>("load");
    QTest::addColumn<int>("written");
    QTest::newRow("139") << 139 << QStringList{u"chkMaxTime"_s, u"chkWait"_s} << u"Full Load"_s
                         << 139;
    // The list is left enabled on opening, as the game's editor did; the load is dropped.
    QTest::newRow("3") << 3 << QStringList() << u"Full Load"_s << 0;
    QTest::newRow("8") << 8 << QStringList{u"chkWait"_s} << u"1/4 Load"_s << 8;
}

void TestRideOperationDialog::departureFlags()
{
    QFETCH(int, flags);
    QFETCH(QStringList, checked);
    QFETCH(QString, load);
    QFETCH(int, written);
    TrackDesignDocument document;
    Load(document, {{record::DepartureFlags, flags}});
    const ByteBuffer before = document.contents();

    const int result = RunDialog(document, [&](RideOperationDialog& dialog) {
        for (auto* box : dialog.findChildren<QCheckBox*>()) {
            QVERIFY2(box->isChecked() == checked.contains(box->objectName()),
                     qPrintable(box->objectName()));
        }
        auto* wait = Child<QCheckBox>(dialog, u"chkWait"_s);
        auto* list = Child<QComboBox>(dialog, u"cmbTime"_s);
        QCOMPARE(list->currentText(), load);
        QVERIFY(list->isEnabled());
        // "Wait For Load" switches the list on and off.
        for (int click = 0; click < 2; ++click) {
            ClickCheckBox(wait);
            QCOMPARE(list->isEnabled(), wait->isChecked());
        }
        ClickOk(dialog);
    });
    QCOMPARE(result, int(QDialog::Accepted));
    ByteBuffer expected = before;
    expected[record::DepartureFlags] = std::uint8_t(written);
    QCOMPARE(document.contents(), expected);
    QVERIFY(document.changed()); // "Ok" always counts as a change
}

void TestRideOperationDialog::userPicksLoadAmount()
{
    TrackDesignDocument document;
    Load(document, {{record::DepartureFlags, 0}});

    const int result = RunDialog(document, [](RideOperationDialog& dialog) {
        ClickCheckBox(Child<QCheckBox>(dialog, u"chkSync"_s));
        ClickCheckBox(Child<QCheckBox>(dialog, u"chkWait"_s));
        auto* list = Child<QComboBox>(dialog, u"cmbTime"_s);
        QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(list->currentText(), u"3/4 Load"_s);
        ClickOk(dialog);
    });
    QCOMPARE(result, int(QDialog::Accepted));
    QCOMPARE(int(document.valueAt(record::DepartureFlags)), 32 + 8 + 2);
}

void TestRideOperationDialog::spinnerRanges_data()
{
    QTest::addColumn<QString>("upDown");
    QTest::addColumn<QString>("label");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("expected");

    using namespace record;
    const int up = Qt::Key_Up;
    const int down = Qt::Key_Down;
    QTest::newRow("trains stop at 12")
        << u"UDTrains"_s << u"lblTrains"_s << int(NumTrains) << 11 << up << 12;
    QTest::newRow("cars stop at 1")
        << u"UDCars"_s << u"lblCars"_s << int(CarsPerTrain) << 3 << down << 1;
    QTest::newRow("min wait stops at 255")
        << u"UDMinW"_s << u"lblMinW"_s << int(MinWaitTime) << 254 << up << 255;
    QTest::newRow("min wait stops at 0")
        << u"UDMinW"_s << u"lblMinW"_s << int(MinWaitTime) << 1 << down << 0;
    QTest::newRow("max wait stops at 0")
        << u"UDMaxW"_s << u"lblMaxW"_s << int(MaxWaitTime) << 2 << down << 0;
    QTest::newRow("people stop at 255")
        << u"UDPeep"_s << u"lblPeep"_s << int(SpeedOrPeople) << 255 << up << 255;
    QTest::newRow("people stop at 0")
        << u"UDPeep"_s << u"lblPeep"_s << int(SpeedOrPeople) << 0 << down << 0;
}

void TestRideOperationDialog::spinnerRanges()
{
    QFETCH(QString, upDown);
    QFETCH(QString, label);
    QFETCH(int, offset);
    QFETCH(int, stored);
    QFETCH(int, key);
    QFETCH(int, expected);

    TrackDesignDocument document;
    Load(document, {{std::size_t(offset), stored}});

    const int result = RunDialog(document, [&](RideOperationDialog& dialog) {
        auto* control = Child<UpDownControl>(dialog, upDown);
        QVERIFY(control);
        QCOMPARE(Child<QLabel>(dialog, label)->text(), QString::number(stored));
        for (int press = 0; press < 5; ++press) {
            QTest::keyClick(control, Qt::Key(key));
        }
        QCOMPARE(control->value(), expected);
        QCOMPARE(Child<QLabel>(dialog, label)->text(), QString::number(expected));
        ClickOk(dialog);
    });
    QCOMPARE(result, int(QDialog::Accepted));
    QCOMPARE(int(document.valueAt(offset)), expected);
}

void TestRideOperationDialog::speedLabel()
{
    TrackDesignDocument document;
    Load(document, {{record::SpeedOrPeople, 40}});

    const int result = RunDialog(document, [](RideOperationDialog& dialog) {
        auto* people = Child<QLabel>(dialog, u"lblPeep"_s);
        auto* speed = Child<QLabel>(dialog, u"lblSpeed"_s);
        QCOMPARE(people->text(), u"40"_s);
        QCOMPARE(speed->text(), u"90.00"_s);
        ClickArrow(Child<UpDownControl>(dialog, u"UDPeep"_s), QStyle::SC_SpinBoxUp);
        QCOMPARE(people->text(), u"41"_s);
        QCOMPARE(speed->text(), u"92.25"_s);
        ClickArrow(Child<UpDownControl>(dialog, u"UDPeep"_s), QStyle::SC_SpinBoxDown);
        ClickArrow(Child<UpDownControl>(dialog, u"UDPeep"_s), QStyle::SC_SpinBoxDown);
        QCOMPARE(people->text(), u"39"_s);
        QCOMPARE(speed->text(), u"87.75"_s);
        ClickOk(dialog);
    });
    QCOMPARE(result, int(QDialog::Accepted));
    QCOMPARE(int(document.valueAt(record::SpeedOrPeople)), 39);
}

namespace {

// Changes every control of the dialog, as a user who tries everything would.
void ChangeEverything(RideOperationDialog& dialog)
{
    // The list first: once "Wait For Load" is cleared it takes no input.
    QTest::keyClick(Child<QComboBox>(dialog, u"cmbTime"_s), Qt::Key_Down);
    for (auto* box : dialog.findChildren<QCheckBox*>()) {
        ClickCheckBox(box);
    }
    for (const QString& name :
         {u"UDTrains"_s, u"UDCars"_s, u"UDMinW"_s, u"UDMaxW"_s, u"UDPeep"_s}) {
        QTest::keyClick(Child<UpDownControl>(dialog, name), Qt::Key_Up);
    }
}

} // namespace

void TestRideOperationDialog::okWritesOnlyTheSixBytes()
{
    ByteBuffer bytes = PatternRecord();
    bytes[record::DepartureFlags] = 8 + 1; // wait, half load
    bytes[record::MinWaitTime] = 10;
    bytes[record::MaxWaitTime] = 20;
    bytes[record::SpeedOrPeople] = 30;
    TrackDesignDocument document;
    QVERIFY(document.loadContents(bytes));

    QString error;
    const int accepted = RunDialog(
        document,
        [](RideOperationDialog& dialog) {
            ChangeEverything(dialog);
            // Every box is now the other way round: wait is off, so the load is left out.
            ClickCheckBox(Child<QCheckBox>(dialog, u"chkWait"_s));
            ClickOk(dialog);
        },
        &error);
    QCOMPARE(accepted, int(QDialog::Accepted));
    QCOMPARE(error, QString());

    ByteBuffer expected = bytes;
    expected[record::DepartureFlags] = 128 + 64 + 32 + 16 + 8 + 2;
    expected[record::NumTrains] = 3;
    expected[record::CarsPerTrain] = 6;
    expected[record::MinWaitTime] = 11;
    expected[record::MaxWaitTime] = 21;
    expected[record::SpeedOrPeople] = 31;
    QCOMPARE(document.contents(), expected);
    QVERIFY(document.changed());
}

void TestRideOperationDialog::clampedTrainsWrittenInRange()
{
    TrackDesignDocument document;
    // Load amount 6 has no list item.
    Load(document,
         {{record::NumTrains, 0}, {record::CarsPerTrain, 40}, {record::DepartureFlags, 8 + 6}});

    const int result = RunDialog(document, [](RideOperationDialog& dialog) {
        QCOMPARE(Child<QLabel>(dialog, u"lblTrains"_s)->text(), u"1"_s);
        QCOMPARE(Child<QLabel>(dialog, u"lblCars"_s)->text(), u"12"_s);
        QCOMPARE(Child<QComboBox>(dialog, u"cmbTime"_s)->currentText(), u"Any Load"_s);
        ClickOk(dialog);
    });
    QCOMPARE(result, int(QDialog::Accepted));
    QCOMPARE(int(document.valueAt(record::NumTrains)), 1);
    QCOMPARE(int(document.valueAt(record::CarsPerTrain)), 12);
    QCOMPARE(int(document.valueAt(record::DepartureFlags)), 8 + 4);
}

QTEST_MAIN(TestRideOperationDialog)
#include "tst_ride_operation_dialog.moc"
