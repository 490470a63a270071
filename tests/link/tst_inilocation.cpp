#include "link/IniLocation.h"
#include "link/PortName.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

// Where QRX5.ini is kept: beside the program when it is there, else in the user's
// configuration folder; and the first write there creates the folder.
class TestIniLocation : public QObject {
    Q_OBJECT
  private slots:
    void choose_data();
    void choose();
    void firstWriteCreatesTheUsersFolder_data();
    void firstWriteCreatesTheUsersFolder();
};

void TestIniLocation::choose_data() {
    QTest::addColumn<QString>("besideEntry"); // what is named QRX5.ini beside the program
    QTest::addColumn<bool>("configFolderKnown");
    QTest::addColumn<bool>("besideWins");
    QTest::newRow("file beside") << "file" << true << true;
    QTest::newRow("link to a file beside") << "link" << true << true;
    QTest::newRow("nothing beside") << "" << true << false;
    QTest::newRow("folder beside") << "folder" << true << false;
    QTest::newRow("dangling link beside") << "dangling" << true << false;
    QTest::newRow("no configuration folder") << "" << false << true;
}

void TestIniLocation::choose() {
    QFETCH(QString, besideEntry);
    QFETCH(bool, configFolderKnown);
    QFETCH(bool, besideWins);
    QTemporaryDir dir;
    const QString program = dir.filePath("bin");
    const QString config = dir.filePath("config");
    QVERIFY(QDir().mkpath(program));
    const QString beside = QDir(program).filePath("QRX5.ini");
    const QString elsewhere = dir.filePath("elsewhere.ini");
    QFile(elsewhere).open(QIODevice::WriteOnly);
    if (besideEntry == "file")
        QVERIFY(QFile(beside).open(QIODevice::WriteOnly));
    else if (besideEntry == "link")
        QVERIFY(QFile::link(elsewhere, beside));
    else if (besideEntry == "folder")
        QVERIFY(QDir().mkpath(beside));
    else if (besideEntry == "dangling")
        QVERIFY(QFile::link(dir.filePath("gone.ini"), beside));

    const QString chosen = IniLocation::choose(program, configFolderKnown ? config : QString());
    QCOMPARE(chosen, besideWins ? beside : config + "/qrx5/QRX5.ini");
    QVERIFY(!QFile::exists(config)); // choosing creates nothing
}

// The port saved lands in a folder that did not exist yet, and the next start reads it back;
// when the folder cannot be made, why is said (the port dialog tells it to the operator).
void TestIniLocation::firstWriteCreatesTheUsersFolder_data() {
    QTest::addColumn<QString>("inTheWay"); // "file": a file named like the configuration folder
    QTest::addColumn<QString>("reason");   // CONFIG: the configuration folder
    QTest::newRow("folder made") << ""
                                 << "";
    QTest::newRow("a file where the folder should be") << "file"
                                                       << "CONFIG is a file, not a folder";
    QTest::newRow("folder not writable")
        << "read-only"
        << "the folder CONFIG/qrx5 cannot be made: Permission denied";
}

void TestIniLocation::firstWriteCreatesTheUsersFolder() {
    QFETCH(QString, inTheWay);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString config = dir.filePath("config");
    if (inTheWay == "file") {
        QVERIFY(QFile(config).open(QIODevice::WriteOnly));
    } else if (inTheWay == "read-only") {
#ifdef Q_OS_UNIX
        if (::geteuid() == 0)
            QSKIP("the superuser writes into any folder");
#endif
        QVERIFY(QDir().mkpath(config));
        QVERIFY(QFile::setPermissions(config, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    }
    reason.replace("CONFIG", config);
    const QString ini = IniLocation::choose(dir.filePath("bin"), config);
    QString why;
    QCOMPARE(PortName::writeToIni(ini, "COM4", &why), reason.isEmpty());
    QCOMPARE(why, reason);
    if (!reason.isEmpty())
        return;
    QCOMPARE(PortName::readFromIni(ini), QString("COM4"));
    QVERIFY(PortName::writeTarget(ini, "COM4", "sim:pulse"));
    QCOMPARE(PortName::target(ini, "COM4"), QString("sim:pulse"));
}

QTEST_GUILESS_MAIN(TestIniLocation)
#include "tst_inilocation.moc"
