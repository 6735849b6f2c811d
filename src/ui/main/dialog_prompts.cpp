#include "dialog_prompts.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

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

QString DialogPrompts::openFileName(const QString& filter)
{
    const QString path =
        QFileDialog::getOpenFileName(m_parent, QStringLiteral("Open"), m_folder, filter);
    rememberFolder(path);
    return path;
}

QString DialogPrompts::saveFileName(const QString& filter)
{
    const QString path =
        QFileDialog::getSaveFileName(m_parent, QStringLiteral("Save As"), m_folder, filter);
    rememberFolder(path);
    return path;
}

void DialogPrompts::rememberFolder(const QString& path)
{
    if (!path.isEmpty()) {
        m_folder = QFileInfo(path).absolutePath();
    }
}

} // namespace railwright
