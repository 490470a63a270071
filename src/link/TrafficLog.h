#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

// Every line the program sends to the controller and receives from it, each with the time it
// went over the wire to the millisecond, for the engineer who needs to see exactly what
// happened on a line. Control characters are shown by their ASCII names (CR LF as <CR><LF>,
// the stop character as <ETX>; Command::visible), bytes above 126 by their code (<8f>). Only
// the last MaxLines lines are kept, and only as many as fit in MaxChars characters of text (a
// flood of noise, written out visibly, would otherwise hold hundreds of megabytes here and in
// the window that shows the log).
//
//   09:41:07.215 TX @READ PNT ,<CR><LF>
//   09:41:07.262 RX P0=A,10.00,20<CR><LF>
//   09:41:12.217 !! COM1 → /dev/ttyUSB0: no answer within 5 s
class TrafficLog final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TrafficLog)
  public:
    static constexpr int MaxLines = 10000;
    // The text kept, in characters (the log's lines are ASCII but for notes naming a device).
    static constexpr qsizetype MaxChars = 2 * 1024 * 1024;
    // A received line longer than this without a line end is logged in pieces of this size.
    static constexpr int MaxLineBytes = 4096;

    explicit TrafficLog(QObject* parent = nullptr);

    // Bytes written to the line: logged at once, one log line per line sent.
    void sent(const QByteArray& bytes);
    // Bytes read from the line: each line is logged when its line end (LF) arrives.
    void received(const QByteArray& bytes);
    // An exchange ended: a received line still waiting for its line end is logged as it is.
    void endOfExchange();
    // Something the engineer should see between the lines (a time-out, a port fault).
    void note(const QString& text);

    QStringList lines() const { return m_lines; }
    int size() const { return int(m_lines.size()); }
    // Characters of text held, line ends not counted.
    qsizetype chars() const { return m_chars; }
    // The whole log as text, one line each, every line ended by lineEnd.
    QString text(const QString& lineEnd = QStringLiteral("\n")) const;
    void clear();

    static QString visible(const QByteArray& bytes);

  signals:
    void lineAdded(const QString& line);
    // The oldest `count` lines were let go to keep the log within its bounds.
    void linesDropped(int count);
    void cleared();

  private:
    void add(const char* direction, const QString& text);

    QStringList m_lines;
    qsizetype m_chars = 0;
    QByteArray m_partial; // received bytes of a line whose line end has not come yet
};
