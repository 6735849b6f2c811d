#pragma once

#include "operation/ride_operation.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace railwright {

class UpDownControl;

// The "Enter Number" dialog: edits departure control, trains, cars, waiting times and
// speed or people. It only collects values: the caller reads values() after "Ok"
// (Accepted) and applies them; the close box (Rejected) means nothing changes.
class RideOperationDialog : public QDialog
{
    Q_OBJECT

public:
    explicit RideOperationDialog(const RideOperation& initial, QWidget* parent = nullptr);

    // What the controls show now. The load amount is the selected item even while
    // "Wait For Load" is unchecked; byte 35's rule leaves it out then.
    [[nodiscard]] RideOperation values() const;

private:
    void showValues(const RideOperation& operation);
    void updateSpeedLabel(int value);

    QCheckBox* m_maxTime = nullptr;
    QCheckBox* m_minTime = nullptr;
    QCheckBox* m_sync = nullptr;
    QCheckBox* m_leave = nullptr;
    QCheckBox* m_wait = nullptr;
    QComboBox* m_loadAmount = nullptr;
    UpDownControl* m_trains = nullptr;
    UpDownControl* m_cars = nullptr;
    UpDownControl* m_minWait = nullptr;
    UpDownControl* m_maxWait = nullptr;
    UpDownControl* m_speedOrPeople = nullptr;
    QLabel* m_speed = nullptr;
    QPushButton* m_ok = nullptr;
};

} // namespace railwright
