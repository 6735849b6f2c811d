#include "grid_editor.h"

#include "document/user_prompts.h"
#include "ui/grid/byte_editing.h"
#include "ui/grid/data_string_edit.h"
#include "ui/grid/grid_geometry.h"
#include "ui/grid/grid_model.h"
#include "ui/grid/grid_view.h"

#include <QClipboard>
#include <QComboBox>
#include <QEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace railwright {

namespace {

constexpr int kLabelWidthTwips = 840;
constexpr int kCharModeWidthTwips = 1365;
constexpr int kRowHeightTwips = 240;

} // namespace

struct GridEditor::Private
{
    TrackDesignDocument& document;
    UserPrompts& prompts;
    GridModel* model = nullptr;
    QLabel* label = nullptr;
    DataStringEdit* dataString = nullptr;
    QComboBox* charMode = nullptr;
    QTableView* grid = nullptr;
    TrackDesignDocument::Index pointedIndex = 0;
    TrackDesignDocument::Index selectedIndex = 0;

    [[nodiscard]] int pixels(int twips) const
    {
        return GridGeometry::twipsToPixels(twips, grid->logicalDpiX());
    }
};

GridEditor::GridEditor(TrackDesignDocument& document, UserPrompts& prompts, QWidget* parent)
    : QWidget(parent), d(new Private{document, prompts})
{
    d->model = new GridModel(document, this);

    d->label = new QLabel(u"Data String"_s, this);
    d->label->setObjectName(u"DatSrtingLabel"_s);
    d->dataString = new DataStringEdit(this);
    d->dataString->setObjectName(u"DataString"_s);
    d->label->setBuddy(d->dataString);
    d->charMode = new QComboBox(this);
    d->charMode->setObjectName(u"CharMode"_s);
    d->charMode->addItem(u"Charter"_s, int(DisplayMode::Charter));
    d->charMode->addItem(u"Decimal"_s, int(DisplayMode::Decimal));
    d->charMode->addItem(u"Hexidecimal"_s, int(DisplayMode::Hexidecimal));

    d->grid = new GridView(d->model, this);
    d->grid->setObjectName(u"Grid"_s);
    d->grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The model marks the selected byte itself, so the mark stays on that byte when
    // the rows are laid out anew and keyboard moves in the grid do not shift it.
    d->grid->setSelectionMode(QAbstractItemView::NoSelection);
    d->grid->setWordWrap(false);
    d->grid->setMouseTracking(true);
    d->grid->viewport()->setMouseTracking(true);
    d->grid->installEventFilter(this);
    d->grid->viewport()->installEventFilter(this);

    d->label->setMinimumWidth(d->pixels(kLabelWidthTwips));
    d->charMode->setMinimumWidth(d->pixels(kCharModeWidthTwips));
    d->grid->verticalHeader()->setDefaultSectionSize(
        std::max(d->pixels(kRowHeightTwips), d->grid->fontMetrics().height() + 4));

    auto* editRow = new QHBoxLayout;
    editRow->addWidget(d->label);
    editRow->addWidget(d->dataString, 1);
    editRow->addWidget(d->charMode);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(editRow);
    layout->addWidget(d->grid, 1);

    connect(d->charMode, &QComboBox::currentIndexChanged, this, &GridEditor::onDisplayModeChosen);
    connect(d->dataString, &DataStringEdit::commitRequested, this, &GridEditor::commit);
    connect(d->dataString, &DataStringEdit::keyRejected, this, [this] {
        d->prompts.tell(u"Invalid Charter Pressed"_s, u"ERROR"_s, UserPrompts::Icon::Information);
    });

    LayoutGridColumns();
    d->charMode->setCurrentIndex(d->charMode->findData(int(DisplayMode::Hexidecimal)));
}

GridEditor::~GridEditor()
{
    // The grid outlives this body by a moment (QWidget deletes it later); it must
    // not call back into the state deleted here.
    d->grid->viewport()->removeEventFilter(this);
    d->grid->removeEventFilter(this);
    delete d;
}

void GridEditor::UpdateGridData()
{
    d->model->refreshData();
}

void GridEditor::UpdateGridLabels()
{
    d->model->refreshLabels();
}

bool GridEditor::skipZeros() const
{
    return d->model->skipZeros();
}

void GridEditor::setSkipZeros(bool skip)
{
    d->model->setSkipZeros(skip);
    UpdateGridData();
    UpdateGridLabels();
}

DisplayMode GridEditor::displayMode() const
{
    return d->model->displayMode();
}

void GridEditor::setDisplayMode(DisplayMode mode)
{
    d->charMode->setCurrentIndex(d->charMode->findData(int(mode)));
}

int GridEditor::bytesPerRow() const
{
    return d->model->geometry().bytesPerRow();
}

TrackDesignDocument::Index GridEditor::pointedIndex() const
{
    return d->pointedIndex;
}

TrackDesignDocument::Index GridEditor::selectedIndex() const
{
    return d->selectedIndex;
}

