#pragma once

#include "document/track_design_document.h"

#include <QList>
#include <QObject>

class QLabel;
class QStatusBar;

namespace railwright {

class DocumentController;
class GridEditor;
class TrackCommands;

// The main window's status bar, reading each thing where it lives: panels 1-4 show the
// byte under the grid's pointer, or the document's selected byte once one is chosen
// ("Adress: 1A", "Hex: 0A", "Dec: 10", "Chr: ..."), and follow that byte's value
// through edits, undo and replaced bytes; panel 5 says what the last track edit did and
// which selected pieces it skipped; the last one shows the file's health and the field
// of the selected byte.
class StatusPanels : public QObject
{
    Q_OBJECT

public:
    StatusPanels(QStatusBar& bar, TrackDesignDocument& document, GridEditor& grid,
                 DocumentController& controller, TrackCommands& commands);

private:
    void showTexts(const QStringList& texts);
    void showSelectedByte();
    void showHealth();

    TrackDesignDocument& m_document;
    DocumentController& m_controller;
    QList<QLabel*> m_panels;
    QLabel* m_health = nullptr;
    bool m_showingSelection = false; // panels 1-4 show the selected byte, not the pointed one
};

} // namespace railwright
