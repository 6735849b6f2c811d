#pragma once

#include "document/track_design_document.h"
#include "ui/grid/display_mode.h"

#include <QPoint>
#include <QStringList>
#include <QWidget>
#include <memory>

class QComboBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QModelIndex;
class QTableView;

namespace railwright {

class GridModel;
class UserPrompts;

// The byte editor of the main window: the "Data String" label, the edit box
// `DataString`, the display-mode box `CharMode` and the byte grid `Grid`, laid out as
// one widget. It follows the document's signals and writes bytes only through the
// document's methods. Enter in `DataString` stores its text into the selected byte;
// a refused key or value, or a selected byte past the end, is told through
// UserPrompts and changes nothing (the typed text stays for correction).
//
// In the grid, as in hex editors, the arrow keys, Page Up/Down and Home/End (with Ctrl:
// the first and last byte) move the selected byte, and typing overwrites it as one
// undoable step and selects the next: two hexadecimal digits (Hexidecimal), up to three
// decimal digits and Enter (Decimal), or one character (Charter). The digits typed so
// far show in `DataString`.
class GridEditor : public QWidget
{
    Q_OBJECT

public:
    GridEditor(TrackDesignDocument& document, UserPrompts& prompts, QWidget* parent = nullptr);
    ~GridEditor() override;

    // Refills every byte cell (and the row count) from the document.
    void UpdateGridData();
    // Rewrites the row labels.
    void UpdateGridLabels();

    [[nodiscard]] bool skipZeros() const;
    void setSkipZeros(bool skip); // refreshes data and labels

    [[nodiscard]] DisplayMode displayMode() const;
    void setDisplayMode(DisplayMode mode); // as if chosen in CharMode

    [[nodiscard]] int bytesPerRow() const; // P, at least 4
    // The byte under the mouse pointer (it may lie past the end); 0 at start.
    [[nodiscard]] TrackDesignDocument::Index pointedIndex() const;
    // The byte the next Enter in DataString writes: the document's selected byte, set by
    // clicking a cell, by the keyboard in the grid, by selectIndex or by any other view
    // of the selection; 0 at start. Whoever selects it, the grid scrolls it into view.
    [[nodiscard]] TrackDesignDocument::Index selectedIndex() const;
    // Selects byte `index` (clamped into the document).
    void selectIndex(TrackDesignDocument::Index index);
    // "Go to Address...": asks for an address and selects that byte; text that is no
    // address, or an address past the end, is told and selects nothing.
    void goToAddress();

    [[nodiscard]] QLineEdit* dataString() const;
    [[nodiscard]] QComboBox* charMode() const;
    [[nodiscard]] QTableView* grid() const;
    [[nodiscard]] GridModel* model() const; // the grid's table model

    // The Edit menu's commands; they act on DataString and the clipboard only.
    void cutText();
    void copyText();
    void pasteText();
    void deleteText();

signals:
    // The four status panels' texts for the byte under the mouse pointer
    // ("Adress: 1A", "Hex: 0A", "Dec: 10", "Chr: ..."); over no row of the grid the
    // start-up texts ("Adress: 0", "Hex: 0", "Dec: 0", "Chr: 0"). The selected byte the
    // status bar reads from the document's selection itself.
    void statusTextsChanged(const QStringList& panels);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void LayoutGridColumns();
    void onDisplayModeChosen(int comboIndex);
    void pointAt(QPoint position);
    void selectCell(const QModelIndex& cell);
    void showSelectedByte(TrackDesignDocument::Index index);
    void commit();
    bool handleGridKey(const QKeyEvent& key);
    void typeIntoGrid(const QString& text);
    void storeTyped(const QString& text);

    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace railwright
