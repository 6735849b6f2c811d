#include "track_construction_commands.h"

#include "document/piece_list_step.h"
#include "ui/track/piece_chooser.h"
#include "ui/track/track_commands.h"
#include "ui/track/track_edits.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeySequence>
#include <QMimeData>
#include <QStringList>
#include <QWidget>

using namespace Qt::StringLiterals;

namespace railwright {

namespace {

QString PieceText(const TrackList& list, std::size_t row)
{
    return u"piece %1 (%2)"_s.arg(row).arg(
        QString::fromStdString(TrackPieceName(list.pieces[row].code)));
}

// The deletion of `rows` (ascending) as edits of runs of neighbours, the last run first so
// that the indexes of those before it still hold.
std::vector<PieceListEdit> DeleteRows(const std::vector<std::size_t>& rows)
{
    std::vector<PieceListEdit> edits;
    for (std::size_t end = rows.size(); end > 0;) {
        std::size_t first = end - 1;
        while (first > 0 && rows[first - 1] + 1 == rows[first]) {
            --first;
        }
        edits.push_back({PieceListEdit::Kind::Delete, rows[first], end - first, {}});
        end = first;
    }
    return edits;
}

std::vector<std::size_t> Rows(std::size_t first, std::size_t count)
{
    std::vector<std::size_t> rows(count);
    for (std::size_t i = 0; i < count; ++i) {
        rows[i] = first + i;
    }
    return rows;
}

} // namespace

TrackConstructionCommands::TrackConstructionCommands(TrackDesignDocument& document,
                                                     TrackCommands& commands, QWidget* dialogParent)
    : QObject(&commands), m_document(document), m_commands(commands), m_dialogParent(dialogParent)
{
    const auto action = [this](const char* name, const QString& text, QKeySequence shortcut,
                               const QString& tip, void (TrackConstructionCommands::*slot)()) {
        auto* item = new QAction(text, this);
        item->setObjectName(QString::fromLatin1(name));
        item->setShortcut(shortcut);
        item->setToolTip(tip + u" ("_s + shortcut.toString(QKeySequence::NativeText) + u')');
        connect(item, &QAction::triggered, this, slot);
        return item;
    };
    // Edit's Cut, Copy, Paste and Delete are the grid's, and Ctrl+Shift+C copies the
    // picture: the pieces take keys of their own.
    m_actions.insertBefore = action(
        "TrackInsertBefore", u"Insert &Before..."_s, QKeySequence(Qt::SHIFT | Qt::Key_Insert),
        u"Build a piece before the selected pieces"_s, &TrackConstructionCommands::insertBefore);
    m_actions.insertAfter =
        action("TrackInsertAfter", u"Insert &After..."_s, QKeySequence(Qt::Key_Insert),
               u"Build a piece after the selected pieces, or at the open end"_s,
               &TrackConstructionCommands::insertAfter);
    m_actions.replace = action("TrackReplace", u"&Replace..."_s, QKeySequence(Qt::CTRL | Qt::Key_R),
                               u"Build another piece in place of the selected one"_s,
                               &TrackConstructionCommands::replace);
    m_actions.remove =
        action("TrackDelete", u"&Delete Pieces"_s, QKeySequence(Qt::CTRL | Qt::Key_Delete),
               u"Delete the selected pieces"_s, &TrackConstructionCommands::deletePieces);
    m_actions.cut =
        action("TrackCut", u"Cu&t Pieces"_s, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_X),
               u"Cut the selected pieces to the clipboard"_s, &TrackConstructionCommands::cut);
    m_actions.copy =
        action("TrackCopy", u"&Copy Pieces"_s, QKeySequence(Qt::CTRL | Qt::Key_Insert),
               u"Copy the selected pieces to the clipboard"_s, &TrackConstructionCommands::copy);
    m_actions.paste =
        action("TrackPaste", u"&Paste Pieces"_s, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V),
               u"Build the copied pieces after the selected pieces, or at the open end"_s,
               &TrackConstructionCommands::paste);
    connect(&m_commands, &TrackCommands::trackChanged, this,
            &TrackConstructionCommands::updateActions);
    connect(&m_commands, &TrackCommands::rowsChanged, this,
            &TrackConstructionCommands::updateActions);
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, [this] {
        m_clipboardChecked = false;
        updateActions();
    });
    updateActions();
}

