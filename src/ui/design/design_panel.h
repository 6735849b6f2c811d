#pragma once

#include "codec/byte_buffer.h"
#include "codec/code_table_format.h"
#include "codec/record_fields.h"
#include "document/track_design_document.h"
#include "ui/settings/color_picker.h"

#include <QHash>
#include <QPixmap>
#include <QWidget>
#include <functional>
#include <vector>

class QComboBox;
class QGridLayout;
class QLabel;
class QScrollArea;
class QSpinBox;
class QStackedWidget;

namespace railwright {

class PaletteSwatchButton;

// The "Design" panel beside the grid: the decoded record's fields by name, in groups
// (ride, colours, operation, statistics, layout), with units and palette colours, and a
// warning mark beside values the game does not expect. While the document is not a
// decoded record it shows only a hint.
//
// It keeps no copy of the record: it reads the document when the document says what
// changed (only the fields in a changed range are read again) and writes each change
// through the document's field writer (setField), which keeps the field's rule and names
// the step. Each row's label, range and warning come from its FieldRow. It keeps no
// selection of its own: a row clicked or focused selects its field's bytes in the
// document's ByteSelection, and the row holding the selected byte is marked; the field
// pointed at is highlighted. Its widgets are built once.
class DesignPanel : public QWidget
{
    Q_OBJECT

public:
    // `tables` must outlive the panel and be filled before it is made. Without a picker,
    // colours are picked in the "Colors" dialog; only "Ok" applies a colour.
    DesignPanel(TrackDesignDocument& document, const CodeTables& tables, ColorPicker picker = {},
                QWidget* parent = nullptr);
    ~DesignPanel() override;

    // The key of the marked field, the one the document's selected byte belongs to (a
    // click or focus in a row selects its field's bytes) ("trains"); empty when none is.
    [[nodiscard]] QString selectedField() const;

    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSizeHint() const override;

signals:
    // The hint's "Decode" button was pressed (shown while the document holds a file).
    void decodeRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // Shows the record's value in a row's widgets (their signals blocked) and returns
    // the warning to show beside it, empty for none.
    using Show = std::function<QString(ByteView record)>;

    struct Row
    {
        const record::FieldDescription* field = nullptr; // nullptr: a fact of the record
        QLabel* caption = nullptr;                       // marked while the row is selected
        QLabel* warning = nullptr;
        std::size_t watchFirst = 0; // a change of these bytes reads the row again
        std::size_t watchLast = 0;
        Show show;
    };

    void buildRideGroup();
    void buildColourGroup();
    void buildOperationGroup();
    void buildStatisticsGroup();
    void buildLayoutGroup();
    // A new group; the rows added next go into its grid.
    QGridLayout* addGroup(const QString& title);
    QLabel* addCaption(QGridLayout* grid, int gridRow, const QString& text);
    QLabel* makeWarning();
    int addRow(Row row, std::initializer_list<QWidget*> targets);
    // A row of the current group: caption, editor and warning mark; a wide editor goes
    // below its caption.
    int addFieldRow(const record::FieldDescription& field, QWidget* editor, Show show,
                    bool editorBelow = false);
    void makeCodeCombo(const record::FieldDescription& field, const CodeTable& table);
    QSpinBox* makeSpinBox(const record::FieldDescription& field);
    QWidget* makeSwatch(const record::FieldDescription& field, QLabel* caption);
    QWidget* makeDepartureControl();

    void showDocument();
    void refreshBytes(TrackDesignDocument::Index first, TrackDesignDocument::Index last);
    void refreshRow(int row, ByteView record);
    void setHover(int row);
    // Selects the row's field's bytes in the document's selection.
    void selectRow(int row);
    // The row of the field the document's selected byte belongs to, once the user has
    // chosen one; -1 for none.
    [[nodiscard]] int markedRow() const;
    // Marks the row of the document's selected byte and scrolls it into view without
    // taking the keyboard focus.
    void followSelection();
    // Highlights the bytes of the field under the mouse pointer, else of the marked
    // field, in the document's selection.
    void announceHighlight();

    void pickColour(const record::FieldDescription& field);

    TrackDesignDocument& m_document;
    const CodeTables& m_tables;
    ColorPicker m_picker;

    QStackedWidget* m_pages = nullptr;
    QWidget* m_decodeButton = nullptr;
    QScrollArea* m_scroll = nullptr;
    QWidget* m_content = nullptr;
    QGridLayout* m_grid = nullptr; // the group being built
    std::vector<Row> m_rows;
    QHash<QObject*, int> m_rowOf; // widget -> row it belongs to
    std::vector<QWidget*> m_baseTrackWidgets;
    std::vector<QWidget*> m_schemeTrackWidgets;
    QPixmap m_warningPicture;
    int m_hoverRow = -1;
};

} // namespace railwright
