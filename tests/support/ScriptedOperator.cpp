#include "ScriptedOperator.h"

QStringList ScriptedOperator::texts(const QString& kind) const {
    QStringList out;
    for (const auto& p : prompts)
        if (kind.isEmpty() || p.kind == kind)
            out << p.text;
    return out;
}

void ScriptedOperator::record(const QString& kind, const QString& title, const QString& text,
                              Icon icon) {
    prompts.append({kind, title, text, icon});
    if (onPrompt)
        onPrompt(prompts.constLast());
}

void ScriptedOperator::message(const QString& title, const QString& text, Icon icon) {
    record("message", title, text, icon);
}

void ScriptedOperator::informativeMessage(const QString& title, const QString& text, Icon icon,
                                          const QString& informative) {
    prompts.append({"message", title, text, icon, informative});
    if (onPrompt)
        onPrompt(prompts.constLast());
}

void ScriptedOperator::detailedMessage(const QString& title, const QString& text, Icon icon,
                                       const QString& detailed) {
    prompts.append({"message", title, text, icon, {}, detailed});
    if (onPrompt)
        onPrompt(prompts.constLast());
}

OperatorInteraction::Answer ScriptedOperator::askYesNo(const QString& title, const QString& text,
                                                       Icon icon) {
    record("yesno", title, text, icon);
    return answers.isEmpty() ? Answer::Yes : answers.takeFirst();
}

OperatorInteraction::Answer ScriptedOperator::informativeYesNo(const QString& title,
                                                               const QString& text, Icon icon,
                                                               const QString& informative) {
    prompts.append({"yesno", title, text, icon, informative});
    if (onPrompt)
        onPrompt(prompts.constLast());
    return answers.isEmpty() ? Answer::Yes : answers.takeFirst();
}

OperatorInteraction::Answer ScriptedOperator::askYesNoCancel(const QString& title,
                                                             const QString& text, Icon icon) {
    record("yesnocancel", title, text, icon);
    return answers.isEmpty() ? Answer::Yes : answers.takeFirst();
}

QString ScriptedOperator::openFileName(const FileRequest& request) {
    record("open", request.title, request.filter, Icon::None);
    return fileNames.isEmpty() ? QString() : fileNames.takeFirst();
}

QString ScriptedOperator::saveFileName(const FileRequest& request) {
    record("save", request.title, request.filter, Icon::None);
    return fileNames.isEmpty() ? QString() : fileNames.takeFirst();
}

std::unique_ptr<PrintSurface> ScriptedOperator::choosePrinter(const QString& title) {
    record("print", title, {}, Icon::None);
    return printerFactory ? printerFactory() : nullptr;
}

OperatorInteraction::TypeChoice ScriptedOperator::chooseActuatorType(const QString& current) {
    record("type", {}, current, Icon::None);
    return typeChoices.isEmpty() ? TypeChoice{current, 0} : typeChoices.takeFirst();
}

QString ScriptedOperator::chooseOperationMode() {
    record("mode", {}, {}, Icon::None);
    return modes.isEmpty() ? QString() : modes.takeFirst();
}

QString ScriptedOperator::numericKeypad(const QString& current) {
    record("keypad", {}, current, Icon::None);
    return keypadValues.isEmpty() ? QString() : keypadValues.takeFirst();
}

OperatorInteraction::SoftLimits ScriptedOperator::softLimitChange(const SoftLimits& current,
                                                                  const SoftLimits&) {
    record("softlimit", {}, current.note, Icon::None);
    softLimitsShown << current;
    return softLimits.isEmpty() ? current : softLimits.takeFirst();
}
