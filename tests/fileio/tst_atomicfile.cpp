// The atomic whole-file save shared by Save As, the error record, the traffic log and the
// command line's --receive and --traffic: only a regular file is ever replaced.
#include "fileio/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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
    QTest::addColumn<QString>("reason"); // empty: the file is written; DIR: the test's folder
    QTest::addColumn<bool>("refuseLinks");
    QTest::newRow("new file") << "new.csv"
                              << "" << false;
    QTest::newRow("regular file") << "old.csv"
                                  << "" << false;
    QTest::newRow("folder") << "folder"
                            << "it is a folder" << false;
    QTest::newRow("FIFO") << "fifo"
                          << "it is a FIFO, not a file" << false;
    QTest::newRow("socket") << "socket"
                            << "it is a socket, not a file" << false;
    QTest::newRow("device") << "/dev/null"
                            << "it is a device, not a file" << false;
    QTest::newRow("link to a device") << "null-link"
                                      << "it is a device, not a file" << false;
    QTest::newRow("read-only file") << "readonly.csv"
                                    << "it is read-only" << false;
    // The window's Save As keeps the operator's own link and replaces the file it names.
    QTest::newRow("link to a file, followed") << "file-link"
                                              << "" << false;
    // An unattended run writes only where it was told: a link planted there is refused.
    QTest::newRow("link to a file, refused")
        << "file-link"
        << "it is a symbolic link to DIR/outside.csv, not a file: nothing is written through it"
        << true;
    QTest::newRow("regular file, links refused") << "old.csv"
                                                 << "" << true;
}

void TestAtomicFile::onlyRegularFilesAreReplaced() {
    QFETCH(QString, target);
    QFETCH(QString, reason);
    QFETCH(bool, refuseLinks);
    QTemporaryDir dir;
    reason.replace("DIR", dir.path());
    const QString outside = dir.filePath("outside.csv");
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
    } else if (target == "file-link") {
        QFile f(outside);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write("before") == 6);
        f.close();
        QVERIFY(QFile::link(outside, path));
    }
    const mode_t before = kindAt(path);

    const AtomicFile::Result result = AtomicFile::writeWhole(
        path, "after", refuseLinks ? AtomicFile::Links::Refuse : AtomicFile::Links::Follow);

    if (socketFd >= 0)
        ::close(socketFd);
    if (reason.isEmpty()) {
        QVERIFY2(result.ok, qPrintable(result.reason));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("after"));
        if (target == "file-link")
            QVERIFY(QFileInfo(path).isSymLink()); // the link stays, its file was replaced
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(),
                 target == "file-link" ? 2 : 1); // no temporary file left behind
        return;
    }
    QVERIFY(!result.ok);
    QCOMPARE(result.reason, reason);
    QCOMPARE(kindAt(path), before); // still what it was, not a file renamed over it
    QCOMPARE(QFileInfo(path).isSymLink(), target.endsWith("link"));
    if (target == "readonly.csv" || target == "file-link") {
        QFile f(target == "file-link" ? outside : path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("before"));
    }
}

QTEST_GUILESS_MAIN(TestAtomicFile)
#include "tst_atomicfile.moc"
