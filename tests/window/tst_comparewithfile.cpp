// File > "Compare with file..." of both main windows: the window's tables against a settings
// file, read as Open reads it and reported as Compare reports, with nothing sent or changed.
#include "WindowRig.h"
#include "pointdata/ParameterTableModel.h"
#include "pointdata/PointTableModel.h"
#include "pointdata/SettingsFile.h"
#include "pointops/ui/frmMain.h"
#include "pulse/PulseParameterModel.h"
#include "pulse/PulseSettingsFile.h"
#include "pulse/ZoneTableModel.h"
#include "pulse/ui/frmpulseMaindemo.h"
#include "window/ui/TableHistory.h"

#include <QAction>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

class TestCompareWithFile : public QObject {
    Q_OBJECT
  private slots:
    void reportsWhatDiffers_data();
    void reportsWhatDiffers();
};

void TestCompareWithFile::reportsWhatDiffers_data() {
    QTest::addColumn<bool>("pulse");
    QTest::addColumn<QString>("file");   // "same", "different", "foreign", "" (cancelled)
    QTest::addColumn<QString>("result"); // the message text, empty when none
    QTest::addColumn<QString>("details");
    QTest::addColumn<int>("marks");

    QTest::newRow("point: equal") << false << "same"
                                  << "Comparison of data has finished successfully."
                                  << "" << 0;
    QTest::newRow("point: a speed, a note and a parameter")
        << false << "different"
        << "Point_No3 NG"
        << "Point 3, Speed: table \"20\", file \"25\"\n"
           "Point 3, Note: table \"\", file \"x\"\n"
           "Parameter 35, Origin point shift: table \"0\", file \"150\""
        << 3;
    QTest::newRow("point: not a settings file") << false << "foreign"
                                                << "Cannot open file."
                                                << "" << 0;
    QTest::newRow("point: dialog cancelled") << false << ""
                                             << ""
                                             << "" << 0;
    // The window's zone 1 holds "5" where the file holds "5.00": the same position.
    QTest::newRow("pulse: equal") << true << "same"
                                  << "Comparison of data has finished successfully."
                                  << "" << 0;
    QTest::newRow("pulse: a zone position and a parameter")
        << true << "different"
        << "Zone_No1 NG"
        << "Zone 1, Position B: table \"9.00\", file \"8.00\"\n"
           "Parameter 37, Pushing level: table \"10\", file \"4\""
        << 2;
}

void TestCompareWithFile::reportsWhatDiffers() {
    QFETCH(bool, pulse);
    QFETCH(QString, file);
    QFETCH(QString, result);
    QFETCH(QString, details);
    QFETCH(int, marks);

    auto check = [&](auto& rig, GridTableModel& first, GridTableModel& params, QByteArray same,
                     QByteArray different) {
        MainWindowBase& w = *rig.window;
        w.show();
        const QString path = rig.dir.filePath("other.csv");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(file == "same" ? same : file == "different" ? different : "PRM,1,2\r\n");
        f.close();
        if (!file.isEmpty())
            rig.op.fileNames << path;
        const auto before = std::tuple(first.image(), params.image(), first.modified());
        QSignalSpy sent(&w.link(), &Link::commandSent);

        w.action("mnuFileCompare")->trigger();

        QCOMPARE(rig.op.prompts.first().kind, "open");
        QCOMPARE(rig.op.prompts.first().title, "Compare with file");
        QCOMPARE(rig.op.prompts.first().text, "Setting file(*.csv)");
        QCOMPARE(rig.op.prompts.size(), result.isEmpty() ? 1 : 2);
        if (!result.isEmpty()) {
            QCOMPARE(rig.op.last().text, result);
            QCOMPARE(rig.op.last().detailed, details);
        }
        QCOMPARE(w.cellMarks().cells(CompareReport::FirstGrid).size() +
                     w.cellMarks().cells(CompareReport::ParameterGrid).size(),
                 marks);
        QCOMPARE(std::tuple(first.image(), params.image(), first.modified()), before);
        QCOMPARE(sent.size(), 0);
        QCOMPARE(w.history().undoSteps(), 0);
    };

    if (pulse) {
        WindowRig<frmpulseMaindemo> rig;
        rig.start(VirtualController::Kind::Pulse, "COM2");
        ZoneTableData zones{};
        zones[1] = {"5", "9.00", ""};
        rig.window->zones().setTable(zones);
        const PulseParameterData params = rig.window->parameters().table();
        ZoneTableData same = zones;
        same[1] = {"5.00", "9.00", ""};
        ZoneTableData other = zones;
        other[1] = {"5.00", "8.00", ""};
        PulseParameterData otherParams = params;
        otherParams[7].setting = "4"; // parameter 37
        check(rig, rig.window->zones(), rig.window->parameters(),
              PulseSettingsFile::write(same, params), PulseSettingsFile::write(other, otherParams));
    } else {
        WindowRig<frmMain> rig;
        rig.start(VirtualController::Kind::Point, "COM1");
        PointTableData points{};
        points[3] = {"A", "10.00", "20", "", ""};
        rig.window->points().setTable(points);
        const ParameterTableData params = rig.window->parameters().table();
        PointTableData other = points;
        other[3] = {"A", "10.00", "25", "", "x"};
        ParameterTableData otherParams = params;
        otherParams[18].setting = "150"; // parameter 35
        check(rig, rig.window->points(), rig.window->parameters(),
              SettingsFile::write(points, params), SettingsFile::write(other, otherParams));
    }
}

QTEST_MAIN(TestCompareWithFile)
#include "tst_comparewithfile.moc"
