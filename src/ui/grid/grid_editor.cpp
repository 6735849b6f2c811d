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
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>

using namespace Qt::StringLiterals;

namespace railwright {

namespace {

constexpr int LabelWidthTwips = 840;
constexpr int CharModeWidthTwips = 1365;
constexpr int RowHeightTwips = 240;

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
    QString typed = {}; // digits typed into the grid for the selected byte, not yet stored

    // The last byte the keys reach: every byte the grid has a cell for (the hidden
    // trailing zeros of the last row too), none past the end.
    [[nodiscard]] TrackDesignDocument::Index lastNavigable() const
    {
        const GridGeometry& geometry = model->geometry();
        return std::min(document.length(), geometry.rowCount() * geometry.bytesPerRow()) - 1;
    }

    [[nodiscard]] int pixels(int twips) const
    {
        return GridGeometry::twipsToPixels(twips, grid->logicalDpiX());
    }
};

GridEditor::GridEditor(TrackDesignDocument& document, UserPrompts& prompts, QWidget* parent)
    : QWidget(parent), d(std::make_unique<Private>(document, prompts))
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
    // The grid answers the keys itself; its own current item would be a second cursor.
    d->grid->setTabKeyNavigation(false);
    d->grid->setMouseTracking(true);
    d->grid->viewport()->setMouseTracking(true);
    d->grid->installEventFilter(this);
    d->grid->viewport()->installEventFilter(this);

    d->label->setMinimumWidth(d->pixels(LabelWidthTwips));
    d->charMode->setMinimumWidth(d->pixels(CharModeWidthTwips));
    d->grid->verticalHeader()->setDefaultSectionSize(
        std::max(d->pixels(RowHeightTwips), d->grid->fontMetrics().height() + 4));

    auto* editRow = new QHBoxLayout;
    editRow->addWidget(d->label);
    editRow->addWidget(d->dataString, 1);
    editRow->addWidget(d->charMode);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(editRow);
    layout->addWidget(d->grid, 1);

    connect(d->charMode, &QComboBox::currentIndexChanged, this, &GridEditor::onDisplayModeChosen);
    connect(&document.selection(), &ByteSelection::currentChanged, this,
            &GridEditor::showSelectedByte);
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
    return d->document.selection().current();
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
    if (watched == d->grid && event->type() == QEvent::KeyPress &&
        handleGridKey(*static_cast<QKeyEvent*>(event))) {
        return true;
    }
    // Ctrl+Z drops pending typing before the Undo item sees it; Shift and AltGr type.
    if (watched == d->grid && event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers typingModifiers =
            key->modifiers() & ~(Qt::KeypadModifier | Qt::GroupSwitchModifier | Qt::ShiftModifier);
        if ((key->matches(QKeySequence::Undo) && !d->typed.isEmpty()) ||
            (key->text().size() == 1 && key->text().at(0).isPrint() &&
             typingModifiers == (Qt::ControlModifier | Qt::AltModifier))) {
            event->accept();
            return true;
        }
    }
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
    d->grid->horizontalHeader()->setDefaultSectionSize(d->pixels(GridGeometry::ByteColumnTwips));
    d->grid->setColumnWidth(0, d->pixels(GridGeometry::LabelColumnTwips));
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
    // The label column stands for the row's first byte, as the pointer does.
    d->pointedIndex = d->model->geometry().indexAt(cell.row(), cell.column());
    selectIndex(d->pointedIndex);
}

void GridEditor::selectIndex(TrackDesignDocument::Index index)
{
    d->document.selection().selectByte(
        std::clamp<TrackDesignDocument::Index>(index, 0, d->document.length() - 1));
}

void GridEditor::showSelectedByte(TrackDesignDocument::Index index)
{
    d->typed.clear();
    const GridGeometry& geometry = d->model->geometry();
    const bool shown = index < geometry.shownBytes();
    d->dataString->setText(shown ? CellEditText(d->document, index, displayMode()) : QString());
    if (geometry.rowOf(index) < d->model->rowCount()) {
        d->grid->scrollTo(d->model->index(int(geometry.rowOf(index)), geometry.columnOf(index)));
    }
}

void GridEditor::goToAddress()
{
    const QString text = d->prompts.askText(
        u"Address of the byte (decimal, or hexadecimal as 0x1A or 1Ah):"_s, u"Go to Address"_s);
    if (text.isEmpty()) {
        return;
    }
    const std::optional<TrackDesignDocument::Index> address = ParseAddress(text);
    if (!address) {
        d->prompts.tell(u"\"%1\" is not an address: type a decimal number such as 26, or a "
                        "hexadecimal one such as 0x1A or 1Ah."_s.arg(text),
                        u"Railwright"_s, UserPrompts::Icon::Information);
        return;
    }
    if (*address >= d->document.length()) {
        // In the base the user typed.
        const bool hexadecimal = IsHexadecimalAddress(text);
        d->prompts.tell(u"There is no byte at address %1: the document ends at %2."_s.arg(
                            AddressText(*address, hexadecimal),
                            AddressText(d->document.length() - 1, hexadecimal)),
                        u"Railwright"_s, UserPrompts::Icon::Information);
        return;
    }
    // A byte hidden by "Skip Zero's" is shown with its row before it is selected, so typing
    // never edits a byte the user cannot see.
    d->model->revealBytes(*address + 1);
    // The new rows count for the scroll range before the view scrolls to one of them.
    d->grid->doItemsLayout();
    selectIndex(*address);
    d->grid->setFocus(Qt::ShortcutFocusReason);
}

