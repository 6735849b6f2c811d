#pragma once

#include "document/user_prompts.h"

#include <QList>
#include <QQueue>
#include <QString>
#include <QStringList>

namespace railwright::test {

using namespace Qt::StringLiterals;

// A stand-in for the user: answers questions and file dialogs from queues filled by
// the test, and records everything it was shown. A prompt that arrives when its queue
// is empty is recorded in `unexpected` (and answered Cancel / with no path), so a test
// can fail on a question it did not expect instead of hanging on a dialog.
class ScriptedPrompts : public UserPrompts
{
public:
    struct Shown
    {
        QString text;
        QString caption;
        Icon icon = Icon::None;
    };

    QQueue<Answer> answers;
    QQueue<int> choices;       // the index of the button pressed in a `choose` question
    QQueue<QString> openPaths; // an empty string stands for a cancelled dialog
    QQueue<QString> savePaths;
    QQueue<QString> texts; // what the user types when asked for text; empty: cancelled

    QList<Shown> questions;
    QList<Shown> messages;
    QStringList openFilters;
    QStringList saveFilters;
    QStringList openStarts; // where each file dialog started
    QStringList saveStarts;
    QStringList unexpected;

    Answer ask(const QString& text, const QString& caption) override
    {
        questions.append({text, caption, Icon::None});
        if (answers.isEmpty()) {
            unexpected.append(u"question: "_s + text);
            return Answer::Cancel;
        }
        return answers.dequeue();
    }

    int choose(const QString& text, const QString& caption, const QStringList& buttons,
               int) override
    {
        questions.append({text, caption, Icon::None});
        if (choices.isEmpty()) {
            unexpected.append(u"choice: "_s + text);
            return int(buttons.size()) - 1;
        }
        return choices.dequeue();
    }

    QString askText(const QString& text, const QString& caption) override
    {
        questions.append({text, caption, Icon::None});
        if (texts.isEmpty()) {
            unexpected.append(u"text: "_s + text);
            return {};
        }
        return texts.dequeue();
    }

    void tell(const QString& text, const QString& caption, Icon icon = Icon::None) override
    {
        messages.append({text, caption, icon});
    }

    QString openFileName(const QString& filter, const QString& start) override
    {
        openFilters.append(filter);
        openStarts.append(start);
        if (openPaths.isEmpty()) {
            unexpected.append(u"open dialog"_s);
            return {};
        }
        return openPaths.dequeue();
    }

    QString saveFileName(const QString& filter, const QString& start) override
    {
        saveFilters.append(filter);
        saveStarts.append(start);
        if (savePaths.isEmpty()) {
            unexpected.append(u"save dialog"_s);
            return {};
        }
        return savePaths.dequeue();
    }

    // True when every scripted answer was used and nothing unscripted was asked.
    [[nodiscard]] bool allUsed() const
    {
        return answers.isEmpty() && choices.isEmpty() && openPaths.isEmpty() &&
               savePaths.isEmpty() && texts.isEmpty() && unexpected.isEmpty();
    }
};

} // namespace railwright::test
