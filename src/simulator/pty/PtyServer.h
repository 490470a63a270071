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
//
// Every time a PC closes the device the server puts its own line settings back, and lifts
// the exclusive use a PC may have taken. A PC that ends normally restores the settings it
// found; one killed in the middle of a block restores nothing, and its settings would stay
// on the line for the next PC. That next PC would then ask for exactly the settings the line
// already has, with parity on: a pseudo-terminal cannot keep the parity flag, and the C
// library reports a change of nothing but a dropped flag as "Invalid argument", so every
// later open failed until the server was restarted. (Closings are watched with inotify on
// Linux.)
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
    // Raw mode, 9600 bit/s, odd parity asked for; no exclusive use.
    void applyLineSettings();
    void onClientClosed();
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
    int m_closings = -1; // inotify descriptor telling that a PC closed the slave
    QSocketNotifier* m_closeNotifier = nullptr;
    QTimer* m_retry = nullptr;
};
