#include "cli/ConsoleOperator.h"

#include "cli/Console.h"
#include "files/PrintSurface.h"

namespace {
// A message's lines as the terminal shows them: CR LF and CR become line ends.
QString plain(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

QString titled(const QString& title, const QString& text) {
    const QString t = plain(text).trimmed();
    return title.isEmpty() ? t : title + QStringLiteral(": ") + t;
}

QString answerText(OperatorInteraction::Answer a) {
    switch (a) {
    case OperatorInteraction::Answer::Yes:
        return QStringLiteral("Yes");
    case OperatorInteraction::Answer::No:
        return QStringLiteral("No");
    case OperatorInteraction::Answer::Cancel:
        return QStringLiteral("Cancel");
    case OperatorInteraction::Answer::Ok:
        break;
    }
    return QStringLiteral("OK");
}
} // namespace

ConsoleOperator::ConsoleOperator(Console& console) : m_console(console) {}

bool ConsoleOperator::shownSince(int from, const QString& title, const QString& text) const {
    for (int i = qMax(0, from); i < m_messages.size(); ++i)
        if (m_messages[i].first == title && m_messages[i].second == text)
            return true;
    return false;
}

void ConsoleOperator::message(const QString& title, const QString& text, Icon icon) {
    informativeMessage(title, text, icon, {});
}

void ConsoleOperator::informativeMessage(const QString& title, const QString& text, Icon,
                                         const QString& informative) {
    m_messages.append({title, text});
    m_console.err(titled(title, text));
    if (!informative.isEmpty())
        m_console.err(QStringLiteral("  ") + plain(informative));
}

void ConsoleOperator::refuse(const QString& what) {
    m_refused = true;
    m_console.err(QStringLiteral("  refused: %1").arg(what));
}

OperatorInteraction::Answer ConsoleOperator::answer(const QString& title, const QString& text,
                                                    bool withCancel) {
    if (const auto it = m_answers.constFind(text); it != m_answers.cend()) {
        m_console.err(titled(title, text) + QLatin1Char(' ') + answerText(it->answer));
        if (!it->hint.isEmpty())
            m_console.err(QStringLiteral("  ") + it->hint);
        return it->answer;
    }
    const Answer a = m_confirmAll ? Answer::Yes : withCancel ? Answer::Cancel : Answer::No;
    m_console.err(titled(title, text) + QLatin1Char(' ') + answerText(a));
    if (!m_confirmAll)
        refuse(QStringLiteral("add --yes to answer Yes"));
    return a;
}

OperatorInteraction::Answer ConsoleOperator::askYesNo(const QString& title, const QString& text,
                                                      Icon) {
    return answer(title, text, false);
}

OperatorInteraction::Answer ConsoleOperator::askYesNoCancel(const QString& title,
                                                            const QString& text, Icon) {
    return answer(title, text, true);
}

QString ConsoleOperator::openFileName(const FileRequest& request) {
    refuse(request.title + QStringLiteral(": no file dialog on the command line"));
    return {};
}

QString ConsoleOperator::saveFileName(const FileRequest& request) {
    refuse(request.title + QStringLiteral(": no file dialog on the command line"));
    return {};
}

std::unique_ptr<PrintSurface> ConsoleOperator::choosePrinter(const QString& title) {
    refuse(title + QStringLiteral(": no printing on the command line"));
    return nullptr;
}

OperatorInteraction::TypeChoice ConsoleOperator::chooseActuatorType(const QString& current) {
    refuse(QStringLiteral("Actuator type: no choice on the command line"));
    return {current, 0};
}

OperatorInteraction::SoftLimits ConsoleOperator::softLimitChange(const SoftLimits& current,
                                                                 const SoftLimits&) {
    // Reached only when the soft limit question was answered Yes: the suggested values are
    // taken as the dialog's OK would take them.
    m_console.err(QStringLiteral("Soft limit change: +Soft limit %1, - Soft limit %2")
                      .arg(current.plus)
                      .arg(current.minus));
    if (!current.note.isEmpty())
        m_console.err(QStringLiteral("  ") + plain(current.note));
    return current;
}
