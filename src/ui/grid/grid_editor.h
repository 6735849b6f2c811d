#pragma once

#include "document/track_design_document.h"

#include <QStringList>
#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QTableView;

namespace railwright {

class UserPrompts;

// How the grid and the edit box show a byte. The numbers are the modes' codes and
// also the edit box's maximum text length.
enum class DisplayMode
{
    Charter = 1,
    Hexidecimal = 2,
    Decimal = 3,
};

// The byte editor of the main window: the "Data String" label, the edit box
// `DataString`, the display-mode box `CharMode` and the byte grid `Grid`, laid out as
// one widget. It follows the document's signals and writes bytes only through the
// document's methods.
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
    [[nodiscard]] TrackDesignDocument::Index pointedIndex() const;
    [[nodiscard]] TrackDesignDocument::Index selectedIndex() const;

    [[nodiscard]] QLineEdit* dataString() const;
    [[nodiscard]] QComboBox* charMode() const;
    [[nodiscard]] QTableView* grid() const;

    // The Edit menu's commands; they act on DataString and the clipboard only.
    void cutText();
    void copyText();
    void pasteText();
    void deleteText();

signals:
    // The four status panels' texts for the byte under the mouse pointer
    // ("Adress: 1A", "Hex: 0A", "Dec: 10", "Chr: ...").
    void statusTextsChanged(const QStringList& panels);

private:
    struct Private;
    Private* d;
};

} // namespace railwright
