// The atomic whole-file save shared by Save As, the error record, the traffic log and the
// command line's --receive and --traffic: only a regular file is ever replaced.
#include "fileio/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// The kind of whatever is at path (through links): S_IFREG, S_IFDIR, S_IFIFO, ..., 0 when none.
mode_t kindAt(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? (st.st_mode & S_IFMT) : 0;
}

} // namespace

class TestAtomicFile final : public QObject {
    Q_OBJECT
  private slots:
    void onlyRegularFilesAreReplaced_data();
    void onlyRegularFilesAreReplaced();
};

void TestAtomicFile::onlyRegularFilesAreReplaced_data() {
    QTest::addColumn<QString>("target"); // made by the test in its folder; "/..." as it stands
    QTest::addColumn<QString>("reason"); // empty: the file is written
    QTest::newRow("new file") << "new.csv"
                              << "";
    QTest::newRow("regular file") << "old.csv"
                                  << "";
    QTest::newRow("folder") << "folder"
                            << "it is a folder";
    QTest::newRow("FIFO") << "fifo"
                          << "it is a FIFO, not a file";
    QTest::newRow("socket") << "socket"
                            << "it is a socket, not a file";
    QTest::newRow("device") << "/dev/null"
                            << "it is a device, not a file";
    QTest::newRow("link to a device") << "null-link"
                                      << "it is a device, not a file";
    QTest::newRow("read-only file") << "readonly.csv"
                                    << "it is read-only";
}

void TestAtomicFile::onlyRegularFilesAreReplaced() {
    QFETCH(QString, target);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = target.startsWith('/') ? target : dir.filePath(target);
    const QByteArray native = QFile::encodeName(path);
    int socketFd = -1;
    if (target == "old.csv" || target == "readonly.csv") {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("before");
        f.close();
        if (target == "readonly.csv")
            QVERIFY(f.setPermissions(QFileDevice::ReadOwner));
    } else if (target == "folder") {
        QVERIFY(QDir().mkdir(path));
    } else if (target == "fifo") {
        QCOMPARE(::mkfifo(native.constData(), 0600), 0);
    } else if (target == "socket") {
        socketFd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        QVERIFY(size_t(native.size()) < sizeof(address.sun_path));
        std::memcpy(address.sun_path, native.constData(), size_t(native.size()));
        QCOMPARE(::bind(socketFd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    } else if (target == "null-link") {
        QVERIFY(QFile::link("/dev/null", path));
    }
    const mode_t before = kindAt(path);

    const AtomicFile::Result result = AtomicFile::writeWhole(path, "after");

    if (socketFd >= 0)
        ::close(socketFd);
    if (reason.isEmpty()) {
        QVERIFY2(result.ok, qPrintable(result.reason));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("after"));
        return;
    }
    QVERIFY(!result.ok);
    QCOMPARE(result.reason, reason);
    QCOMPARE(kindAt(path), before); // still what it was, not a file renamed over it
    if (target == "readonly.csv") {
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("before"));
    }
}

QTEST_GUILESS_MAIN(TestAtomicFile)
#include "tst_atomicfile.moc"
