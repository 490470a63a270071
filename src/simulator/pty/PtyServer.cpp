#include "simulator/pty/PtyServer.h"

#include "simulator/VirtualController.h"

#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#ifdef Q_OS_LINUX
#include <sys/inotify.h>
#endif

namespace {
// Output waiting for a reader beyond this is dropped (a PC that never reads must not make the
// server grow without limit).
constexpr qsizetype MaxPendingBytes = 64 * 1024;
// Pause before reading again after the master reported that no slave is open.
constexpr int NoReaderRetryMs = 50;

QString systemError(const char* what) {
    return QStringLiteral("%1: %2").arg(QString::fromLatin1(what),
                                        QString::fromLocal8Bit(std::strerror(errno)));
}
} // namespace

PtyServer::PtyServer(VirtualController& controller, QObject* parent)
    : QObject(parent), m_controller(controller), m_retry(new QTimer(this)) {
    m_retry->setSingleShot(true);
    m_retry->setInterval(NoReaderRetryMs);
    connect(m_retry, &QTimer::timeout, this, [this] {
        if (m_readNotifier)
            m_readNotifier->setEnabled(true);
    });
    connect(&m_controller, &VirtualController::transmit, this, &PtyServer::send);
}

PtyServer::~PtyServer() {
    removeLink();
    delete m_readNotifier;
    delete m_writeNotifier;
    delete m_closeNotifier;
    if (m_closings >= 0)
        ::close(m_closings);
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
}

bool PtyServer::start() {
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0) {
        m_error = systemError("posix_openpt");
        return false;
    }
    if (::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) {
        m_error = systemError("grantpt/unlockpt");
        return false;
    }
    const char* name = ::ptsname(m_master);
    if (!name) {
        m_error = systemError("ptsname");
        return false;
    }
    m_slavePath = QString::fromLocal8Bit(name);
    m_slave = ::open(name, O_RDWR | O_NOCTTY);
    if (m_slave < 0) {
        m_error = systemError("open slave");
        return false;
    }
    applyLineSettings();
#ifdef Q_OS_LINUX
    m_closings = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_closings >= 0 &&
        ::inotify_add_watch(m_closings, name, IN_CLOSE_WRITE | IN_CLOSE_NOWRITE) >= 0) {
        m_closeNotifier = new QSocketNotifier(m_closings, QSocketNotifier::Read, this);
        connect(m_closeNotifier, &QSocketNotifier::activated, this, &PtyServer::onClientClosed);
    }
#endif
    const int flags = ::fcntl(m_master, F_GETFL);
    ::fcntl(m_master, F_SETFL, flags | O_NONBLOCK);

    m_readNotifier = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &PtyServer::onReadable);
    m_writeNotifier = new QSocketNotifier(m_master, QSocketNotifier::Write, this);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, &PtyServer::onWritable);
    return true;
}

void PtyServer::applyLineSettings() {
    // Raw mode on the slave, so the PC side sees exactly the controller's bytes and the server
    // sees exactly the PC's (no echo, no CR/LF translation, no line editing). Every flag is
    // set here, not only the ones raw mode clears: whatever a PC left behind is replaced.
    termios tio{};
    if (::tcgetattr(m_slave, &tio) != 0)
        return;
    tio.c_iflag = 0;
    tio.c_oflag = 0;
    tio.c_lflag = 0;
    tio.c_cflag = CS8 | CLOCAL | CREAD | PARENB | PARODD;
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    ::cfsetispeed(&tio, B9600);
    ::cfsetospeed(&tio, B9600);
    ::tcsetattr(m_slave, TCSANOW, &tio);
#ifdef TIOCNXCL
    ::ioctl(m_slave, TIOCNXCL);
#endif
}

void PtyServer::onClientClosed() {
#ifdef Q_OS_LINUX
    // The events themselves say nothing more than that a PC closed the device.
    char events[4096];
    while (::read(m_closings, events, sizeof events) > 0) {
    }
#endif
    applyLineSettings();
}

bool PtyServer::placeLink(const QString& path) {
    const QFileInfo info(path);
    if (info.isSymLink()) {
        if (!QFile::remove(path)) {
            m_error = QStringLiteral("%1: cannot replace the existing link").arg(path);
            return false;
        }
    } else if (info.exists()) {
        m_error = QStringLiteral("%1: exists and is not a symbolic link").arg(path);
        return false;
    }
    if (::symlink(m_slavePath.toLocal8Bit().constData(), path.toLocal8Bit().constData()) != 0) {
        m_error = systemError("symlink");
        return false;
    }
    m_linkPath = path;
    return true;
}

void PtyServer::removeLink() {
    if (m_linkPath.isEmpty())
        return;
    // Only our own link: someone may have replaced it in the meantime.
    if (QFileInfo(m_linkPath).symLinkTarget() == QFileInfo(m_slavePath).absoluteFilePath())
        QFile::remove(m_linkPath);
    m_linkPath.clear();
}

void PtyServer::onReadable() {
    char buf[4096];
    for (;;) {
        const ssize_t n = ::read(m_master, buf, sizeof buf);
        if (n > 0) {
            m_controller.receive(QByteArray(buf, qsizetype(n)));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EIO) {
            // No slave descriptor is open at this moment: wait for the PC to come back rather
            // than spin on a descriptor that stays readable.
            m_readNotifier->setEnabled(false);
            m_retry->start();
        }
        return; // EAGAIN: all read
    }
}

void PtyServer::send(const QByteArray& bytes) {
    if (m_pending.size() + bytes.size() > MaxPendingBytes)
        return;
    m_pending += bytes;
    flushPending();
}

void PtyServer::onWritable() {
    flushPending();
}

void PtyServer::flushPending() {
    while (!m_pending.isEmpty() && m_master >= 0) {
        const ssize_t n = ::write(m_master, m_pending.constData(), size_t(m_pending.size()));
        if (n > 0) {
            m_pending.remove(0, qsizetype(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            m_pending.clear(); // the line is gone: what was not delivered is lost, as on a wire
        break;                 // EAGAIN: the slave's input is full; wait until writable
    }
    if (m_writeNotifier)
        m_writeNotifier->setEnabled(!m_pending.isEmpty());
}
