#pragma once

#include "link/SerialChannel.h"

#include <QList>
#include <QTimer>

// A serial line for link tests: records what is written and answers each write with scripted
// pieces, each after its own delay from the write.
class FakeChannel final : public SerialChannel {
    Q_OBJECT
  public:
    struct Piece {
        int afterMs;
        QByteArray bytes;
    };

    QByteArray written;
    QList<QList<Piece>> replies; // one script per write, in order
    QString openError;           // non-empty: open fails with this reason
    bool held = false;           // ... because another program holds the line
    QString path;                // where the port leads (destination())
    QStringList openedPorts;
    int opens = 0;
    int closes = 0;

    bool open(const QString& portName) override {
        openedPorts << portName;
        if (!openError.isEmpty())
            return false;
        ++opens;
        m_open = true;
        return true;
    }
    void close() override {
        if (m_open)
            ++closes;
        m_open = false;
    }
    bool isOpen() const override { return m_open; }
    void clearBuffers() override { m_buffer.clear(); }
    qint64 write(const QByteArray& data) override {
        if (!m_open)
            return -1;
        written += data;
        if (!replies.isEmpty()) {
            for (const Piece& p : replies.takeFirst())
                QTimer::singleShot(p.afterMs, this, [this, b = p.bytes] { deliver(b); });
        }
        return data.size();
    }
    QByteArray readAll() override { return std::exchange(m_buffer, {}); }
    QString errorString() const override { return openError; }
    QString destination() const override { return path; }
    bool heldElsewhere() const override { return held && !openError.isEmpty(); }

    // Bytes arriving from the device; dropped while the port is closed.
    void deliver(const QByteArray& bytes) {
        if (!m_open)
            return;
        m_buffer += bytes;
        emit readyRead();
    }

  private:
    bool m_open = false;
    QByteArray m_buffer;
};
