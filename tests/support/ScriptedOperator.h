#pragma once

#include "files/PrintSurface.h"
#include "operator/OperatorInteraction.h"

#include <QList>
#include <QStringList>
#include <functional>

// An operator for tests: answers from queues and records every prompt exactly.
// Empty queues give: Yes for questions, an empty (cancelled) file name, a cancelled print
// dialog, the current type with OK flag 0, an empty mode and keypad text, the current soft
// limits. A soft limit prompt records the note shown with the values as its text.
class ScriptedOperator final : public OperatorInteraction {
  public:
    struct Prompt {
        QString kind; // "message", "yesno", "yesnocancel", "open", "save", "print", "type",
                      // "mode", "keypad", "softlimit"
        QString title;
        QString text;
        Icon icon = Icon::None;
        QString informative; // the text beneath a message or question, if any
        QString detailed;    // the detailed text a message unfolds, if any
    };

    QList<Prompt> prompts;
    QList<Answer> answers;
    QStringList fileNames;
    QList<TypeChoice> typeChoices;
    QStringList modes;
    QStringList keypadValues;
    QList<SoftLimits> softLimits;
    QList<SoftLimits> softLimitsShown; // the values each soft limit dialog opened with
    std::function<std::unique_ptr<PrintSurface>()> printerFactory;
    // Called when a prompt is recorded, before it is answered (for checks of window state).
    std::function<void(const Prompt&)> onPrompt;
    int beeps = 0;
    int endCalls = 0;

    // Texts of the recorded prompts of one kind ("message", ...), in order.
    QStringList texts(const QString& kind = {}) const;
    const Prompt& last() const { return prompts.constLast(); }

    void message(const QString& title, const QString& text, Icon icon) override;
    void informativeMessage(const QString& title, const QString& text, Icon icon,
                            const QString& informative) override;
    void detailedMessage(const QString& title, const QString& text, Icon icon,
                         const QString& detailed) override;
    Answer askYesNo(const QString& title, const QString& text, Icon icon) override;
    Answer informativeYesNo(const QString& title, const QString& text, Icon icon,
                            const QString& informative) override;
    Answer askYesNoCancel(const QString& title, const QString& text, Icon icon) override;
    void beep() override { ++beeps; }
    QString openFileName(const FileRequest& request) override;
    QString saveFileName(const FileRequest& request) override;
    std::unique_ptr<PrintSurface> choosePrinter(const QString& title) override;
    TypeChoice chooseActuatorType(const QString& current) override;
    QString chooseOperationMode() override;
    QString numericKeypad(const QString& current) override;
    SoftLimits softLimitChange(const SoftLimits& current, const SoftLimits& tableRows) override;
    void endProgram() override { ++endCalls; }

  private:
    void record(const QString& kind, const QString& title, const QString& text, Icon icon);
};
