// The Edit menu after a paste, a refused paste and Compare with file, each with the real
// message box over its window.
#include "Shots.h"
#include "WindowRig.h"
#include "pointdata/PointTableModel.h"
#include "pointdata/ui/PointGrid.h"
#include "pointops/ui/frmMain.h"
#include "pulse/PulseParameterModel.h"
#include "pulse/PulseSettingsFile.h"
#include "pulse/ZoneTableModel.h"
#include "pulse/ui/frmpulseMaindemo.h"
#include "window/ui/DialogOperator.h"
#include "window/ui/TableHistory.h"

#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

namespace {
// The real dialogs, except that the open dialog answers with a given file.
class ShotOperator final : public OperatorInteraction {
  public:
    DialogOperator real;
    QString file;

    void message(const QString& t, const QString& x, Icon i) override { real.message(t, x, i); }
    void informativeMessage(const QString& t, const QString& x, Icon i,
                            const QString& more) override {
        real.informativeMessage(t, x, i, more);
    }
    void detailedMessage(const QString& t, const QString& x, Icon i, const QString& more) override {
        real.detailedMessage(t, x, i, more);
    }
    Answer askYesNo(const QString& t, const QString& x, Icon i) override {
        return real.askYesNo(t, x, i);
    }
    Answer askYesNoCancel(const QString& t, const QString& x, Icon i) override {
        return real.askYesNoCancel(t, x, i);
    }
    void beep() override {}
    QString openFileName(const FileRequest&) override { return file; }
    QString saveFileName(const FileRequest&) override { return {}; }
    std::unique_ptr<PrintSurface> choosePrinter(const QString&) override { return nullptr; }
    TypeChoice chooseActuatorType(const QString& c) override { return {c, 0}; }
    QString chooseOperationMode() override { return {}; }
    QString numericKeypad(const QString&) override { return {}; }
    SoftLimits softLimitChange(const SoftLimits& c, const SoftLimits&) override { return c; }
    void endProgram() override {}
};
} // namespace

class EditShots final : public QObject {
    Q_OBJECT
  private slots:
    void editMenuAfterPaste();
    void refusedPaste();
    void compareWithFile();
};

void EditShots::editMenuAfterPaste() {
    WindowRig<frmMain> rig;
    rig.start(VirtualController::Kind::Point, "COM1");
    frmMain& w = *rig.window;
    w.resize(1280, 800);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QGuiApplication::clipboard()->setText("A\t5\t50\t\tpick\n"
                                          "A\t12.5\t80\t\tplace\n"
                                          "C\t\t5\t3\tpress\n"
                                          "I\t-2\t20\t\tback\n");
    w.pointGrid()->setFocus();
    w.pointGrid()->setCurrentIndex(w.points().index(2, PointRules::ColMode));
    w.PasteCells();
    QCOMPARE(w.history().undoText(), "paste into points 2 to 5");

    QMenu* edit = w.action("mnuEdit")->menu();
    const QRect title = w.menuBar()->actionGeometry(w.action("mnuEdit"));
    edit->popup(w.menuBar()->mapToGlobal(title.bottomLeft()));
    QTest::qWait(100);
    const QPixmap menu = edit->grab();
    const QPoint at = w.mapFromGlobal(edit->pos());
    edit->hide();
    Shots::save(Shots::over(&w, menu, at), "edit-menu.png");
}

void EditShots::refusedPaste() {
    WindowRig<frmMain> rig;
    rig.start(VirtualController::Kind::Point, "COM1");
    ShotOperator op;
    frmMain w(rig.state, op, *rig.channel, rig.ini);
    op.real.setParentGetter([&w] { return &w; });
    w.resize(1280, 800);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QGuiApplication::clipboard()->setText("A\t5\t50\nO\t\t15\t3\nU\t4\t30\t12\n");
    w.pointGrid()->setFocus();
    w.pointGrid()->setCurrentIndex(w.points().index(2, PointRules::ColMode));
    const QPixmap box = Shots::messageBoxOf([&w] { w.PasteCells(); });
    QVERIFY(!box.isNull());
    Shots::save(Shots::over(&w, box), "paste-refused.png");
}

void EditShots::compareWithFile() {
    WindowRig<frmpulseMaindemo> rig;
    rig.start(VirtualController::Kind::Pulse, "COM2");
    ShotOperator op;
    frmpulseMaindemo w(rig.state, op, *rig.channel, rig.ini);
    op.real.setParentGetter([&w] { return &w; });
    ZoneTableData zones{};
    zones[0] = {"2.00", "6.00", "feeder"};
    zones[1] = {"10.00", "14.50", "gate"};
    w.zones().setTable(zones);
    w.resize(1280, 800);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));

    ZoneTableData saved = zones;
    saved[1] = {"10.00", "15.00", "gate"};
    saved[2] = {"-3.00", "-8.00", "reject"};
    PulseParameterData parameters = w.parameters().table();
    parameters[1].setting = "80"; // acceleration
    op.file = rig.dir.filePath("line-2.csv");
    QFile f(op.file);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(PulseSettingsFile::write(saved, parameters));
    f.close();

    const QPixmap box = Shots::messageBoxOf([&w] { w.action("mnuFileCompare")->trigger(); });
    QVERIFY(!box.isNull());
    Shots::save(Shots::over(&w, box), "compare-with-file.png");
}

int editShots(const QStringList& args) {
    EditShots shots;
    return QTest::qExec(&shots, args);
}

#include "EditShots.moc"
