#include "link/PortName.h"
#include "link/Profile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

class TestProfile : public QObject {
    Q_OBJECT
  private slots:
    void missingFileGivesErrorAndCom1();
    void portFromValue_data();
    void portFromValue();
    void namesAreCaseInsensitiveAndQuotesDropped();
    void longValueIsCut();
    void writeKeepsOtherLines();
    void writeCreatesFileAndSection();
    void writeReplacesExistingValue();
    void portMap();
    void writeKeepsEveryOtherLineByteForByte_data();
    void writeKeepsEveryOtherLineByteForByte();
    void byteOrderMarkAndUtf8Path();
    void unreadableFileIsSaidAndNeverReplaced_data();
    void unreadableFileIsSaidAndNeverReplaced();
    void portMapKeepsEveryOtherByte_data();
    void portMapKeepsEveryOtherByte();

  private:
    QString write(const QByteArray& content) {
        const QString path = m_dir.filePath("QRX5.ini");
        QFile f(path);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(content);
        return path;
    }
    QByteArray read(const QString& path) {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }
    QTemporaryDir m_dir;
};

void TestProfile::missingFileGivesErrorAndCom1() {
    const QString path = m_dir.filePath("none.ini");
    QCOMPARE(Profile::ReadSetting("COM", "Data", path), QString("ERROR"));
    QCOMPARE(PortName::readFromIni(path), QString("COM1"));
}

void TestProfile::portFromValue_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("port");
    QTest::newRow("7") << QByteArray("[Data]\r\nCOM=7\r\n") << "COM7";
    QTest::newRow("8") << QByteArray("[Data]\r\nCOM=8\r\n") << "COM8";
    QTest::newRow("written form") << QByteArray("[Data]\r\nCOM= 3\r\n") << "COM3";
    QTest::newRow("blanks around") << QByteArray("[Data]\r\nCOM =  5  \r\n") << "COM5";
    QTest::newRow("12") << QByteArray("[Data]\r\nCOM=12\r\n") << "COM1";
    QTest::newRow("9") << QByteArray("[Data]\r\nCOM=9\r\n") << "COM1";
    QTest::newRow("0") << QByteArray("[Data]\r\nCOM=0\r\n") << "COM1";
    QTest::newRow("empty") << QByteArray("[Data]\r\nCOM=\r\n") << "COM1";
    QTest::newRow("text") << QByteArray("[Data]\r\nCOM=abc\r\n") << "COM1";
    QTest::newRow("negative") << QByteArray("[Data]\r\nCOM=-3\r\n") << "COM1";
    QTest::newRow("other section") << QByteArray("[Other]\r\nCOM=4\r\n") << "COM1";
    QTest::newRow("LF only") << QByteArray("[Data]\nCOM=6\n") << "COM6";
    QTest::newRow("mixed case") << QByteArray("[dATA]\r\ncom=2\r\n") << "COM2";
}

void TestProfile::portFromValue() {
    QFETCH(QByteArray, content);
    QFETCH(QString, port);
    QCOMPARE(PortName::readFromIni(write(content)), port);
}

void TestProfile::namesAreCaseInsensitiveAndQuotesDropped() {
    const QString path = write("; comment\r\n[DATA]\r\nKey=\"quoted value\"\r\n");
    QCOMPARE(Profile::ReadSetting("key", "data", path), QString("quoted value"));
    QCOMPARE(Profile::ReadSetting("missing", "data", path), QString("ERROR"));
}

void TestProfile::longValueIsCut() {
    const QString path = write("[Data]\r\nCOM=" + QByteArray(300, 'x') + "\r\n");
    QCOMPARE(Profile::ReadSetting("COM", "Data", path).size(), 254);
}

void TestProfile::writeKeepsOtherLines() {
    const QString path =
        write("; kept comment\r\n[Ports]\r\nCOM1=sim:point\r\n\r\n[data]\r\nCom=7\r\nOther=1\r\n");
    QVERIFY(PortName::writeToIni(path, "COM3"));
    QCOMPARE(read(path), QByteArray("; kept comment\r\n[Ports]\r\nCOM1=sim:point\r\n\r\n"
                                    "[data]\r\nCOM= 3\r\nOther=1\r\n"));
    QCOMPARE(PortName::readFromIni(path), QString("COM3"));
}

