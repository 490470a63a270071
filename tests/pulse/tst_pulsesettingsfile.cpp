// The pulse-train settings file: its bytes, the checks before anything changes, and New,
// Open and Save As on the window's tables.
#include "FileBytes.h"
#include "ScriptedOperator.h"
#include "fileio/BoundedFile.h"
#include "files/SettingsFileFlow.h"
#include "pulse/PulseFileOps.h"
#include "pulse/PulseParameterModel.h"
#include "pulse/PulseParameters.h"
#include "pulse/PulseSettingsFile.h"
#include "pulse/ZoneTableModel.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using Answer = OperatorInteraction::Answer;
using ReadError = PulseSettingsFile::ReadError;

namespace {

QByteArray knownFile() {
    return fileBytes(QFINDTESTDATA("data/known_pulse.csv"));
}

// The window's two tables with the file sequences on them.
struct Tables {
    ScriptedOperator op;
    ZoneTableModel zones{op};
    PulseParameterModel parameters{op};
    PulseFileOps file{zones, parameters};
};

} // namespace

class TestPulseSettingsFile final : public QObject {
    Q_OBJECT
  private slots:
    void openThenSaveAsReproducesTheFile();
    void readRules_data();
    void readRules();
    void positionsAndNotesAsRead();
    void refusedFilesChangeNothing_data();
    void refusedFilesChangeNothing();
    void newFileTakesTheCurrentType();
    void saveAsNeverWritesWhatOpenRefuses();
    void japaneseCodePageFileRoundTrips();
};

void TestPulseSettingsFile::openThenSaveAsReproducesTheFile() {
    QTemporaryDir dir;
    const QString out = dir.filePath("copy.csv");
    Tables t;
    t.op.answers << Answer::No; // "Do you save data?" for the edit below
    t.op.fileNames << QFINDTESTDATA("data/known_pulse.csv") << out;
    QSignalSpy caption(&t.file, &PulseFileOps::captionChanged);
    t.zones.setModified(true);

    QVERIFY(SettingsFileFlow::open(t.op, t.file));
    QVERIFY(t.zones.modified()); // Open leaves the flag as it was
    QCOMPARE(t.zones.zone(2).note, QString("say \"hi\", then go"));
    QCOMPARE(t.parameters.actuatorType(), QString("31"));
    QCOMPARE(t.parameters.settingValue(35), QString("-150"));
    QCOMPARE(t.parameters.rows()[1].initial, QString("100")); // type 31's defaults
    QCOMPARE(caption.count(), 0);

    QVERIFY(SettingsFileFlow::saveAs(t.op, t.file));
    QCOMPARE(fileBytes(out), knownFile());
    QVERIFY(!t.zones.modified());
    QCOMPARE(caption.at(0).at(0).toString(),
             "QRX Support-Software" + QDir::toNativeSeparators(out));
    QCOMPARE(t.op.texts("message"), (QStringList{"    Complete.", "    Complete."}));
    QCOMPARE(t.op.prompts[1].title, QString("Open"));
    QCOMPARE(t.op.prompts[3].title, QString("Save As"));
}

