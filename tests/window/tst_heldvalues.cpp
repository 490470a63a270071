// Undo and redo against values the controller has taken (size detection, a taught origin
// shift, confirmed soft limits): no step of their own, left as the controller holds them, with
// the modified flag telling whether the tables are the file's and the panels showing them.
#include "FileBytes.h"
#include "WindowRig.h"
#include "pointdata/DependentDisplays.h"
#include "pointdata/ParameterTableModel.h"
#include "pointdata/PointTableModel.h"
#include "pointdata/SettingsFile.h"
#include "pointops/PointDrive.h"
#include "pointops/SizeDetection.h"
#include "pointops/ui/DrivePanel.h"
#include "pointops/ui/SizeDetectionPanel.h"
#include "pointops/ui/frmMain.h"
#include "pulse/PulseDrive.h"
#include "pulse/PulseParameterModel.h"
#include "pulse/PulseSettingsFile.h"
#include "pulse/ZoneTableModel.h"
#include "pulse/ui/PulsePanel.h"
#include "pulse/ui/frmpulseMaindemo.h"
#include "window/ui/TableHistory.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using Answer = OperatorInteraction::Answer;

namespace {

using PointRig = WindowRig<frmMain>;
using PulseRig = WindowRig<frmpulseMaindemo>;
using PointAction = std::function<void(PointRig&)>;

// Setting Values of a parameter table of either kind, by parameter number.
template <typename Table>
void setValues(Table& table, std::initializer_list<std::pair<int, const char*>> values) {
    for (const auto& [n, value] : values)
        for (ParameterRow& row : table)
            if (row.number == n)
                row.setting = QString::fromLatin1(value);
}

// What the controller takes, each a way it comes to hold parameters the window then shows;
// the action runs from the window's own controls.
QHash<QString, PointAction> controllerActions() {
    const auto press = [](PointRig& r, const char* name) {
        auto* button = r.window->findChild<QPushButton*>(QLatin1String(name));
        QVERIFY2(button && button->isEnabled(), name);
        button->click();
    };
    const auto type = [](PointRig& r, const char* box, const QString& text) {
        r.window->findChild<QLineEdit*>(QLatin1String(box))->setText(text);
    };
    return {
        {"Valid", [press](PointRig& r) { press(r, SizeCtl::Valid); }},
        {"size SET",
         [press, type](PointRig& r) {
             type(r, SizeCtl::Max, "12.5");
             type(r, SizeCtl::Min, "-3");
             press(r, SizeCtl::Set);
         }},
        {"Maximum setting",
         [press, type](PointRig& r) {
             r.controller->setPushObjectAt(1234);
             type(r, SizeCtl::Direction, "C");
             type(r, SizeCtl::Speed, "5");
             type(r, SizeCtl::Level, "3");
             press(r, SizeCtl::TeachMax);
         }},
        {"origin shift SET",
         [press, type](PointRig& r) {
             press(r, "Cmd_SetBase");
             type(r, "Txt_Pos", "1.5");
             press(r, "Cmd_Set");
         }},
        {"Transmit(Parameters)", [](PointRig& r) { trigger(*r.window, "mnuToolsTranA"); }},
    };
}

} // namespace

class TestHeldValues : public QObject {
    Q_OBJECT
  private slots:
    void controllerTakenValuesStay_data();
    void controllerTakenValuesStay();
};

void TestHeldValues::controllerTakenValuesStay_data() {
    QTest::addColumn<bool>("pulse");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QList<int>>("taken"); // the parameters the controller holds afterwards
    QTest::addColumn<QString>("step");     // Edit > Undo's step then
    const QString open = "table change by Open (%1 as the controller holds %2)";
    QTest::newRow("point: Valid") << false << "Valid" << QList<int>{33}
                                  << open.arg("parameter 33 stays", "it");
    QTest::newRow("point: size SET") << false << "size SET" << QList<int>{31, 32}
                                     << open.arg("parameters 31 and 32 stay", "them");
    QTest::newRow("point: Maximum setting")
        << false << "Maximum setting" << QList<int>{31} << open.arg("parameter 31 stays", "it");
    QTest::newRow("point: origin shift SET") << false << "origin shift SET" << QList<int>{35, 1, 2}
                                             << open.arg("parameters 1, 2 and 35 stay", "them");
    QTest::newRow("point: Transmit(Parameters)")
        << false << "Transmit(Parameters)" << QList<int>{1, 2}
        << open.arg("parameters 1 and 2 stay", "them");
    QTest::newRow("pulse: origin shift SET")
        << true << "origin shift SET" << QList<int>{35} << open.arg("parameter 35 stays", "it");
}

