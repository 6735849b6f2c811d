#include "track_piece_model.h"

#include "rules/ride_rules.h"

#include <QApplication>
#include <QStyle>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace railwright {

TrackPieceModel::TrackPieceModel(QObject* parent) : QAbstractTableModel(parent) {}

void TrackPieceModel::setTrack(const TrackList& list, const TrackWalk& walk, std::uint8_t ride)
{
    const int oldRows = rowCount();
    const bool sameShape = list.maze == m_list.maze;
    // A colour or train edit reads the track anew but leaves every row as it was: the
    // list need not repaint (nor measure its columns again) for it.
    const bool samePieces =
        std::equal(list.pieces.begin(), list.pieces.end(), m_list.pieces.begin(),
                   m_list.pieces.end(),
                   [](const TrackPiece& a, const TrackPiece& b) {
                       return a.offset == b.offset && a.code == b.code && a.flags == b.flags;
                   }) &&
        std::equal(list.mazeEntries.begin(), list.mazeEntries.end(), m_list.mazeEntries.begin(),
                   m_list.mazeEntries.end(), [](const MazeEntry& a, const MazeEntry& b) {
                       return a.offset == b.offset && a.x == b.x && a.y == b.y &&
                              a.walls == b.walls && a.kind == b.kind && a.direction == b.direction;
                   });
    if (sameShape && samePieces && ride == m_ride && list.layout == m_list.layout &&
        list.endMarker == m_list.endMarker) {
        return;
    }
    m_list = list;
    m_walk = walk;
    m_ride = ride;
    if (sameShape && rowCount() == oldRows) {
        if (oldRows > 0) {
            emit dataChanged(index(0, 0), index(oldRows - 1, ColumnCount - 1));
        }
        return;
    }
    beginResetModel();
    endResetModel();
}

int TrackPieceModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid()) {
        return 0;
    }
    return int(m_list.maze ? m_list.mazeEntries.size() : m_list.pieces.size());
}

int TrackPieceModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TrackPieceModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return m_list.maze ? mazeText(index.row(), index.column())
                           : pieceText(index.row(), index.column());
    }
    if (!m_list.maze && index.column() == NameColumn &&
        (role == Qt::DecorationRole || role == Qt::ToolTipRole)) {
        const QString why = pieceWarning(index.row());
        if (why.isEmpty()) {
            return {};
        }
        if (role == Qt::ToolTipRole) {
            return why;
        }
        return QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
    }
    if (role == Qt::TextAlignmentRole &&
        (index.column() == IndexColumn || index.column() == HeightColumn)) {
        return int(Qt::AlignRight | Qt::AlignVCenter);
    }
    return {};
}

QString TrackPieceModel::pieceText(int row, int column) const
{
    const TrackPiece& piece = m_list.pieces[std::size_t(row)];
    switch (column) {
    case IndexColumn:
        return QString::number(row);
    case NameColumn:
        return QString::fromStdString(TrackPieceName(piece.code));
    case ChainColumn:
        return piece.chainLift() ? u"Chain"_s : QString();
    case SchemeColumn:
        return QString::number(piece.scheme());
    case StationColumn:
        if (const auto station = piece.station()) {
            return u"Station %1%2"_s.arg(*station).arg(piece.departureStation() ? u", departure"_s
                                                                                : QString());
        }
        if (const auto speed = piece.speed()) {
            return u"Speed %1"_s.arg(*speed);
        }
        return {};
    case HeightColumn: {
        // Land steps, as the game counts height.
        const int z = m_walk.starts[std::size_t(row)].z;
        return QString::number(double(z) / LandStepUnits, 'g', 4);
    }
    default:
        return {};
    }
}

QString TrackPieceModel::pieceWarning(int row) const
{
    const TrackPiece& piece = m_list.pieces[std::size_t(row)];
    return rules::PieceWarning(m_ride, piece.code, piece.flags);
}

QString TrackPieceModel::mazeText(int row, int column) const
{
    const MazeEntry& entry = m_list.mazeEntries[std::size_t(row)];
    switch (column) {
    case IndexColumn:
        return QString::number(row);
    case NameColumn:
        return entry.kind == MazeEntryKind::Entrance ? u"Entrance"_s
               : entry.kind == MazeEntryKind::Exit
                   ? u"Exit"_s
                   : u"Maze tile %1, %2"_s.arg(entry.x).arg(entry.y);
    default:
        return {};
    }
}

QVariant TrackPieceModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    static const char* const Titles[] = {"#",      "Piece",           "Chain",
                                         "Scheme", "Station / Speed", "Height"};
    return section >= 0 && section < ColumnCount ? QString::fromLatin1(Titles[section])
                                                 : QVariant();
}

} // namespace railwright
