#pragma once

#include <QString>
#include <QStringList>

namespace railwright {

// Everything that asks the user in the middle of a command goes through this
// interface: the real one shows message boxes and file dialogs, tests script answers.
class UserPrompts
{
public:
    enum class Answer
    {
        Yes,
        No,
        Cancel,
    };
    enum class Icon
    {
        None,
        Information,
        Warning,
    };

    virtual ~UserPrompts() = default;

    // A question with Yes, No and Cancel buttons.
    virtual Answer ask(const QString& text, const QString& caption) = 0;
    // A question with the given buttons, `defaultButton` preselected; the last button
    // is the one Escape and the close box press. Returns the index of the button pressed.
    virtual int choose(const QString& text, const QString& caption, const QStringList& buttons,
                       int defaultButton) = 0;
    // A line of text typed by the user, `text` saying what is wanted; an empty string
    // when the user cancels.
    virtual QString askText(const QString& text, const QString& caption) = 0;
    // A message with an OK button.
    virtual void tell(const QString& text, const QString& caption, Icon icon = Icon::None) = 0;
    // A path to open or to save to; an empty string when the user cancels. `filter`
    // is in QFileDialog's form ("TD4 File *.TD4 (*.TD4);;..."). The dialog starts at
    // `start`: a folder, or for saving a file path whose name it offers. The caller adds a
    // missing suffix to a save path.
    virtual QString openFileName(const QString& filter, const QString& start) = 0;
    virtual QString saveFileName(const QString& filter, const QString& start) = 0;
};

} // namespace railwright
