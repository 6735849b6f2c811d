#include "dialog_prompts.h"

#include "document/native_path.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace railwright {

DialogPrompts::DialogPrompts(QWidget* parent) : m_parent(parent) {}

UserPrompts::Answer DialogPrompts::ask(const QString& text, const QString& caption)
{
    QMessageBox box(QMessageBox::NoIcon, caption, text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, m_parent);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

int DialogPrompts::choose(const QString& text, const QString& caption, const QStringList& buttons,
                          int defaultButton)
{
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::NoButton, m_parent);
    QList<QPushButton*> pushButtons;
    for (qsizetype i = 0; i < buttons.size(); ++i) {
        // The last button is the way out; the others are choices.
        const auto role =
            i + 1 == buttons.size() ? QMessageBox::RejectRole : QMessageBox::AcceptRole;
        pushButtons.append(box.addButton(buttons.at(i), role));
    }
    if (defaultButton >= 0 && defaultButton < pushButtons.size()) {
        box.setDefaultButton(pushButtons.at(defaultButton));
    }
    if (!pushButtons.isEmpty()) {
        box.setEscapeButton(pushButtons.constLast());
    }
    box.exec();
    const auto pressed = pushButtons.indexOf(qobject_cast<QPushButton*>(box.clickedButton()));
    return pressed >= 0 ? int(pressed) : int(buttons.size()) - 1;
}

QString DialogPrompts::askText(const QString& text, const QString& caption)
{
    bool ok = false;
    const QString typed =
        QInputDialog::getText(m_parent, caption, text, QLineEdit::Normal, {}, &ok);
    return ok ? typed : QString();
}

std::unique_ptr<QMessageBox> DialogPrompts::makeMessageBox(const QString& text,
                                                           const QString& caption, Icon icon,
                                                           QWidget* parent)
{
    QMessageBox::Icon boxIcon = QMessageBox::NoIcon;
    if (icon == Icon::Information) {
        boxIcon = QMessageBox::Information;
    } else if (icon == Icon::Warning) {
        boxIcon = QMessageBox::Warning;
    }
    auto box = std::make_unique<QMessageBox>(boxIcon, caption, text, QMessageBox::Ok, parent);
    // Long texts such as the About box keep their line layout rather than being
    // squeezed by rich-text wrapping.
    box->setTextFormat(Qt::PlainText);
    return box;
}

void DialogPrompts::tell(const QString& text, const QString& caption, Icon icon)
{
    makeMessageBox(text, caption, icon, m_parent)->exec();
}

QString DialogPrompts::openFileName(const QString& filter, const QString& start)
{
    const QString path = QFileDialog::getOpenFileName(m_parent, u"Open"_s,
                                                      start.isEmpty() ? m_folder : start, filter);
    rememberFolder(path);
    // The dialog shows a name that is not UTF-8 with U+FFFD; the file has its own bytes.
    return RecoverDecodedPath(path);
}

QString DialogPrompts::saveFileName(const QString& filter, const QString& start)
{
    QFileDialog dialog(m_parent, u"Save As"_s, start.isEmpty() ? m_folder : start, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // A name typed without a suffix gets ".TD4" before the dialog asks about overwriting.
    dialog.setDefaultSuffix(u"TD4"_s);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    const QString path = dialog.selectedFiles().constFirst();
    rememberFolder(path);
    return RecoverDecodedPath(path);
}

void DialogPrompts::rememberFolder(const QString& path)
{
    if (!path.isEmpty()) {
        m_folder = QFileInfo(path).absolutePath();
    }
}

} // namespace railwright