void TestProfile::writeCreatesFileAndSection() {
    const QString path = m_dir.filePath("new.ini");
    QVERIFY(PortName::writeToIni(path, "COM8"));
    QCOMPARE(read(path), QByteArray("[Data]\r\nCOM= 8\r\n"));
    const QString other = write("[Ports]\r\nCOM2=/dev/ttyUSB0\r\n");
    QVERIFY(PortName::writeToIni(other, "COM2"));
    QCOMPARE(read(other), QByteArray("[Ports]\r\nCOM2=/dev/ttyUSB0\r\n[Data]\r\nCOM= 2\r\n"));
}

void TestProfile::writeReplacesExistingValue() {
    const QString path = write("[Data]\r\nX=1\r\n\r\n[Next]\r\nY=2\r\n");
    QVERIFY(PortName::writeToIni(path, "bad name"));
    QCOMPARE(read(path), QByteArray("[Data]\r\nX=1\r\nCOM= 1\r\n\r\n[Next]\r\nY=2\r\n"));
}

void TestProfile::portMap() {
    const QString path = write("[Ports]\r\nCOM2=/dev/ttyUSB0\r\nCOM3=sim:pulse\r\n");
    QCOMPARE(PortName::target(path, "COM2"), QString("/dev/ttyUSB0"));
    QCOMPARE(PortName::target(path, "COM3"), QString("sim:pulse"));
    QCOMPARE(PortName::target(path, "COM4"), QString("/dev/ttyS3"));
    QCOMPARE(PortName::target(path, "COM9"), QString("/dev/ttyS0"));
}

void TestProfile::writeKeepsEveryOtherLineByteForByte_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("LF line ends") << QByteArray("; note  \n[Data]\nCOM=2\n")
                                  << QByteArray("; note  \n[Data]\nCOM= 3\n");
    QTest::newRow("mixed line ends, blanks kept")
        << QByteArray("[Ports]\r\n  COM1 = sim:point \n[Data]\r\ncom=2\n")
        << QByteArray("[Ports]\r\n  COM1 = sim:point \n[Data]\r\nCOM= 3\n");
    QTest::newRow("last line without line end")
        << QByteArray("[Data]\r\nX=1") << QByteArray("[Data]\r\nX=1\r\nCOM= 3\r\n");
    QTest::newRow("Latin-1 comment") << QByteArray("; caf\xe9\r\n[Data]\r\nCOM=1\r\n")
                                     << QByteArray("; caf\xe9\r\n[Data]\r\nCOM= 3\r\n");
    QTest::newRow("lone CR kept inside a line")
        << QByteArray("a=1\rb=2\n[Data]\nCOM=1\n") << QByteArray("a=1\rb=2\n[Data]\nCOM= 3\n");
}

void TestProfile::writeKeepsEveryOtherLineByteForByte() {
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    const QString path = write(before);
    QVERIFY(PortName::writeToIni(path, "COM3"));
    QCOMPARE(read(path), after);
}

void TestProfile::byteOrderMarkAndUtf8Path() {
    const QByteArray bom = "\xEF\xBB\xBF";
    const QByteArray rest = "\r\n[Ports]\r\nCOM4=/dev/serial/by-id/usb-Ger\xC3\xA4t\r\n";
    const QString path = write(bom + "[Data]\r\nCOM=4" + rest);
    QCOMPARE(PortName::readFromIni(path), QString("COM4"));
    QCOMPARE(PortName::target(path, "COM4"), QString("/dev/serial/by-id/usb-Ger\u00e4t"));
    QVERIFY(PortName::writeToIni(path, "COM5"));
    QCOMPARE(read(path), bom + "[Data]\r\nCOM= 5" + rest);
}

