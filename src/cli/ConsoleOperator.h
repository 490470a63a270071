#pragma once

#include "operator/OperatorInteraction.h"

#include <QHash>
#include <QList>
#include <QPair>

class Console;

// The operator as the command line meets it: every message goes to standard error as
// "title: text"; a question is answered by the command line's flags, and one that no flag
// answers is refused (answered No) with a note naming the flag. Dialogs that would ask for a
// file, a printer or a value are cancelled. Ending the program is recorded, not done: the
// command line ends with its exit status.
class ConsoleOperator final : public OperatorInteraction {
  public:
    explicit ConsoleOperator(Console& console);

    // Answers Yes to every question no other answer is set for (--yes, or a command that
    // changes nothing on the controller).
    void setConfirmAll(bool yes) { m_confirmAll = yes; }
    // The answer to one question, by its text, whatever setConfirmAll says; hint is shown
    // beside it (which flag gives the other answer).
    void setAnswer(const QString& question, Answer answer, const QString& hint = {}) {
        m_answers.insert(question, {answer, hint});
    }

    // The messages shown so far as (title, text), in order.
    int messageCount() const { return int(m_messages.size()); }
    bool shownSince(int from, const QString& title, const QString& text) const;
    bool refusedQuestion() const { return m_refused; }
    bool endRequested() const { return m_ended; }

    void message(const QString& title, const QString& text, Icon icon) override;
    void informativeMessage(const QString& title, const QString& text, Icon icon,
                            const QString& informative) override;
    Answer askYesNo(const QString& title, const QString& text, Icon icon) override;
    Answer askYesNoCancel(const QString& title, const QString& text, Icon icon) override;
    void beep() override {}
    QString openFileName(const FileRequest& request) override;
    QString saveFileName(const FileRequest& request) override;
    std::unique_ptr<PrintSurface> choosePrinter(const QString& title) override;
    TypeChoice chooseActuatorType(const QString& current) override;
    QString chooseOperationMode() override { return {}; }
    QString numericKeypad(const QString&) override { return {}; }
    SoftLimits softLimitChange(const SoftLimits& current, const SoftLimits& tableRows) override;
    void endProgram() override { m_ended = true; }

  private:
    Answer answer(const QString& title, const QString& text, bool withCancel);
    void refuse(const QString& what);

    Console& m_console;
    bool m_confirmAll = false;
    struct Given {
        Answer answer;
        QString hint;
    };
    QHash<QString, Given> m_answers;
    QList<QPair<QString, QString>> m_messages;
    bool m_refused = false;
    bool m_ended = false;
};
