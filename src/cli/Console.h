#pragma once

#include <QString>
#include <QTextStream>

// The command line's two outputs: results on standard output, everything for the engineer
// (messages, questions and their answers, progress) on standard error. A progress line is
// drawn over itself and only when standard error is a terminal; a message first clears it.
class Console final {
  public:
    explicit Console(bool progressShown);
    // A console whose two outputs are kept in texts (no progress drawn).
    Console(QString* out, QString* err);
    Q_DISABLE_COPY_MOVE(Console)

    // Whether standard error is a terminal (where progress is shown).
    static bool errorIsTerminal();

    void out(const QString& line);
    void err(const QString& line);
    void progress(const QString& text);
    void endProgress();
    bool progressShown() const { return m_progressShown; }

  private:
    QTextStream m_out;
    QTextStream m_err;
    bool m_progressShown;
    int m_progressWidth = 0; // characters of the progress line on the screen, 0 when none
};
