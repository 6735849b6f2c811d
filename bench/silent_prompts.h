#pragma once

#include "document/user_prompts.h"

namespace railwright::bench {

// Answers every question with Cancel and shows nothing, so a benchmark never waits on
// a dialog.
class SilentPrompts : public UserPrompts
{
public:
    Answer ask(const QString&, const QString&) override { return Answer::Cancel; }
    int choose(const QString&, const QString&, const QStringList& buttons, int) override
    {
        return int(buttons.size()) - 1;
    }
    QString askText(const QString&, const QString&) override { return {}; }
    void tell(const QString&, const QString&, Icon) override {}
    QString openFileName(const QString&, const QString&) override { return {}; }
    QString saveFileName(const QString&, const QString&) override { return {}; }
};

} // namespace railwright::bench
