#include "ride_operation.h"

#include "codec/record_layout.h"

#include <algorithm>

namespace railwright {

using namespace Qt::StringLiterals;

namespace {

int ByteAt(ByteView record, std::size_t offset)
{
    if (record.empty()) {
        return 0;
    }
    return record[std::min(offset, record.size() - 1)];
}

QString RangeError(const QString& what, int value, int low, int high)
{
    return u"%1 must be between %2 and %3; it is %4."_s.arg(what).arg(low).arg(high).arg(value);
}

} // namespace

RideOperation ReadRideOperation(ByteView record)
{
    RideOperation operation;
    // What the boxes cannot show is brought into their fields' ranges.
    const auto clamped = [record](const record::FieldDescription& field) {
        return std::clamp(ByteAt(record, field.offset), field.low, field.high);
    };
    operation.trains = clamped(record::NumTrainsField);
    operation.cars = clamped(record::CarsPerTrainField);
    operation.minWait = ByteAt(record, record::MinWaitTime);
    operation.maxWait = ByteAt(record, record::MaxWaitTime);
    operation.speedOrPeople = ByteAt(record, record::SpeedOrPeople);

    // Highest flag first, each one taken off once found; what is left is the load.
    int flags = ByteAt(record, record::DepartureFlags);
    const auto take = [&flags](std::uint8_t flag) {
        if (flags >= flag) {
            flags -= flag;
            return true;
        }
        return false;
    };
    operation.useMaximumTime = take(record::DepartUseMaximumTime);
    operation.useMinimumTime = take(record::DepartUseMinimumTime);
    operation.syncWithAdjacent = take(record::DepartSyncWithAdjacent);
    operation.leaveWhenAnotherArrives = take(record::DepartLeaveWhenAnotherArrives);
    operation.waitForLoad = take(record::DepartWaitForLoad);
    // 5 to 7 mean nothing to the game's list; "Any Load" is the nearest safe choice.
    operation.loadAmount = std::min(flags, record::LoadAmountField.high);
    return operation;
}

QString SpeedText(int value, const QLocale& locale)
{
    // Multiples of 2.25 are exact in binary, so two decimals never need rounding;
    // the number is built by hand to keep group separators out.
    QString text = QString::number(value * 2.25, 'f', 2);
    return text.replace(u'.', locale.decimalPoint());
}

QString ApplyRideOperation(TrackDesignDocument& record, const RideOperation& operation)
{
    if (record.length() < RideOperationRecordLength) {
        return u"This record is too short for the ride operation settings: it has %1 bytes, "
               "%2 are needed."_s.arg(record.length())
                   .arg(RideOperationRecordLength);
    }
    const std::pair<const record::FieldDescription&, int> counts[] = {
        {record::NumTrainsField, operation.trains},
        {record::CarsPerTrainField, operation.cars},
        {record::MinWaitField, operation.minWait},
        {record::MaxWaitField, operation.maxWait},
        {record::SpeedOrPeopleField, operation.speedOrPeople},
    };
    for (const auto& [field, value] : counts) {
        if (value < field.low || value > field.high) {
            return RangeError(QString::fromLatin1(field.name.data(), qsizetype(field.name.size())),
                              value, field.low, field.high);
        }
    }

    // Flags first: the load amount, written last, is kept only when "Wait for load" is set.
    const auto& flags = record::DepartureFlagFields;
    record.setFields(u"Set Ride Operation"_s,
                     {{flags[0], operation.useMaximumTime ? flags[0].mask : 0},
                      {flags[1], operation.useMinimumTime ? flags[1].mask : 0},
                      {flags[2], operation.syncWithAdjacent ? flags[2].mask : 0},
                      {flags[3], operation.leaveWhenAnotherArrives ? flags[3].mask : 0},
                      {flags[4], operation.waitForLoad ? flags[4].mask : 0},
                      {record::LoadAmountField, operation.loadAmount},
                      {record::NumTrainsField, operation.trains},
                      {record::CarsPerTrainField, operation.cars},
                      {record::MinWaitField, operation.minWait},
                      {record::MaxWaitField, operation.maxWait},
                      {record::SpeedOrPeopleField, operation.speedOrPeople}});
    return QString();
}

} // namespace railwright
