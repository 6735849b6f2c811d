#include "data_string_edit.h"

#include "ui/grid/byte_editing.h"

#include <QKeyEvent>

namespace railwright {

DataStringEdit::DataStringEdit(QWidget* parent) : QLineEdit(parent) {}

bool DataStringEdit::event(QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride && text().isEmpty()) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo)) {
            // Not claimed here, so the key reaches the window's shortcut.
            event->ignore();
            return true;
        }
    }
    return QLineEdit::event(event);
}

void DataStringEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        emit commitRequested();
        return;
    }
    const QString text = event->text();
    // Keys without a printable character (arrows, Delete, Tab, Ctrl shortcuts) keep
    // their usual meaning; Backspace passes the filter anyway.
    const bool typesCharacter =
        !text.isEmpty() && !text.at(0).isNull() && text.at(0).category() != QChar::Other_Control;
    // Ctrl or Alt alone make a shortcut; both together (AltGr) type a character.
    const auto chord = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier);
    const bool shortcut = chord == Qt::ControlModifier || chord == Qt::AltModifier;
    if (!typesCharacter || shortcut) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    const char16_t filtered = FilterEditKey(text.at(0).unicode(), m_mode);
    if (filtered == 0) {
        event->accept();
        emit keyRejected();
        return;
    }
    if (filtered == text.at(0).unicode()) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    QString replaced = text;
    replaced[0] = QChar(filtered);
    QKeyEvent substitute(event->type(), event->key(), event->modifiers(), replaced,
                         event->isAutoRepeat(), ushort(event->count()));
    QLineEdit::keyPressEvent(&substitute);
    event->setAccepted(substitute.isAccepted());
}

} // namespace railwright
