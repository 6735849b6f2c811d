#include "status_panels.h"

#include "document/document_controller.h"
#include "ui/grid/byte_editing.h"
#include "ui/grid/grid_editor.h"
#include "ui/track/track_commands.h"

#include <QLabel>
#include <QStatusBar>

using namespace Qt::StringLiterals;

namespace railwright {

StatusPanels::StatusPanels(QStatusBar& bar, TrackDesignDocument& document, GridEditor& grid,
                           DocumentController& controller, TrackCommands& commands)
    : QObject(&bar), m_document(document), m_controller(controller)
{
    bar.setObjectName(u"StatusBar"_s);
    QStringList startTexts = StartupStatusTexts();
    startTexts.append(QString());
    // Each panel is as wide as the widest text it shows, so the file-health field keeps
    // its room in a narrow window; the last panel, for the track edits' reports, takes
    // what is left.
    const QStringList widestTexts = {u"Adress: FFFFF"_s, u"Hex: FF"_s, u"Dec: 255"_s, u"Chr: W"_s,
                                     QString()};
    for (qsizetype i = 0; i < startTexts.size(); ++i) {
        auto* panel = new QLabel(startTexts.at(i), &bar);
        panel->setObjectName(u"StatusPanel%1"_s.arg(i + 1));
        panel->setFrameShape(QFrame::StyledPanel);
        panel->setFrameShadow(QFrame::Sunken);
        const QString& widest = widestTexts.at(i);
        panel->setMinimumWidth(widest.isEmpty() ? 0
                                                : panel->fontMetrics().horizontalAdvance(widest) +
                                                      2 * panel->frameWidth() + 8);
        bar.addWidget(panel, widest.isEmpty() ? 1 : 0);
        m_panels.append(panel);
    }
    m_health = new QLabel(&bar);
    m_health->setObjectName(u"FileHealth"_s);
    m_health->setFrameShape(QFrame::StyledPanel);
    m_health->setFrameShadow(QFrame::Sunken);
    bar.addPermanentWidget(m_health);

    // The pointer's byte comes from the grid, which alone knows where the pointer is.
    connect(&grid, &GridEditor::statusTextsChanged, this, [this](const QStringList& texts) {
        m_showingSelection = false;
        showTexts(texts);
    });
    const ByteSelection& selection = m_document.selection();
    connect(&selection, &ByteSelection::currentChanged, this, [this] {
        m_showingSelection = true;
        showSelectedByte();
        showHealth();
    });
    // An edit or an undo of the byte shown; replaced bytes reset the selection first.
    connect(&m_document, &TrackDesignDocument::bytesChanged, this,
            [this](TrackDesignDocument::Index first, TrackDesignDocument::Index last) {
                const auto current = m_document.selection().current();
                if (m_showingSelection && current >= first && current <= last) {
                    showSelectedByte();
                }
            });
    connect(&m_document, &TrackDesignDocument::contentsReplaced, this,
            [this] { m_panels.last()->clear(); });
    connect(&commands, &TrackCommands::editReported, m_panels.last(), &QLabel::setText);
    connect(&m_controller, &DocumentController::healthChanged, this, &StatusPanels::showHealth);
    connect(&m_document, &TrackDesignDocument::kindChanged, this, &StatusPanels::showHealth);
}

void StatusPanels::showTexts(const QStringList& texts)
{
    for (qsizetype i = 0; i < texts.size() && i + 1 < m_panels.size(); ++i) {
        m_panels.at(i)->setText(texts.at(i));
    }
}

void StatusPanels::showSelectedByte()
{
    const auto index = m_document.selection().current();
    showTexts(index < m_document.length() ? StatusTexts(m_document, index) : StartupStatusTexts());
}

// The file's health, and while a record is decoded the field of the selected byte:
// "Decoded: 8,198 bytes, expansion layout — byte 24: Trains".
void StatusPanels::showHealth()
{
    QString text = m_controller.healthText();
    const ByteSelection& selection = m_document.selection();
    const auto index = selection.current();
    const record::FieldDescription* field =
        selection.chosen() ? m_document.fieldAt(index) : nullptr;
    if (field != nullptr) {
        text += u" \u2014 byte %1: %2"_s.arg(QString::number(index, 16).toUpper(),
                                             QString::fromLatin1(field->name));
    }
    m_health->setText(text);
    // A narrow window cuts the field short; the tooltip gives it whole.
    m_health->setToolTip(text);
}

} // namespace railwright
