#include "cli/Console.h"

#include <cstdio>
#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

Console::Console(bool progressShown)
    : m_out(stdout), m_err(stderr), m_progressShown(progressShown) {}

Console::Console(QString* out, QString* err) : m_out(out), m_err(err), m_progressShown(false) {}

bool Console::errorIsTerminal() {
#ifdef Q_OS_WIN
    return _isatty(_fileno(stderr)) != 0;
#else
    return ::isatty(STDERR_FILENO) != 0;
#endif
}

void Console::out(const QString& line) {
    endProgress();
    m_out << line << '\n';
    m_out.flush();
}

void Console::err(const QString& line) {
    endProgress();
    m_err << line << '\n';
    m_err.flush();
}

void Console::progress(const QString& text) {
    if (!m_progressShown)
        return;
    const int width = int(text.size());
    m_err << '\r' << text << QString(qMax(0, m_progressWidth - width), QLatin1Char(' '));
    m_err.flush();
    m_progressWidth = width;
}

void Console::endProgress() {
    if (m_progressWidth == 0)
        return;
    m_err << '\r' << QString(m_progressWidth, QLatin1Char(' ')) << '\r';
    m_err.flush();
    m_progressWidth = 0;
}
