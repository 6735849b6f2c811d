#pragma once

#include "codec/track_pieces.h"

#include <QAbstractTableModel>

namespace railwright {

// The Track panel's list: one row per piece (or maze entry) with its index, name, chain
// lift, colour scheme, station or speed, and starting height in land steps.
class TrackPieceModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column
    {
        IndexColumn,
        NameColumn,
        ChainColumn,
        SchemeColumn,
        StationColumn,
        HeightColumn,
        ColumnCount,
    };

    explicit TrackPieceModel(QObject* parent = nullptr);

    // Shows `list` walked as `walk` for ride type `ride`, whose rules mark the pieces it
    // cannot build. The same number of rows only refreshes their texts, so a flag edit
    // keeps the view's selection and scroll position.
    void setTrack(const TrackList& list, const TrackWalk& walk, std::uint8_t ride);

    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation,
                                      int role) const override;

private:
    [[nodiscard]] QString pieceText(int row, int column) const;
    [[nodiscard]] QString mazeText(int row, int column) const;
    [[nodiscard]] QString pieceWarning(int row) const;

    TrackList m_list;
    TrackWalk m_walk;
    std::uint8_t m_ride = 0;
};

} // namespace railwright
