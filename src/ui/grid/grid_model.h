#pragma once

#include "document/track_design_document.h"
#include "ui/grid/display_mode.h"
#include "ui/grid/grid_geometry.h"

#include <QAbstractTableModel>
#include <QColor>

namespace railwright {

// The document's bytes as a table: column 0 holds the row labels, columns 1 to P the
// bytes. Texts are made on demand, so a refresh costs the same for any document
// length; the model follows the document's signals by itself.
class GridModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    // The text a click puts into the edit box (the byte's own character in Charter
    // mode, where the display shows control characters as pictures).
    static constexpr int EditTextRole = Qt::UserRole + 1;
    // The byte index a cell shows (qsizetype), or -1 for the label column.
    static constexpr int ByteIndexRole = Qt::UserRole + 2;

    explicit GridModel(TrackDesignDocument& document, QObject* parent = nullptr);

    [[nodiscard]] int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    [[nodiscard]] int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] Qt::ItemFlags flags(const QModelIndex& index) const override;

    [[nodiscard]] const GridGeometry& geometry() const { return m_geometry; }
    [[nodiscard]] DisplayMode displayMode() const { return m_mode; }
    [[nodiscard]] bool skipZeros() const { return m_skipZeros; }
    // The document's selected byte, drawn highlighted wherever the layout puts it.
    [[nodiscard]] TrackDesignDocument::Index selectedIndex() const
    {
        return m_document.selection().current();
    }
    [[nodiscard]] const TrackDesignDocument& document() const { return m_document; }

    // These take effect at once (rows and cells are re-announced to the views).
    void setDisplayMode(DisplayMode mode);
    void setSkipZeros(bool skip);
    // Shows at least the first `count` bytes, trailing zeros or not, until the contents are
    // replaced (Go to Address on a hidden byte).
    void revealBytes(TrackDesignDocument::Index count);
    void setColumnCount(int columnCount);
    // The document's highlighted bytes (the field a panel points at) are drawn on a tint.
    [[nodiscard]] bool isTinted(TrackDesignDocument::Index index) const
    {
        return m_document.selection().isHighlighted(index);
    }
    // The tint: the palette's highlight colour faintly over the base colour.
    [[nodiscard]] static QColor tintColor();

    // Re-reads the shown length and announces every byte cell as changed.
    void refreshData();
    // Announces every row label as changed.
    void refreshLabels();

private:
    // Brings the row count and column count in line with the document and settings.
    void refreshShape(int columnCount);
    [[nodiscard]] TrackDesignDocument::Index shownByteCount() const;
    void onBytesChanged(TrackDesignDocument::Index first, TrackDesignDocument::Index last);
    void announceByte(TrackDesignDocument::Index index);
    void announceBytes(TrackDesignDocument::Index first, TrackDesignDocument::Index last);

    TrackDesignDocument& m_document;
    GridGeometry m_geometry;
    DisplayMode m_mode = DisplayMode::Hexidecimal;
    bool m_skipZeros = true;
    TrackDesignDocument::Index m_revealedBytes = 0;
};

} // namespace railwright