bool TrackConstructionCommands::editable() const
{
    return m_document.kind() == ContentKind::Decoded && !m_commands.list().maze;
}

void TrackConstructionCommands::updateActions()
{
    const bool canEdit = editable();
    const bool selected = canEdit && !m_commands.selectedPieces().empty();
    m_actions.insertBefore->setEnabled(selected);
    m_actions.insertAfter->setEnabled(canEdit);
    m_actions.replace->setEnabled(selected);
    m_actions.remove->setEnabled(selected);
    m_actions.cut->setEnabled(selected);
    m_actions.copy->setEnabled(selected);
    // Asking the clipboard may wait on another program: done once it changes, and only
    // when there is a track to paste into, never at start-up or on each selection.
    if (canEdit && !m_clipboardChecked) {
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        m_clipboardHasPieces =
            data != nullptr && data->hasFormat(QString::fromLatin1(PiecesMimeType));
        m_clipboardChecked = true;
    }
    m_actions.paste->setEnabled(canEdit && m_clipboardHasPieces);
}

void TrackConstructionCommands::insertBefore()
{
    const std::vector<std::size_t> rows = m_commands.selectedPieces();
    if (!editable() || rows.empty()) {
        return;
    }
    insertAt(rows.front(), u"Insert Before"_s,
             u"Before "_s + PieceText(m_commands.list(), rows.front()));
}

void TrackConstructionCommands::insertAfter()
{
    if (!editable()) {
        return;
    }
    const TrackList& list = m_commands.list();
    const std::vector<std::size_t> rows = m_commands.selectedPieces();
    if (!rows.empty()) {
        insertAt(rows.back() + 1, u"Insert After"_s, u"After "_s + PieceText(list, rows.back()));
    } else if (list.pieces.empty()) {
        insertAt(0, u"Insert After"_s, u"The first piece of the track"_s);
    } else {
        insertAt(list.pieces.size(), u"Insert After"_s,
                 u"At the open end, after "_s + PieceText(list, list.pieces.size() - 1));
    }
}

void TrackConstructionCommands::insertAt(std::size_t index, const QString& title,
                                         const QString& place)
{
    // A full list is refused before the player picks a piece for it.
    const QString refusal =
        PieceListRefusal(m_document, {PieceListEdit::Kind::Insert, index, 0, {0x00}});
    if (!refusal.isEmpty()) {
        emit m_commands.editReported(refusal);
        return;
    }
    buildChosen(PieceListEdit::Kind::Insert, index, title, place);
}

void TrackConstructionCommands::replace()
{
    const std::vector<std::size_t> rows = m_commands.selectedPieces();
    if (!editable() || rows.empty()) {
        return;
    }
    buildChosen(PieceListEdit::Kind::Replace, rows.front(), u"Replace"_s,
                u"In place of "_s + PieceText(m_commands.list(), rows.front()));
}

void TrackConstructionCommands::buildChosen(PieceListEdit::Kind kind, std::size_t index,
                                            const QString& title, const QString& place)
{
    const TrackList& list = m_commands.list();
    PieceChooser chooser(list.rideType,
                         FittingPieces(list, index,
                                       kind == PieceListEdit::Kind::Insert ? PieceChoice::Insert
                                                                           : PieceChoice::Replace),
                         NewPieceFlags(list, index, kind), title, place, m_dialogParent);
    if (chooser.exec() != QDialog::Accepted) {
        return;
    }
    const PieceListEdit edit{kind, index, 0, {*chooser.chosenCode()}};
    finish(EditPieceList(m_document, edit), PieceListStepName(edit), {index}, {index});
}