// A file opened, then a value the controller takes: that value is no step, and undoing or
// redoing the Open leaves it as the controller holds it; the flag tells whether the tables
// are the file's, and the panels show the tables.
void TestHeldValues::controllerTakenValuesStay() {
    QFETCH(bool, pulse);
    QFETCH(QString, action);
    QFETCH(QList<int>, taken);
    QFETCH(QString, step);

    auto check = [&](auto& rig, GridTableModel& first, ParameterRowsModel& params,
                     const QByteArray& file, auto act, auto shown) {
        MainWindowBase& w = *rig.window;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const GridTableModel::TableImage start = first.image();
        const QString path = rig.dir.filePath("open.csv");
        QVERIFY(writeFileBytes(path, file));
        rig.op.fileNames << path;
        trigger(w, "mnuFileOpen");
        QVERIFY(!first.modified());
        QHash<int, QString> inFile;
        for (int n : taken)
            inFile[n] = params.settingValue(n);

        act(rig);
        QTest::qWait(20);
        QHash<int, QString> held;
        bool differs = false;
        for (int n : taken) {
            held[n] = params.settingValue(n);
            QCOMPARE(held[n], rig.controller->parameter(n));
            differs = differs || held[n] != inFile[n];
        }
        QCOMPARE(first.modified(), differs);
        TableHistory& h = w.history();
        QCOMPARE(h.undoSteps(), 1); // the Open: what the controller took is no step
        QCOMPARE(h.undoText(), step);
        const auto stillHeld = [&] {
            for (int n : taken)
                QCOMPARE(params.settingValue(n), held[n]);
            shown(rig);
        };

        w.action("mnuEditUndo")->trigger();
        QCOMPARE(first.image(), start);
        QVERIFY(first.modified()); // not the file's tables
        stillHeld();
        w.action("mnuEditRedo")->trigger();
        QVERIFY(first.image() != start);
        QCOMPARE(first.modified(), differs);
        stillHeld();
    };

    if (pulse) {
        PulseRig rig;
        rig.start(VirtualController::Kind::Pulse, "COM2");
        auto& params = rig.window->parameters();
        ZoneTableData zones{};
        zones[3] = {"4.00", "8.00", "file"};
        PulseParameterData table = params.table();
        setValues(table, {{35, "300"}});
        const auto originShift = [](PulseRig& r) {
            r.op.answers = {Answer::No}; // the origin as target, no teaching
            r.window->drive().teachClicked(true);
            r.window->panel()->findChild<QLineEdit*>("Txt_Pos")->setText("1.5");
            r.window->panel()->button("Cmd_Set")->click();
        };
        check(rig, rig.window->zones(), params, PulseSettingsFile::write(zones, table), originShift,
              [](PulseRig& r) {
                  QCOMPARE(r.window->panelText(2),
                           ParameterRows::originShiftText(r.window->parameters().settingValue(35)));
              });
    } else {
        PointRig rig;
        rig.start(VirtualController::Kind::Point, "COM1");
        auto& params = rig.window->parameters();
        PointTableData points{};
        points[9] = {"I", "3.00", "7", "", "from file"};
        ParameterTableData table = params.table();
        setValues(table,
                  {{1, "1500"}, {2, "-10"}, {31, "1000"}, {32, "-1000"}, {33, "1"}, {35, "300"}});
        check(rig, rig.window->points(), params, SettingsFile::write(points, table),
              controllerActions().value(action), [](PointRig& r) {
                  const DependentDisplays d =
                      DependentDisplays::compute(r.window->parameters().table());
                  SizeDetectionPanel* size = r.window->sizePanel();
                  QCOMPARE(size->functionValidShown(), d.sizeDetectionValid);
                  QCOMPARE(size->box(SizeCtl::Max)->text(), d.maxPoint);
                  QCOMPARE(size->box(SizeCtl::Min)->text(), d.minPoint);
                  QCOMPARE(r.window->panelText(2), d.originShift);
              });
    }
}

QTEST_MAIN(TestHeldValues)
#include "tst_heldvalues.moc"
