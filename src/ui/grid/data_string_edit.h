#pragma once

#include "ui/grid/display_mode.h"

#include <QLineEdit>

namespace railwright {

// The edit box `DataString`: runs FilterEditKey on every key that types a character
// and turns Enter into commitRequested() instead of handling it. Editing keys
// (arrows, Home, End, Delete, Tab, shortcuts) pass unfiltered. Undo and Redo act on the
// typed text while there is some; in an empty box they go to the window's Undo and Redo,
// which step through the document's history.
class DataStringEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit DataStringEdit(QWidget* parent = nullptr);

    void setDisplayMode(DisplayMode mode) { m_mode = mode; }

signals:
    // Enter was pressed; the key itself is consumed.
    void commitRequested();
    // The filter refused a key; the key was dropped.
    void keyRejected();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    DisplayMode m_mode = DisplayMode::Hexidecimal;
};

} // namespace railwright
