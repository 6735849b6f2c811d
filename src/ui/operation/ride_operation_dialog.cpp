#include "ui/operation/ride_operation_dialog.h"

#include "ui/operation/up_down_control.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <algorithm>
#include <cmath>
#include <vector>

namespace railwright {

using namespace Qt::StringLiterals;

namespace {

constexpr int TwipsPerInch = 1440;

// The widest texts the value labels ever show: 12 trains or cars, 255 for the other
// counts, 573.75 mph for the largest speed.
constexpr int WidestSpeedValue = record::SpeedOrPeopleField.high;

// One control and its rectangle in twips, relative to its frame or the dialog.
struct Placement
{
    QWidget* widget;
    QRect twips;
};

QGroupBox* AddFrame(QWidget* parent, const QString& name, const QString& title)
{
    auto* frame = new QGroupBox(title, parent);
    frame->setObjectName(name);
    return frame;
}

QLabel* AddValueLabel(QWidget* parent, const QString& name, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    QFont font = label->font();
    font.setBold(true);
    font.setPointSize(18);
    label->setFont(font);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

UpDownControl* AddUpDown(QWidget* parent, const QString& name, int minimum, int maximum,
                         int designValue, QLabel* label)
{
    auto* upDown = new UpDownControl(parent);
    upDown->setObjectName(name);
    upDown->setRange(minimum, maximum);
    upDown->setValue(designValue);
    label->setBuddy(upDown);
    QObject::connect(upDown, &QSpinBox::valueChanged, label,
                     [label](int value) { label->setText(QString::number(value)); });
    return upDown;
}

QCheckBox* AddCheckBox(QWidget* parent, const QString& name, const QString& text)
{
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(name);
    return box;
}

// The layout was drawn for a small 8-point system font. Where the font in use is
// larger or wider, the whole layout grows by one factor (never shrinks) until every
// caption and the widest value fits, so nothing is clipped and the proportions stay.
qreal FitFactor(const std::vector<Placement>& placements, const std::vector<QString>& widest,
                qreal pixelsPerTwip)
{
    qreal factor = 1;
    const auto need = [&factor](qreal required, qreal available) {
        if (available > 0) {
            factor = std::max(factor, required / available);
        }
    };
    for (std::size_t i = 0; i < placements.size(); ++i) {
        QWidget* widget = placements[i].widget;
        const QRectF design(placements[i].twips.topLeft() * pixelsPerTwip,
                            placements[i].twips.size() * pixelsPerTwip);
        if (auto* frame = qobject_cast<QGroupBox*>(widget)) {
            const QFontMetrics metrics(frame->font());
            need(metrics.horizontalAdvance(frame->title()) + metrics.averageCharWidth() * 3,
                 design.width());
        } else if (auto* label = qobject_cast<QLabel*>(widget)) {
            const QFontMetrics metrics(label->font());
            need(metrics.horizontalAdvance(widest[i]) + 2, design.width());
            need(metrics.height(), design.height());
            // The value sits below the frame's caption, which takes one line of the
            // frame's font from the frame's top edge.
            const QFontMetrics captionMetrics(label->parentWidget()->font());
            need(captionMetrics.height() + 2, design.top());
        } else if (auto* box = qobject_cast<QCheckBox*>(widget)) {
            need(box->sizeHint().width(), design.width());
            // Boxes are stacked 300 twips apart; each needs its own line.
            need(box->sizeHint().height(), 300 * pixelsPerTwip);
        } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
            need(button->sizeHint().width(), design.width());
        }
    }
    return factor;
}

} // namespace

RideOperationDialog::RideOperationDialog(const RideOperation& initial, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(u"Number"_s);
    setWindowTitle(u"Enter Number"_s);

    std::vector<Placement> placements;
    std::vector<QString> widest; // per placement: the widest text a value label shows
    const auto place = [&](QWidget* widget, QRect twips, const QString& widestText = {}) {
        placements.push_back({widget, twips});
        widest.push_back(widestText);
    };
    const QString widestCount = QString::number(record::MaxWaitField.high);
    const QString widestTrains = QString::number(record::NumTrainsField.high);

    // A frame holding a value label and its up-down control, as the four counters are.
    // Each counter offers its field's range.
    const auto addCounter = [&](const QString& frameName, const QString& caption,
                                const QString& labelName, const QString& upDownName,
                                const record::FieldDescription& field, int start, QRect frameTwips,
                                int labelWidth, const QString& widestValue) {
        auto* frame = AddFrame(this, frameName, caption);
        auto* label = AddValueLabel(frame, labelName, QString::number(start));
        auto* upDown = AddUpDown(frame, upDownName, field.low, field.high, start, label);
        place(frame, frameTwips);
        place(label, {150, 225, labelWidth, 390}, widestValue);
        place(upDown, {150 + labelWidth + 60, 225, 255, 390});
        return upDown;
    };
    m_trains = addCounter(u"fraTrains"_s, u"# of Trains"_s, u"lblTrains"_s, u"UDTrains"_s,
                          record::NumTrainsField, 1, {75, 75, 1065, 765}, 465, widestTrains);
    m_cars = addCounter(u"fraCars"_s, u"# of Cars"_s, u"lblCars"_s, u"UDCars"_s,
                        record::CarsPerTrainField, 1, {75, 900, 1065, 765}, 465, widestTrains);
    m_minWait = addCounter(u"fraMinW"_s, u"Min Wait Time"_s, u"lblMinW"_s, u"UDMinW"_s,
                           record::MinWaitField, 0, {1200, 75, 1290, 765}, 690, widestCount);
    m_maxWait = addCounter(u"fraMaxW"_s, u"Max Wait Time"_s, u"lblMaxW"_s, u"UDMaxW"_s,
                           record::MaxWaitField, 0, {1200, 900, 1290, 765}, 690, widestCount);

    auto* peep = AddFrame(this, u"fraPeep"_s, u"Speed/Max People"_s);
    m_speed = AddValueLabel(peep, u"lblSpeed"_s, SpeedText(1, locale()));
    auto* peepLabel = AddValueLabel(peep, u"lblPeep"_s, u"1"_s);
    m_speedOrPeople = AddUpDown(peep, u"UDPeep"_s, record::SpeedOrPeopleField.low,
                                record::SpeedOrPeopleField.high, 1, peepLabel);
    connect(m_speedOrPeople, &QSpinBox::valueChanged, this, &RideOperationDialog::updateSpeedLabel);
    place(peep, {75, 1725, 2415, 765});
    place(m_speed, {150, 225, 1065, 390}, SpeedText(WidestSpeedValue, locale()));
    place(peepLabel, {1275, 225, 690, 390}, widestCount);
    place(m_speedOrPeople, {2025, 225, 255, 390});

    auto* depart = AddFrame(this, u"fraDepart"_s, u"Departure Control"_s);
    m_maxTime = AddCheckBox(depart, u"chkMaxTime"_s, u"Use Maximum Time"_s);
    m_minTime = AddCheckBox(depart, u"chkMinTime"_s, u"Use Minimum Time"_s);
    m_sync = AddCheckBox(depart, u"chkSync"_s, u"Sync With Adjacent Station"_s);
    m_leave = AddCheckBox(depart, u"chkLeave"_s, u"Leave When Train Arrives"_s);
    m_wait = AddCheckBox(depart, u"chkWait"_s, u"Wait For Load"_s);
    place(depart, {2550, 75, 2490, 2415});
    place(m_maxTime, {150, 300, 2265, 240});
    place(m_minTime, {150, 600, 2265, 240});
    place(m_sync, {150, 900, 2265, 240});
    place(m_leave, {150, 1200, 2265, 240});
    place(m_wait, {150, 1500, 2265, 240});

    m_loadAmount = new QComboBox(depart);
    m_loadAmount->setObjectName(u"cmbTime"_s);
    m_loadAmount->addItem(u"1/4 Load"_s, int(QuarterLoad));
    m_loadAmount->addItem(u"1/2 Load"_s, int(HalfLoad));
    m_loadAmount->addItem(u"3/4 Load"_s, int(ThreeQuarterLoad));
    m_loadAmount->addItem(u"Full Load"_s, int(FullLoad));
    m_loadAmount->addItem(u"Any Load"_s, int(AnyLoad));
    // A drop-down list has the height its font gives it; only its width is designed.
    const int comboTop = 1875;
    const int comboWidth = 2190;
    // The list follows the box only when the box changes: on opening with the box
    // clear the list stays enabled.
    connect(m_wait, &QCheckBox::toggled, m_loadAmount, &QComboBox::setEnabled);

    m_ok = new QPushButton(u"Ok"_s, this);
    m_ok->setObjectName(u"cmdOk"_s);
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    place(m_ok, {3900, 2550, 1140, 465});

    // Twips are physical: 15 to the pixel at 96 dpi, scaled to the screen's density.
    const qreal dpi = logicalDpiY() > 0 ? logicalDpiY() : 96;
    const qreal pixelsPerTwip = dpi / TwipsPerInch;
    const qreal scale = pixelsPerTwip * FitFactor(placements, widest, pixelsPerTwip);
    const auto px = [scale](int twips) { return int(std::lround(twips * scale)); };
    for (const Placement& placement : placements) {
        const QRect& t = placement.twips;
        placement.widget->setGeometry(px(t.left()), px(t.top()), px(t.width()), px(t.height()));
    }
    for (QCheckBox* box : {m_maxTime, m_minTime, m_sync, m_leave, m_wait}) {
        box->resize(box->width(), std::max(box->height(), box->sizeHint().height()));
    }
    m_loadAmount->setGeometry(px(150), px(comboTop), px(comboWidth),
                              m_loadAmount->sizeHint().height());
    setFixedSize(px(5115), px(3090));

    showValues(initial);
}

void RideOperationDialog::showValues(const RideOperation& operation)
{
    m_trains->setValue(operation.trains);
    m_cars->setValue(operation.cars);
    m_minWait->setValue(operation.minWait);
    m_maxWait->setValue(operation.maxWait);
    m_speedOrPeople->setValue(operation.speedOrPeople);

    m_maxTime->setChecked(operation.useMaximumTime);
    m_minTime->setChecked(operation.useMinimumTime);
    m_sync->setChecked(operation.syncWithAdjacent);
    m_leave->setChecked(operation.leaveWhenAnotherArrives);
    m_wait->setChecked(operation.waitForLoad);
    m_loadAmount->setCurrentIndex(m_loadAmount->findData(operation.loadAmount));
}

void RideOperationDialog::updateSpeedLabel(int value)
{
    m_speed->setText(SpeedText(value, locale()));
}

RideOperation RideOperationDialog::values() const
{
    RideOperation operation;
    operation.useMaximumTime = m_maxTime->isChecked();
    operation.useMinimumTime = m_minTime->isChecked();
    operation.syncWithAdjacent = m_sync->isChecked();
    operation.leaveWhenAnotherArrives = m_leave->isChecked();
    operation.waitForLoad = m_wait->isChecked();
    operation.loadAmount = m_loadAmount->currentData().isValid()
                               ? m_loadAmount->currentData().toInt()
                               : int(QuarterLoad);
    operation.trains = m_trains->value();
    operation.cars = m_cars->value();
    operation.minWait = m_minWait->value();
    operation.maxWait = m_maxWait->value();
    operation.speedOrPeople = m_speedOrPeople->value();
    return operation;
}

} // namespace railwright