// A FIFO in place of the INI file would hang start-up; a huge file would be read at every
// exchange; a folder or binary bytes are no INI file. None is read, none is replaced, and the
// operator is told why, with the port used instead.
void TestProfile::unreadableFileIsSaidAndNeverReplaced_data() {
    QTest::addColumn<QString>("kind"); // "fifo", "folder", or a file of the bytes below
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason"); // empty: the file is read (its port COM6)
    const QByteArray good = "[Data]\r\nCOM=6\r\n";
    QTest::newRow("FIFO") << "fifo" << QByteArray()
                          << "it is a device, a FIFO or a socket, not a file";
    QTest::newRow("folder") << "folder" << QByteArray() << "it is a folder";
    QTest::newRow("binary") << "file"
                            << good + QByteArray("\x7f"
                                                 "ELF\0\x02",
                                                 6)
                            << "it holds binary data, not text";
    QTest::newRow("beyond the cap") << "file" << good + QByteArray(Profile::MaxFileBytes, ';')
                                    << "it is larger than 64 KiB, far larger than a QRX5.ini";
    QTest::newRow("at the cap")
        << "file" << (good + QByteArray(Profile::MaxFileBytes, ';')).left(Profile::MaxFileBytes)
        << "";
    QTest::newRow("old end-of-file mark") << "file" << good + "\x1a"
                                          << "";
}

void TestProfile::unreadableFileIsSaidAndNeverReplaced() {
    QFETCH(QString, kind);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    const QString path = m_dir.filePath(kind + ".ini");
    if (kind == "fifo") {
#ifdef Q_OS_UNIX
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
#else
        QSKIP("no FIFO here");
#endif
    } else if (kind == "folder") {
        QVERIFY(QDir().mkpath(path));
    } else {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
    }

    QCOMPARE(PortName::readFromIni(path), QString(reason.isEmpty() ? "COM6" : "COM1"));
    QCOMPARE(PortName::readProblem(path, "COM1"),
             reason.isEmpty()
                 ? QString()
                 : QString("QRX5.ini cannot be read; the port is COM1 (/dev/ttyS0). %1: %2")
                       .arg(path, reason));
    QString why;
    QCOMPARE(PortName::writeToIni(path, "COM2", &why), reason.isEmpty());
    QCOMPARE(why, reason);
    if (reason.isEmpty())
        return;
    QCOMPARE(QFileInfo(path).isFile(), kind == "file");
    if (kind == "file")
        QCOMPARE(read(path), bytes);
}

// Mapping a port touches only its own line (or adds it): comments, other sections, blank
// lines, LF line ends and a missing last line end survive byte for byte.
void TestProfile::portMapKeepsEveryOtherByte_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QByteArray>("after");
    const QByteArray head = "; QRX5 settings\r\n[Data]\r\nCOM= 3\r\n\r\n";
    QTest::newRow("added to the section")
        << head + "[Ports]\r\n; line 2\r\nCOM1=sim:point\r\n\r\n[Other]\r\nx = 1 ;note\r\n"
        << "/dev/ttyUSB0"
        << head + "[Ports]\r\n; line 2\r\nCOM1=sim:point\r\nCOM3=/dev/ttyUSB0\r\n\r\n"
                  "[Other]\r\nx = 1 ;note\r\n";
    QTest::newRow("replaced, LF line ends kept")
        << QByteArray("[ports]\n  com3 = /dev/ttyS2\n;end\n") << "sim:pulse"
        << QByteArray("[ports]\nCOM3=sim:pulse\n;end\n");
    QTest::newRow("new section after a last line without its end")
        << QByteArray("[Data]\r\nCOM= 3") << "/dev/ttyACM0"
        << QByteArray("[Data]\r\nCOM= 3\r\n[Ports]\r\nCOM3=/dev/ttyACM0\r\n");
    QTest::newRow("back to the default") << QByteArray("[Ports]\r\nCOM3=/dev/ttyUSB0\r\n") << ""
                                         << QByteArray("[Ports]\r\nCOM3=\r\n");
}

void TestProfile::portMapKeepsEveryOtherByte() {
    QFETCH(QByteArray, before);
    QFETCH(QString, target);
    QFETCH(QByteArray, after);
    const QString path = write(before);
    QVERIFY(PortName::writeTarget(path, "COM3", target));
    QCOMPARE(read(path), after);
    QCOMPARE(PortName::target(path, "COM3"), target.isEmpty() ? QString("/dev/ttyS2") : target);
}

QTEST_GUILESS_MAIN(TestProfile)
#include "tst_profile.moc"
