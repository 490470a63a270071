#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QSocketNotifier;
class QTimer;
class VirtualController;

// Serves a virtual controller on a pseudo-terminal: the PC opens the slave device like a
// serial port, and the bytes are forwarded between the master side and the controller.
// The server keeps its own descriptor of the slave open, so the device stays alive while the
// PC closes and reopens it for every exchange.
class PtyServer final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PtyServer)
  public:
    explicit PtyServer(VirtualController& controller, QObject* parent = nullptr);
    ~PtyServer() override;

    // Creates the pseudo-terminal (raw mode, 9600 bit/s, odd parity); false with errorString().
    bool start();
    QString slavePath() const { return m_slavePath; }
    QString errorString() const { return m_error; }

    // Places a symbolic link to the slave at path, replacing an existing link (never another
    // kind of file). The link is removed when the server ends.
    bool placeLink(const QString& path);
    void removeLink();

  private:
    void onReadable();
    void onWritable();
    void send(const QByteArray& bytes);
    void flushPending();

    VirtualController& m_controller;
    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
    QString m_linkPath;
    QString m_error;
    QByteArray m_pending;
    QSocketNotifier* m_readNotifier = nullptr;
    QSocketNotifier* m_writeNotifier = nullptr;
    QTimer* m_retry = nullptr;
};
