// qrx5-cli --diff: two settings files compared without a controller, the real binary.
#include "CliProcess.h"
#include "FileBytes.h"

#include <QTest>

using namespace cliprocess;

class TestCliDiff final : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void exitStatusAndDifferences_data();
    void exitStatusAndDifferences();
};

void TestCliDiff::initTestCase() {
    if (qEnvironmentVariable("QRX5_CLI_BIN").isEmpty())
        QSKIP("QRX5_CLI_BIN is not set");
}

void TestCliDiff::exitStatusAndDifferences_data() {
    QTest::addColumn<QByteArray>("a"); // empty: the file is not there
    QTest::addColumn<QByteArray>("b");
    QTest::addColumn<QStringList>("more"); // further arguments
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out"); // standard output, exactly
    QTest::addColumn<QString>("err"); // contained in standard error

    const QByteArray point = settingsFile();
    PointTableData points{};
    points[7] = {"O", "", "5", "3", "first\nsecond"};
    const ParameterTableData params = PointParameters::initialTable("31");
    const QByteArray noted = SettingsFile::write(points, params);
    points[5] = {"A", "7.50", "20", "", ""};
    points[7].note = "first\rsecond";
    const QByteArray changed = SettingsFile::write(points, params);

    QTest::newRow("same tables, other line ends")
        << point << QByteArray(point).replace("\r\n", "\n") << QStringList{} << 0 << ""
        << "Compare: Comparison of data has finished successfully.";
    QTest::newRow("a point set and a note's line end")
        << noted << changed << QStringList{} << 1
        << "Point 5, Mode: file A \"\", file B \"A\"\n"
           "Point 5, Position: file A \"\", file B \"7.50\"\n"
           "Point 5, Speed: file A \"\", file B \"20\"\n"
           "Point 7, Note: file A \"first<LF>second\", file B \"first<CR>second\"\n"
        << "Compare: Point_No5 NG";
    QTest::newRow("pulse-train zone and parameter")
        << pulseFile() << QByteArray(pulseFile("-35.00")).replace("PRM53=,1999", "PRM53=,1998")
        << QStringList{} << 1
        << "Zone 2, Position B: file A \"-30.00\", file B \"-35.00\"\n"
           "Parameter 53, INPOS response time: file A \"1999\", file B \"1998\"\n"
        << "Compare: Zone_No2 NG";
    QTest::newRow("file B missing") << point << QByteArray() << QStringList{} << 2 << ""
                                    << "b.csv: Cannot open file.";
    QTest::newRow("file A refused with its line and field")
        << QByteArray(point).replace("P5=,U,5.00,30,4,", "P5=,U,5.00,30,4x,") << point
        << QStringList{} << 2 << ""
        << "a.csv: Cannot open file.\n  line 7, Point 5, Pushing level: \"4x\" is not a number";
    QTest::newRow("two kinds") << point << pulseFile() << QStringList{} << 2 << ""
                               << "controller: files of two kinds are not compared.";
    QTest::newRow("two actuator types")
        << point << QByteArray(point).replace("PRM0=,31", "PRM0=,33") << QStringList{} << 2 << ""
        << "for actuator type 33: files of two actuator types are not compared.";
    QTest::newRow("only one file") << point << QByteArray() << QStringList{"ONLY_A"} << 64 << ""
                                   << "--diff takes two files";
    QTest::newRow("with a port") << point << point << QStringList{"--port", "COM1"} << 64 << ""
                                 << "it takes no --port";
}

void TestCliDiff::exitStatusAndDifferences() {
    QFETCH(QByteArray, a);
    QFETCH(QByteArray, b);
    QFETCH(QStringList, more);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QTemporaryDir dir;
    const QString pathA = dir.filePath("a.csv");
    const QString pathB = dir.filePath("b.csv");
    QVERIFY(writeFileBytes(pathA, a));
    if (!b.isEmpty())
        QVERIFY(writeFileBytes(pathB, b));
    QStringList args{"--diff", pathA};
    if (more.value(0) == "ONLY_A")
        more.clear();
    else
        args << pathB;

    const Run r = cli(args + more);

    QCOMPARE(r.status, status);
    QCOMPARE(r.out, out);
    QVERIFY2(r.err.contains(err), qPrintable(r.err));
}

QTEST_GUILESS_MAIN(TestCliDiff)
#include "tst_clidiff.moc"
