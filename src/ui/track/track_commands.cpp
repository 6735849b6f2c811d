#include "track_commands.h"

#include "rules/ride_rules.h"

#include <algorithm>

namespace railwright {

TrackCommands::TrackCommands(TrackDesignDocument& document, QObject* parent)
    : QObject(parent), m_document(document)
{
    connect(&m_document, &TrackDesignDocument::bytesChanged, this, &TrackCommands::readTrack);
    connect(&m_document, &TrackDesignDocument::contentsReplaced, this, &TrackCommands::readTrack);
    connect(&m_document, &TrackDesignDocument::kindChanged, this, &TrackCommands::readTrack);
    ByteSelection& selection = m_document.selection();
    connect(&selection, &ByteSelection::currentChanged, this, &TrackCommands::followByte);
    connect(&selection, &ByteSelection::rowsChanged, this, &TrackCommands::rowsChanged);
    readTrack();
}

const std::vector<std::size_t>& TrackCommands::selectedRows() const
{
    return m_document.selection().rows();
}

std::vector<std::size_t> TrackCommands::selectedPieces() const
{
    return m_list.maze ? std::vector<std::size_t>{} : selectedRows();
}

void TrackCommands::selectRows(std::vector<std::size_t> rows)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    std::erase_if(rows, [this](std::size_t row) { return row >= RowCount(m_list); });
    std::vector<ByteSelection::Range> ranges;
    for (const std::size_t row : rows) {
        ranges.push_back(RowBytes(m_list, row));
    }
    m_document.selection().selectRows(std::move(rows), std::move(ranges));
}

void TrackCommands::readTrack()
{
    m_list = m_document.kind() == ContentKind::Decoded ? ReadTrackList(m_document.contents())
                                                       : TrackList{};
    // An edit may have ended the list earlier (an end marker typed in) or made the ride a
    // maze: the rows left keep their place, their bytes read anew.
    std::vector<std::size_t> rows;
    std::vector<ByteSelection::Range> ranges;
    for (const std::size_t row : selectedRows()) {
        if (row < RowCount(m_list)) {
            rows.push_back(row);
            ranges.push_back(RowBytes(m_list, row));
        }
    }
    m_document.selection().setRows(std::move(rows), std::move(ranges));
    emit trackChanged();
}

void TrackCommands::followByte(TrackDesignDocument::Index index)
{
    const ByteSelection& selection = m_document.selection();
    const auto& ranges = selection.rowRanges();
    if (std::any_of(ranges.begin(), ranges.end(), [index](const ByteSelection::Range& range) {
            return index >= range.first && index <= range.last;
        })) {
        return; // a byte of a selected row: the rows stay
    }
    const std::optional<std::size_t> row = RowOfByte(m_list, index);
    if (row) {
        m_document.selection().setRows({*row}, {RowBytes(m_list, *row)});
    } else {
        m_document.selection().setRows({}, {});
    }
}

TrackCommands::Offer TrackCommands::offer() const
{
    Offer offer;
    bool first = true;
    for (const std::size_t i : selectedPieces()) {
        if (i >= m_list.pieces.size()) {
            continue; // not yet pruned: the list is being read anew
        }
        const TrackPiece& piece = m_list.pieces[i];
        const bool allowed = rules::ChainLiftFits(m_list.rideType, piece.code);
        offer.chainOn = offer.chainOn || allowed;
        offer.chainOff = offer.chainOff || piece.chainLift();
        offer.allChained = offer.allChained && (!allowed || piece.chainLift());
        if (first) {
            offer.schemeValue = piece.scheme();
            offer.scheme = m_list.layout == RecordLayout::Expansion;
            first = false;
        }
        if (!offer.speed) {
            offer.speed = piece.speed();
        }
        if (!offer.departure && piece.isStation()) {
            offer.departure = piece.departureStation();
        }
    }
    return offer;
}

void TrackCommands::setChainLift(bool on)
{
    apply(ChainLiftEdit(m_list, selectedPieces(), on));
}

void TrackCommands::toggleChainLift()
{
    setChainLift(!offer().allChained);
}

void TrackCommands::setScheme(int scheme)
{
    apply(SchemeEdit(m_list, selectedPieces(), scheme));
}

void TrackCommands::setSpeed(int speed)
{
    apply(SpeedEdit(m_list, selectedPieces(), speed));
}

void TrackCommands::stepSpeed(int delta)
{
    if (const std::optional<int> speed = offer().speed) {
        setSpeed(std::clamp(*speed + delta, 0, int(PieceSpeedMask)));
    }
}

void TrackCommands::setDeparture(bool on)
{
    apply(StationBitEdit(m_list, selectedPieces(), on));
}

void TrackCommands::apply(const TrackEdit& edit)
{
    // The report first: the step's signals refresh the views that show it.
    const QString message = TrackEditMessage(m_list, edit);
    if (!edit.edits.empty()) {
        m_document.editBytes(edit.stepName, edit.edits);
    }
    emit editReported(message);
}

} // namespace railwright
