#pragma once

#include "codec/byte_buffer.h"
#include "codec/record_layout.h"
#include "document/track_design_document.h"

#include <QLocale>
#include <QString>
#include <cstdint>

namespace railwright {

// How a ride is run: the departure-control byte split into its flags and load amount,
// and the five counts that follow it in the record.
struct RideOperation
{
    bool useMaximumTime = false;
    bool useMinimumTime = false;
    bool syncWithAdjacent = false;
    bool leaveWhenAnotherArrives = false;
    bool waitForLoad = false;
    int loadAmount = 0; // a LoadAmount; counts only while waitForLoad is set

    int trains = 1;
    int cars = 1;
    int minWait = 0;
    int maxWait = 0;
    int speedOrPeople = 1; // a speed (x 2.25 = mph) or a number of people, by mode

    friend bool operator==(const RideOperation&, const RideOperation&) = default;
};

// The load amounts of the departure-control byte, in the order the dialog lists them
// (record::LoadAmountField's range).
enum LoadAmount
{
    QuarterLoad = 0,
    HalfLoad = 1,
    ThreeQuarterLoad = 2,
    FullLoad = 3,
    AnyLoad = 4,
};

// Bytes a record needs for the operation settings (up to and including speed or people).
inline constexpr TrackDesignDocument::Index RideOperationRecordLength = 41;

// The settings stored in `record`. Bytes past the end of a short record read as its
// last byte (an empty record reads as zeros). Values the dialog cannot show are made safe: trains
// and cars outside 1..12 are clamped into it, a load amount of 5 to 7 reads as AnyLoad.
[[nodiscard]] RideOperation ReadRideOperation(ByteView record);

// A speed-or-people value as miles per hour, "#0.00" with the locale's decimal
// separator: 0 gives "0.00", 1 "2.25", 255 "573.75".
[[nodiscard]] QString SpeedText(int value, const QLocale& locale);

// Writes the six operation bytes as one undoable step "Set Ride Operation" and
// returns an empty string: each flag and the load amount through its field, so byte 35
// follows its field's rule (no load amount without "Wait for load") as every other view
// writing it does. Writes nothing and returns a message for the user when the record is
// shorter than RideOperationRecordLength or a value lies outside its field's range.
[[nodiscard]] QString ApplyRideOperation(TrackDesignDocument& record,
                                         const RideOperation& operation);

} // namespace railwright