void TrackConstructionCommands::deletePieces()
{
    if (editable() && !m_commands.selectedPieces().empty()) {
        removeSelected(u"Delete"_s);
    }
}

void TrackConstructionCommands::removeSelected(const QString& verb)
{
    const std::vector<std::size_t> rows = m_commands.selectedPieces();
    const QString stepName = PiecesStepName(verb, rows.size());
    // The piece before the gap stays selected, so Insert After builds into it.
    const std::size_t first = rows.front();
    finish(EditPieceList(m_document, DeleteRows(rows), stepName), stepName, rows,
           {first > 0 ? first - 1 : 0});
}

bool TrackConstructionCommands::copySelected()
{
    const TrackList& list = m_commands.list();
    QByteArray bytes;
    QStringList codes;
    for (const std::size_t row : m_commands.selectedPieces()) {
        if (row < list.pieces.size()) {
            bytes.append(char(list.pieces[row].code));
            bytes.append(char(list.pieces[row].flags));
            codes.append(PieceCodeText(list.pieces[row].code));
        }
    }
    if (bytes.isEmpty()) {
        return false;
    }
    auto* data = new QMimeData;
    data->setData(QString::fromLatin1(PiecesMimeType), bytes);
    // The codes as `railwright-cli track --insert N:CODES` takes them.
    data->setText(codes.join(u','));
    QGuiApplication::clipboard()->setMimeData(data);
    return true;
}

void TrackConstructionCommands::copy()
{
    if (!editable() || !copySelected()) {
        return;
    }
    const std::vector<std::size_t> rows = m_commands.selectedPieces();
    emit m_commands.editReported(u"Copy Pieces: "_s + PieceRowsText(rows));
}

void TrackConstructionCommands::cut()
{
    if (editable() && !m_commands.selectedPieces().empty() && copySelected()) {
        removeSelected(u"Cut"_s);
    }
}

void TrackConstructionCommands::paste()
{
    if (!editable()) {
        return;
    }
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    const QByteArray bytes =
        data != nullptr ? data->data(QString::fromLatin1(PiecesMimeType)) : QByteArray();
    const std::vector<std::size_t> rows = m_commands.selectedPieces();
    // Each piece keeps its own flags: a chain lift, a scheme, a brake's speed.
    PieceListEdit edit{PieceListEdit::Kind::Insert,
                       rows.empty() ? m_commands.list().pieces.size() : rows.back() + 1,
                       0,
                       {}};
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2) {
        edit.codes.push_back(std::uint8_t(bytes[i]));
        edit.flags.push_back(std::uint8_t(bytes[i + 1]));
    }
    if (edit.codes.empty()) {
        emit m_commands.editReported(u"The clipboard holds no track pieces."_s);
        return;
    }
    const QString stepName = PiecesStepName(u"Paste"_s, edit.codes.size());
    const std::vector<std::size_t> pasted = Rows(edit.index, edit.codes.size());
    finish(EditPieceList(m_document, edit, stepName), stepName, pasted, pasted);
}

void TrackConstructionCommands::closeCircuit(const std::vector<std::uint8_t>& run)
{
    if (!editable() || run.empty()) {
        return;
    }
    const std::size_t index = m_commands.list().pieces.size();
    const PieceListEdit edit{PieceListEdit::Kind::Insert, index, 0, run};
    const std::vector<std::size_t> rows = Rows(index, run.size());
    finish(EditPieceList(m_document, edit, u"Close Circuit"_s), u"Close Circuit"_s, rows, rows);
}

void TrackConstructionCommands::finish(const QString& refusal, const QString& stepName,
                                       const std::vector<std::size_t>& reported,
                                       std::vector<std::size_t> rows)
{
    if (!refusal.isEmpty()) {
        emit m_commands.editReported(refusal);
        return;
    }
    m_commands.selectRows(std::move(rows));
    emit m_commands.editReported(stepName + u": "_s + PieceRowsText(reported));
}

} // namespace railwright