void TestPulseSettingsFile::readRules_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("error");
    const QByteArray file = knownFile();
    const auto replaced = [&](const char* from, const QByteArray& to) {
        return QByteArray(file).replace(from, to);
    };
    QTest::newRow("whole file") << file << int(ReadError::None);
    QTest::newRow("69 records") << firstLines(file, 69) << int(ReadError::None);
    QTest::newRow("68 records") << firstLines(file, 68) << int(ReadError::TooFewRecords);
    QTest::newRow("empty") << QByteArray() << int(ReadError::NotSettingsFile);
    QTest::newRow("other first word")
        << replaced("QRX,", "QRY,") << int(ReadError::NotSettingsFile);
    // A point-input file: its second line is no zone line.
    QTest::newRow("point-input file")
        << fileBytes(QFINDTESTDATA("../pointdata/data/known_table.csv")) << int(ReadError::BadLine);
    QTest::newRow("type 34") << replaced("PRM0=,31,", "PRM0=,34,")
                             << int(ReadError::UnsupportedType);
    QTest::newRow("type missing") << replaced("PRM0=,31,", "PRM0=,,")
                                  << int(ReadError::UnsupportedType);
    QTest::newRow("parameter not a number")
        << replaced("PRM4=,80,", "PRM4=,8O,") << int(ReadError::BadValue);
    QTest::newRow("held parameter marked")
        << replaced("PRM53=,1000,", "PRM53=,**,") << int(ReadError::BadValue);
    QTest::newRow("position not a number")
        << replaced("Z0=,10.00,", "Z0=,1e1,") << int(ReadError::BadValue);
    QTest::newRow("note too long")
        << replaced(",pick,", "," + QByteArray(257, 'n') + ",") << int(ReadError::BadValue);
    QTest::newRow("longest note") << replaced(",pick,", "," + QByteArray(256, 'n') + ",")
                                  << int(ReadError::None);
    QTest::newRow("LF line ends") << QByteArray(file).replace("\r\n", "\n") << int(ReadError::None);
    QTest::newRow("LF CR line ends")
        << QByteArray(file).replace("\r\n", "\n\r") << int(ReadError::None);
    QTest::newRow("type with blanks around it")
        << replaced("PRM0=,31,", "PRM0=, 31 ,") << int(ReadError::None);
    // What a reply can put into the tables opens; Transmit refuses it before anything is erased.
    QTest::newRow("zone A beyond 40")
        << replaced("Z0=,10.00,", "Z0=,45.00,") << int(ReadError::None);
    QTest::newRow("acceleration 150")
        << replaced("PRM4=,80,", "PRM4=,150,") << int(ReadError::None);
    QTest::newRow("choice 2") << replaced("PRM5=,1,", "PRM5=,2,") << int(ReadError::None);
    QTest::newRow("parameter not whole")
        << replaced("PRM4=,80,", "PRM4=,5.5,") << int(ReadError::None);
    QTest::newRow("zone line missing") << replaced("Z1=,,,,,\r\n", "") << int(ReadError::BadLine);
    QTest::newRow("10000 fields on a line")
        << replaced("PRM1=,**,,,,", "PRM1=" + QByteArray(10000, ',')) << int(ReadError::BadLine);
    // A note may hold its commas bare, but not run into the empty fields after it.
    QTest::newRow("bare comma before a value")
        << replaced("Z1=,,,,,", "Z1=,,,a,b,c,") << int(ReadError::BadLine);
}

void TestPulseSettingsFile::readRules() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, error);
    const auto result = PulseSettingsFile::read(bytes);
    QCOMPARE(int(result.error), error);
    QCOMPARE(result.ok, error == int(ReadError::None));
}

void TestPulseSettingsFile::positionsAndNotesAsRead() {
    QByteArray file = knownFile();
    file.replace("Z1=,,,,,", "Z1=,5,5,,,");
    file.replace("Z3=,0.00,3.00,,,", "Z3=,-2.5,-3.456,\"a\r\nb\",,");
    const auto result = PulseSettingsFile::read(file);
    QVERIFY(result.ok);
    QCOMPARE(result.zones[1], (ZoneRecord{"5", "5.00", ""})); // B formatted, A as read
    QCOMPARE(result.zones[3], (ZoneRecord{"-2.5", "-3.46", "a\r\nb"}));
    QCOMPARE(result.parameters[0].setting, QString("31"));
    QCOMPARE(result.parameters[1].setting, QString("80"));

    // What is written reads back the same, notes with separators included.
    const auto again =
        PulseSettingsFile::read(PulseSettingsFile::write(result.zones, result.parameters));
    QVERIFY(again.ok);
    QVERIFY(again.zones == result.zones);
    QVERIFY(again.parameters == result.parameters);
    // A file that quotes no note keeps its bare notes, commas and quotes included, byte for
    // byte.
    QByteArray bare = knownFile();
    bare.replace("Z2=,-5.50,-12.25,\"say \"\"hi\"\", then go\",,",
                 "Z2=,-5.50,-12.25,say \"hi\", then go,,");
    const auto opened = PulseSettingsFile::read(bare);
    QVERIFY(opened.ok);
    QCOMPARE(opened.zones[2].note, QString("say \"hi\", then go"));
    QCOMPARE(PulseSettingsFile::write(opened.zones, opened.parameters, opened.form), bare);
}

void TestPulseSettingsFile::refusedFilesChangeNothing_data() {
    QTest::addColumn<QString>("kind"); // how the chosen path is made
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("type 34") << "file" << QByteArray(knownFile()).replace("PRM0=,31,", "PRM0=,34,")
                             << "Controller type is different.";
    QTest::newRow("short file") << "file" << firstLines(knownFile(), 40) << "Cannot open file.";
    QTest::newRow("too large")
        << "file" << QByteArray(knownFile()).append(BoundedFile::SettingsFileMaxBytes, ' ')
        << "Cannot open file.";
    QTest::newRow("folder") << "dir" << QByteArray() << "Cannot open file.";
    QTest::newRow("missing") << "none" << QByteArray() << "Cannot open file.";
#ifdef Q_OS_UNIX
    QTest::newRow("pipe") << "fifo" << QByteArray() << "Cannot open file.";
#endif
}

