#pragma once

#include "document/user_prompts.h"

#include <QPointer>
#include <QString>
#include <QWidget>
#include <memory>

class QMessageBox;

namespace railwright {

// The prompts a user sees: modal QMessageBoxes and QFileDialogs, centred on the
// parent widget when one is set. The file dialogs start where the caller says, or in the
// last folder used in this run.
class DialogPrompts : public UserPrompts
{
public:
    explicit DialogPrompts(QWidget* parent = nullptr);

    // The widget the boxes and dialogs are modal to (usually the main window).
    void setParentWidget(QWidget* parent) { m_parent = parent; }

    Answer ask(const QString& text, const QString& caption) override;
    int choose(const QString& text, const QString& caption, const QStringList& buttons,
               int defaultButton) override;
    QString askText(const QString& text, const QString& caption) override;
    void tell(const QString& text, const QString& caption, Icon icon = Icon::None) override;
    QString openFileName(const QString& filter, const QString& start) override;
    QString saveFileName(const QString& filter, const QString& start) override;

    // The message box `tell` shows, built but not run (screenshots use it).
    [[nodiscard]] static std::unique_ptr<QMessageBox>
    makeMessageBox(const QString& text, const QString& caption, Icon icon, QWidget* parent);

private:
    void rememberFolder(const QString& path);

    QPointer<QWidget> m_parent;
    QString m_folder;
};

} // namespace railwright
