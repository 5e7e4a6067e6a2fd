#pragma once
// Records every message box the editors show and answers the questions
// from a queue (Yes when the queue is empty).

#include "editors/EditorMessages.h"

#include <QString>
#include <QStringList>

#include <deque>

namespace quorrel::editors::testing {

class FakeEditorMessages final : public IEditorMessages {
public:
    void ShowError(QWidget*, const QString& text) override { errors << text; }

    bool AskYesNo(QWidget*, const QString& caption, const QString& text) override
    {
        questions << caption + "|" + text;
        if (answers.empty())
            return true;
        const bool yes = answers.front();
        answers.pop_front();
        return yes;
    }

    void ShowWarning(QWidget*, const QString& caption, const QString& text) override
    {
        warnings << caption + "|" + text;
    }

    QStringList errors;
    QStringList questions;
    QStringList warnings;
    std::deque<bool> answers;
};

} // namespace quorrel::editors::testing
