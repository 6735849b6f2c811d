#include "layout_conversion.h"

#include "record_layout.h"

#include <algorithm>

namespace railwright {

namespace {

// The expansion header after the colour schemes: one byte of further flags, then zeros.
constexpr std::size_t SecondFlags =
    record::TrackSupportColors + record::TrackColorSchemeCount; // 0x44
constexpr std::size_t PaddingStart = SecondFlags + 1;

constexpr std::size_t ColorBlocks[] = {record::TrackSpineColors, record::TrackRailColors,
                                       record::TrackSupportColors};
constexpr std::size_t BaseColors[] = {record::TrackSpineColor, record::TrackRailColor,
                                      record::TrackSupportColor};

std::string LayoutName(RecordLayout layout)
{
    return layout == RecordLayout::Base ? "base layout (8,058 bytes)"
                                        : "expansion layout (8,198 bytes)";
}

// What the base layout has no room for, as a list for the user; empty when nothing.
std::string ExpansionOnlyContent(ByteView record)
{
    std::string schemes;
    int differing = 0;
    for (std::size_t scheme = 1; scheme < record::TrackColorSchemeCount; ++scheme) {
        const bool differs =
            std::any_of(std::begin(ColorBlocks), std::end(ColorBlocks),
                        [&](std::size_t block) { return record[block + scheme] != record[block]; });
        if (differs) {
            schemes += (schemes.empty() ? "" : ", ") + std::to_string(scheme);
            ++differing;
        }
    }
    std::string lost;
    const auto add = [&lost](const std::string& what) {
        lost += (lost.empty() ? "" : "; ") + what;
    };
    if (!schemes.empty()) {
        add((differing == 1 ? "track colour scheme " : "track colour schemes ") + schemes +
            " (different from scheme 0)");
    }
    if (record[SecondFlags] != 0) {
        add("the second flags byte 68 (value " + std::to_string(record[SecondFlags]) + ")");
    }
    const auto padding = record.subspan(PaddingStart, ExpansionTrackDataStart - PaddingStart);
    if (std::any_of(padding.begin(), padding.end(), [](std::uint8_t b) { return b != 0; })) {
        add("non-zero bytes in the padding 69-195");
    }
    return lost;
}

ByteBuffer ToExpansion(ByteView record)
{
    ByteBuffer out(record.begin(), record.begin() + BaseTrackDataStart);
    out.resize(ExpansionTrackDataStart, 0);
    out.insert(out.end(), record.begin() + BaseTrackDataStart, record.end());
    for (std::size_t i = 0; i < std::size(ColorBlocks); ++i) {
        std::fill_n(out.begin() + std::ptrdiff_t(ColorBlocks[i]), record::TrackColorSchemeCount,
                    record[BaseColors[i]]);
    }
    out[record::SchemeAndVersion] |= record::ExpansionFlag;
    return out;
}

ByteBuffer ToBase(ByteView record)
{
    ByteBuffer out(record.begin(), record.begin() + BaseTrackDataStart);
    out.insert(out.end(), record.begin() + ExpansionTrackDataStart, record.end());
    for (std::size_t i = 0; i < std::size(ColorBlocks); ++i) {
        out[BaseColors[i]] = record[ColorBlocks[i]];
    }
    out[record::SchemeAndVersion] &= std::uint8_t(~record::ExpansionFlag);
    return out;
}

} // namespace

LayoutConversion ConvertLayout(ByteView record, RecordLayout target, bool force)
{
    LayoutConversion result;
    const RecordLayout layout = InspectRecord(record).layout;
    if (target == RecordLayout::Unusual) {
        result.error = "a record converts only to the base or the expansion layout";
    } else if (layout == RecordLayout::Unusual) {
        result.error = "the record is " + std::to_string(record.size()) +
                       " bytes long; only records of the base layout (8,058 bytes) and the "
                       "expansion layout (8,198 bytes) can be converted";
    } else if (layout == target) {
        result.error = "the record is already in the " + LayoutName(target);
    } else if (target == RecordLayout::Expansion) {
        result.record = ToExpansion(record);
    } else if (const std::string lost = ExpansionOnlyContent(record); !lost.empty() && !force) {
        result.error = "the base layout would lose " + lost;
        result.lossy = true;
    } else {
        result.record = ToBase(record);
    }
    return result;
}

} // namespace railwright
