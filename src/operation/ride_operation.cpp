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
    operation.trains =
        std::clamp(ByteAt(record, record::NumTrains), MinTrainsOrCars, MaxTrainsOrCars);
    operation.cars =
        std::clamp(ByteAt(record, record::CarsPerTrain), MinTrainsOrCars, MaxTrainsOrCars);
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
    operation.loadAmount = std::min(flags, int(AnyLoad));
    return operation;
}

std::uint8_t PackDepartureFlags(const RideOperation& operation)
{
    int flags = 0;
    if (operation.useMaximumTime) {
        flags += record::DepartUseMaximumTime;
    }
    if (operation.useMinimumTime) {
        flags += record::DepartUseMinimumTime;
    }
    if (operation.syncWithAdjacent) {
        flags += record::DepartSyncWithAdjacent;
    }
    if (operation.leaveWhenAnotherArrives) {
        flags += record::DepartLeaveWhenAnotherArrives;
    }
    if (operation.waitForLoad) {
        flags += record::DepartWaitForLoad;
        flags += std::clamp(operation.loadAmount, int(QuarterLoad), int(AnyLoad));
    }
    return std::uint8_t(flags);
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
    if (operation.trains < MinTrainsOrCars || operation.trains > MaxTrainsOrCars) {
        return RangeError(u"The number of trains"_s, operation.trains, MinTrainsOrCars,
                          MaxTrainsOrCars);
    }
    if (operation.cars < MinTrainsOrCars || operation.cars > MaxTrainsOrCars) {
        return RangeError(u"The number of cars"_s, operation.cars, MinTrainsOrCars,
                          MaxTrainsOrCars);
    }
    if (operation.minWait < 0 || operation.minWait > MaxByteCount) {
        return RangeError(u"The minimum waiting time"_s, operation.minWait, 0, MaxByteCount);
    }
    if (operation.maxWait < 0 || operation.maxWait > MaxByteCount) {
        return RangeError(u"The maximum waiting time"_s, operation.maxWait, 0, MaxByteCount);
    }
    if (operation.speedOrPeople < 0 || operation.speedOrPeople > MaxByteCount) {
        return RangeError(u"The speed or number of people"_s, operation.speedOrPeople, 0,
                          MaxByteCount);
    }

    record.setFields(u"Set Ride Operation"_s,
                     {{record::DepartureFlagsField, PackDepartureFlags(operation)},
                      {record::NumTrainsField, operation.trains},
                      {record::CarsPerTrainField, operation.cars},
                      {record::MinWaitField, operation.minWait},
                      {record::MaxWaitField, operation.maxWait},
                      {record::SpeedOrPeopleField, operation.speedOrPeople}});
    return QString();
}

} // namespace railwright