bool GridEditor::handleGridKey(const QKeyEvent& key)
{
    const Qt::KeyboardModifiers modifiers =
        key.modifiers() & ~(Qt::KeypadModifier | Qt::GroupSwitchModifier);
    // Shift gives capital letters and symbols, AltGr (Ctrl+Alt on Windows) more symbols:
    // these keys type, they are no commands.
    const Qt::KeyboardModifiers typingModifiers = modifiers & ~Qt::ShiftModifier;
    if (key.text().size() == 1 && key.text().at(0).isPrint() &&
        (typingModifiers == Qt::NoModifier ||
         typingModifiers == (Qt::ControlModifier | Qt::AltModifier))) {
        typeIntoGrid(key.text());
        return true;
    }
    const bool ctrl = modifiers == Qt::ControlModifier;
    if (ctrl && key.matches(QKeySequence::Undo) && !d->typed.isEmpty()) {
        // Typing not yet stored is dropped before any document step is undone.
        selectIndex(selectedIndex());
        return true;
    }
    if (modifiers != Qt::NoModifier && !ctrl) {
        return false;
    }
    std::optional<GridMove> move;
    switch (key.key()) {
    case Qt::Key_Left:
        move = GridMove::Left;
        break;
    case Qt::Key_Right:
        move = GridMove::Right;
        break;
    case Qt::Key_Up:
        move = GridMove::Up;
        break;
    case Qt::Key_Down:
        move = GridMove::Down;
        break;
    case Qt::Key_PageUp:
        move = GridMove::PageUp;
        break;
    case Qt::Key_PageDown:
        move = GridMove::PageDown;
        break;
    case Qt::Key_Home:
        move = ctrl ? GridMove::First : GridMove::RowStart;
        break;
    case Qt::Key_End:
        move = ctrl ? GridMove::Last : GridMove::RowEnd;
        break;
    default:
        break;
    }
    if (move) {
        const int rowHeight = std::max(1, d->grid->verticalHeader()->defaultSectionSize());
        const int pageRows = std::max(1, d->grid->viewport()->height() / rowHeight - 1);
        selectIndex(
            d->model->geometry().moved(selectedIndex(), *move, pageRows, d->lastNavigable()));
        return true;
    }
    if (ctrl) {
        return false;
    }
    switch (key.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        storeTyped(d->typed);
        return true;
    case Qt::Key_Backspace:
        d->typed.chop(1);
        d->dataString->setText(d->typed);
        return true;
    case Qt::Key_Escape:
        selectIndex(selectedIndex());
        return true;
    default:
        break;
    }
    if (key.text().size() != 1 || key.text().at(0).unicode() < 0x20) {
        return false;
    }
    typeIntoGrid(key.text());
    return true;
}

void GridEditor::typeIntoGrid(const QString& text)
{
    const DisplayMode mode = displayMode();
    const char16_t accepted = FilterEditKey(text.at(0).unicode(), mode);
    if (accepted == 0) {
        return;
    }
    if (mode == DisplayMode::Charter) {
        storeTyped(text);
        return;
    }
    // A digit past the mode's width starts the value again.
    if (d->typed.size() >= int(mode)) {
        d->typed.clear();
    }
    d->typed += QChar(accepted);
    d->dataString->setText(d->typed);
    if (mode == DisplayMode::Hexidecimal && d->typed.size() == 2) {
        storeTyped(d->typed);
    }
}

void GridEditor::storeTyped(const QString& text)
{
    const CommitResult result = ParseCommitText(text, displayMode());
    if (result.kind == CommitResult::Kind::Nothing) {
        return;
    }
    if (result.kind == CommitResult::Kind::Refused) {
        d->typed.clear();
        d->prompts.tell(result.message, u"Railwright"_s, UserPrompts::Icon::Information);
        return;
    }
    const auto index = selectedIndex();
    if (d->document.setByte(index, result.value)) {
        selectIndex(std::min(index + 1, std::max(d->lastNavigable(), index)));
    }
}

void GridEditor::commit()
{
    const CommitResult result = ParseCommitText(d->dataString->text(), displayMode());
    if (result.kind == CommitResult::Kind::Nothing) {
        return;
    }
    const auto index = selectedIndex();
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
