#include "grid_model.h"

#include "ui/grid/byte_editing.h"

#include <QBrush>
#include <QPalette>
#include <algorithm>
#include <limits>

namespace railwright {

namespace {

// Item views count rows in int; a document of at most 65,000 bytes stays far below.
int clampToInt(qsizetype value)
{
    return int(std::min<qsizetype>(value, std::numeric_limits<int>::max()));
}

} // namespace

GridModel::GridModel(TrackDesignDocument& document, QObject* parent)
    : QAbstractTableModel(parent), m_document(document)
{
    m_geometry = GridGeometry(GridGeometry::MinimumColumns, shownByteCount());
    connect(&m_document, &TrackDesignDocument::bytesChanged, this, &GridModel::onBytesChanged);
    connect(&m_document, &TrackDesignDocument::contentsReplaced, this, [this] {
        m_revealedBytes = 0;
        refreshData();
        refreshLabels();
    });
    const ByteSelection& selection = m_document.selection();
    connect(&selection, &ByteSelection::currentChanged, this,
            [this](TrackDesignDocument::Index current, TrackDesignDocument::Index previous) {
                announceByte(previous);
                announceByte(current);
            });
    connect(&selection, &ByteSelection::highlightChanged, this,
            [this](TrackDesignDocument::Index first, TrackDesignDocument::Index last,
                   TrackDesignDocument::Index oldFirst, TrackDesignDocument::Index oldLast) {
                announceBytes(oldFirst, oldLast);
                announceBytes(first, last);
            });
}

int GridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : clampToInt(m_geometry.rowCount());
}

int GridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_geometry.columnCount();
}

QVariant GridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid()) {
        return {};
    }
    const bool isLabel = index.column() == 0;
    const auto byteIndex = m_geometry.indexAt(index.row(), index.column());
    const bool shown = !isLabel && byteIndex < m_geometry.shownBytes();
    switch (role) {
    case Qt::DisplayRole:
        if (isLabel) {
            return m_geometry.rowLabel(index.row());
        }
        return shown ? CellDisplayText(m_document, byteIndex, m_mode) : QString();
    case EditTextRole:
        if (isLabel) {
            return m_geometry.rowLabel(index.row());
        }
        return shown ? CellEditText(m_document, byteIndex, m_mode) : QString();
    case ByteIndexRole:
        return isLabel ? qsizetype(-1) : byteIndex;
    case Qt::TextAlignmentRole:
        return isLabel ? int(Qt::AlignLeft | Qt::AlignTop) : int(Qt::AlignCenter);
    case Qt::BackgroundRole:
        // The label column looks like a fixed header column.
        if (isLabel) {
            return QPalette().brush(QPalette::Button);
        }
        if (byteIndex == selectedIndex()) {
            return QPalette().brush(QPalette::Highlight);
        }
        return isTinted(byteIndex) ? QVariant(QBrush(tintColor())) : QVariant();
    case Qt::ForegroundRole:
        return !isLabel && byteIndex == selectedIndex()
                   ? QVariant(QPalette().brush(QPalette::HighlightedText))
                   : QVariant();
    default:
        return {};
    }
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const
{
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    // Bytes change only through the edit box, never by editing a cell in place.
    return index.column() == 0 ? Qt::ItemIsEnabled : Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

void GridModel::setDisplayMode(DisplayMode mode)
{
    m_mode = mode;
    refreshData();
}

void GridModel::setSkipZeros(bool skip)
{
    m_skipZeros = skip;
    refreshData();
    refreshLabels();
}

TrackDesignDocument::Index GridModel::shownByteCount() const
{
    const auto length = m_document.length();
    return std::max(length - CountTrailingZeros(m_document, m_skipZeros),
                    std::min(m_revealedBytes, length));
}

void GridModel::revealBytes(TrackDesignDocument::Index count)
{
    if (count <= m_geometry.shownBytes()) {
        return;
    }
    m_revealedBytes = count;
    refreshShape(m_geometry.columnCount());
    refreshLabels();
    if (rowCount() > 0) {
        emit dataChanged(index(0, 1), index(rowCount() - 1, columnCount() - 1));
    }
}

void GridModel::setColumnCount(int columnCount)
{
    refreshShape(std::max(GridGeometry::MinimumColumns, columnCount));
    refreshLabels();
}

QColor GridModel::tintColor()
{
    const QPalette palette;
    const QColor base = palette.color(QPalette::Base);
    const QColor mark = palette.color(QPalette::Highlight);
    // A third of the way to the highlight: the text stays easy to read on it.
    const auto mix = [](int from, int to) { return from + (to - from) / 3; };
    return QColor(mix(base.red(), mark.red()), mix(base.green(), mark.green()),
                  mix(base.blue(), mark.blue()));
}

void GridModel::announceBytes(TrackDesignDocument::Index first, TrackDesignDocument::Index last)
{
    if (first < 0 || last < first || rowCount() == 0) {
        return;
    }
    const int lastRow = clampToInt(std::min<qsizetype>(m_geometry.rowOf(last), rowCount() - 1));
    const int firstRow = clampToInt(m_geometry.rowOf(first));
    if (firstRow <= lastRow) {
        emit dataChanged(index(firstRow, 1), index(lastRow, columnCount() - 1));
    }
}

void GridModel::announceByte(TrackDesignDocument::Index index)
{
    const auto row = m_geometry.rowOf(index);
    if (index >= 0 && row < rowCount()) {
        const QModelIndex cell = this->index(int(row), m_geometry.columnOf(index));
        emit dataChanged(cell, cell);
    }
}

void GridModel::refreshData()
{
    refreshShape(m_geometry.columnCount());
    if (rowCount() > 0 && columnCount() > 1) {
        emit dataChanged(index(0, 1), index(rowCount() - 1, columnCount() - 1));
    }
}

void GridModel::refreshLabels()
{
    if (rowCount() > 0) {
        emit dataChanged(index(0, 0), index(rowCount() - 1, 0));
    }
}

void GridModel::refreshShape(int columnCount)
{
    const GridGeometry next(columnCount, shownByteCount());
    if (next.columnCount() != m_geometry.columnCount()) {
        beginResetModel();
        m_geometry = next;
        endResetModel();
        return;
    }
    const int oldRows = clampToInt(m_geometry.rowCount());
    const int newRows = clampToInt(next.rowCount());
    if (newRows > oldRows) {
        beginInsertRows(QModelIndex(), oldRows, newRows - 1);
        m_geometry = next;
        endInsertRows();
    } else if (newRows < oldRows) {
        beginRemoveRows(QModelIndex(), newRows, oldRows - 1);
        m_geometry = next;
        endRemoveRows();
    } else {
        m_geometry = next;
    }
}

void GridModel::onBytesChanged(TrackDesignDocument::Index first, TrackDesignDocument::Index last)
{
    const int rowsBefore = rowCount();
    const auto shownBefore = m_geometry.shownBytes();
    refreshShape(m_geometry.columnCount());
    if (rowCount() == 0) {
        return;
    }
    // A change near the end can hide or show trailing zeros; then every cell from the
    // first affected byte onwards may have changed.
    if (m_geometry.shownBytes() != shownBefore || rowCount() != rowsBefore) {
        last = std::max(last, std::max(shownBefore, m_geometry.shownBytes()));
    }
    const int lastRow = clampToInt(std::min<qsizetype>(m_geometry.rowOf(last), rowCount() - 1));
    const int firstRow = clampToInt(std::min<qsizetype>(m_geometry.rowOf(first), lastRow));
    emit dataChanged(index(firstRow, 1), index(lastRow, columnCount() - 1));
}

} // namespace railwright