QLineEdit* GridEditor::dataString() const
{
    return d->dataString;
}

QComboBox* GridEditor::charMode() const
{
    return d->charMode;
}

QTableView* GridEditor::grid() const
{
    return d->grid;
}

GridModel* GridEditor::model() const
{
    return d->model;
}

void GridEditor::cutText()
{
    QGuiApplication::clipboard()->setText(d->dataString->selectedText());
    d->dataString->clear();
}

void GridEditor::copyText()
{
    QGuiApplication::clipboard()->setText(d->dataString->selectedText());
}

void GridEditor::pasteText()
{
    // insert() replaces the selection and keeps to the box's maximum length, so a
    // paste never brings in more than one value's worth of text.
    d->dataString->insert(QGuiApplication::clipboard()->text());
}

void GridEditor::deleteText()
{
    if (d->dataString->hasSelectedText()) {
        d->dataString->del();
    }
}

bool GridEditor::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == d->grid && event->type() == QEvent::Resize) {
        LayoutGridColumns();
        UpdateGridData();
        UpdateGridLabels();
    } else if (watched == d->grid->viewport()) {
        switch (event->type()) {
        case QEvent::MouseMove:
            pointAt(static_cast<QMouseEvent*>(event)->position().toPoint());
            break;
        case QEvent::MouseButtonPress:
            // Only the mouse selects a byte; moving through the grid by keyboard
            // leaves the selection alone.
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
                selectCell(
                    d->grid->indexAt(static_cast<QMouseEvent*>(event)->position().toPoint()));
            }
            break;
        case QEvent::MouseButtonDblClick: {
            const QModelIndex cell =
                d->grid->indexAt(static_cast<QMouseEvent*>(event)->position().toPoint());
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton && cell.isValid()) {
                selectCell(cell);
                d->dataString->selectAll();
                d->dataString->setFocus(Qt::MouseFocusReason);
                // The grid has nothing to edit in place, so it need not see it.
                return true;
            }
            break;
        }
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void GridEditor::pointAt(QPoint position)
{
    const int row = d->grid->rowAt(position.y());
    if (row < 0) {
        emit statusTextsChanged(StartupStatusTexts());
        return;
    }
    // Right of the last column still points into the row's last byte.
    int column = d->grid->columnAt(position.x());
    if (column < 0) {
        column = d->model->columnCount() - 1;
    }
    d->pointedIndex = d->model->geometry().indexAt(row, column);
    emit statusTextsChanged(StatusTexts(d->document, d->pointedIndex));
}

void GridEditor::LayoutGridColumns()
{
    const double dpi = d->grid->logicalDpiX();
    const double widthTwips = GridGeometry::pixelsToTwips(d->grid->width(), dpi);
    d->model->setColumnCount(GridGeometry::columnCountForWidth(widthTwips));
    // A reset of the model gives every column the default width again.
    d->grid->horizontalHeader()->setDefaultSectionSize(d->pixels(GridGeometry::kByteColumnTwips));
    d->grid->setColumnWidth(0, d->pixels(GridGeometry::kLabelColumnTwips));
}

void GridEditor::onDisplayModeChosen(int comboIndex)
{
    if (comboIndex < 0) {
        return;
    }
    const auto mode = DisplayMode(d->charMode->itemData(comboIndex).toInt());
    d->dataString->setMaxLength(int(mode));
    d->dataString->clear();
    d->dataString->setDisplayMode(mode);
    d->model->setDisplayMode(mode);
    UpdateGridData();
}

void GridEditor::selectCell(const QModelIndex& cell)
{
    if (!cell.isValid()) {
        return;
    }
    d->pointedIndex = d->model->geometry().indexAt(cell.row(), cell.column());
    d->selectedIndex = d->pointedIndex;
    d->model->setSelectedIndex(d->selectedIndex);
    // The label column stands for the row's first byte, as the pointer does.
    const QModelIndex byteCell = cell.column() == 0 ? cell.siblingAtColumn(1) : cell;
    d->dataString->setText(byteCell.data(GridModel::EditTextRole).toString());
}

void GridEditor::commit()
{
    const CommitResult result = ParseCommitText(d->dataString->text(), displayMode());
    if (result.kind == CommitResult::Kind::Nothing) {
        return;
    }
    const auto index = d->selectedIndex;
    if (index < 0 || index >= d->document.length()) {
        d->prompts.tell(u"There is no byte at address %1 to change: the document ends at %2."_s.arg(
                            QString::number(index, 16).toUpper(),
                            QString::number(d->document.length() - 1, 16).toUpper()),
                        u"Railwright"_s, UserPrompts::Icon::Information);
        return;
    }
    if (result.kind == CommitResult::Kind::Refused) {
        d->prompts.tell(result.message, u"Railwright"_s, UserPrompts::Icon::Information);
        return;
    }
    d->document.setByte(index, result.value);
    d->dataString->clear();
}

} // namespace railwright
