#include "cli/ConsoleProgress.h"

#include "cli/Console.h"

ConsoleProgress::ConsoleProgress(Console& console) : m_console(console) {}

void ConsoleProgress::setRange(int minimum, int maximum) {
    m_minimum = minimum;
    m_maximum = maximum;
    draw();
}

void ConsoleProgress::setValue(int value) {
    m_value = value;
    draw();
}

void ConsoleProgress::showModeless() {
    m_shown = true;
    draw();
}

void ConsoleProgress::hide() {
    m_shown = false;
    m_console.endProgress();
}

void ConsoleProgress::draw() {
    if (!m_shown || m_maximum <= m_minimum)
        return;
    m_console.progress(QStringLiteral("%1 %2/%3").arg(m_title).arg(m_value).arg(m_maximum));
}

void ConsoleProgress::requestCancel() {
    m_cancel = true;
    m_interrupted = true;
    notifyCancelClicked();
}