void TestPulseSettingsFile::refusedFilesChangeNothing() {
    QFETCH(QString, kind);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QTemporaryDir dir;
    const QString path = dir.filePath("in.csv");
    if (kind == "file")
        QVERIFY(writeFileBytes(path, bytes));
    if (kind == "dir")
        QVERIFY(QDir(dir.path()).mkdir("in.csv"));
#ifdef Q_OS_UNIX
    if (kind == "fifo") // would block a plain read forever
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
#endif
    Tables t;
    t.op.fileNames << path;
    t.zones.setTable({ZoneRecord{"1.00", "2.00", "kept"}});
    t.parameters.setTable(PulseParameters::initialTable("32"));
    QSignalSpy replaced(&t.file, &PulseFileOps::tablesReplaced);

    QVERIFY(!SettingsFileFlow::open(t.op, t.file));
    QCOMPARE(t.op.texts("message"), QStringList{text});
    QCOMPARE(t.op.endCalls, 0); // a foreign type is refused, the program goes on
    QCOMPARE(t.zones.zone(0).note, QString("kept"));
    QCOMPARE(t.parameters.table(), PulseParameters::initialTable("32"));
    QCOMPARE(replaced.count(), 0);
}

void TestPulseSettingsFile::newFileTakesTheCurrentType() {
    Tables t;
    t.op.answers << Answer::No;
    t.parameters.setTable(PulseParameters::initialTable("33"));
    t.parameters.setSettingValue(4, "50");
    t.zones.setTable({ZoneRecord{"1.00", "2.00", "gone"}});
    t.zones.setModified(true);
    QSignalSpy replaced(&t.file, &PulseFileOps::tablesReplaced);

    QVERIFY(SettingsFileFlow::newFile(t.op, t.file));
    QCOMPARE(t.op.texts("yesnocancel"), QStringList{"Do you save data?"});
    QVERIFY(t.zones.table() == ZoneTableData{});
    QCOMPARE(t.parameters.table(), PulseParameters::initialTable("33"));
    QVERIFY(!t.zones.modified());
    QCOMPARE(replaced.count(), 1);
}

// A note longer than Open takes (a controller's zone reply can carry one): the save fails and
// no file is left behind.
void TestPulseSettingsFile::saveAsNeverWritesWhatOpenRefuses() {
    QTemporaryDir dir;
    const QString path = dir.filePath("long.csv");
    Tables t;
    t.op.fileNames << path;
    t.zones.setTable({ZoneRecord{"1.00", "2.00", QString(300, 'n')}});
    t.zones.setModified(true);
    QVERIFY(!SettingsFileFlow::saveAs(t.op, t.file));
    QVERIFY(!QFile::exists(path));
    QVERIFY(t.zones.modified());
    QVERIFY(t.op.last().text.endsWith(" cannot be saved."));
    QCOMPARE(t.op.last().informative, "Zone 0, Note: longer than 256 characters");
}

// Zone notes written on a Japanese system open right, and the file saved unchanged keeps every
// byte.
void TestPulseSettingsFile::japaneseCodePageFileRoundTrips() {
    ZoneTableData zones{};
    zones[0] = {"-10.00", "-20.00", QString::fromUtf8("原点側①")};
    zones[3] = {"0.00", "5.00", QString::fromUtf8("ﾜｰｸ検出～")};
    QStringEncoder japanese("windows-31j");
    const QByteArray original = japanese.encode(
        QString::fromUtf8(PulseSettingsFile::write(zones, PulseParameters::initialTable("32"))));
    QVERIFY(!japanese.hasError());
    QTemporaryDir dir;
    const QString in = dir.filePath("japanese.csv");
    const QString out = dir.filePath("again.csv");
    QVERIFY(writeFileBytes(in, original));

    Tables t;
    t.op.fileNames << in << out;
    QVERIFY(SettingsFileFlow::open(t.op, t.file));
    QCOMPARE(t.zones.zone(0).note, zones[0].note);
    QCOMPARE(t.zones.zone(3).note, zones[3].note);
    QVERIFY(SettingsFileFlow::saveAs(t.op, t.file));
    QCOMPARE(fileBytes(out), original);
}

QTEST_GUILESS_MAIN(TestPulseSettingsFile)
#include "tst_pulsesettingsfile.moc"
