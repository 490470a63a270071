// File > History... over the point-input window: the versions a few transfers left of its port.
#include "Shots.h"
#include "WindowRig.h"
#include "history/ControllerHistory.h"
#include "pointdata/ParameterTableModel.h"
#include "pointdata/PointTableModel.h"
#include "pointops/ui/frmMain.h"

#include <QAction>
#include <QTest>

class HistoryShots final : public QObject {
    Q_OBJECT
  private slots:
    void historyWindow();
};

void HistoryShots::historyWindow() {
    // A history of this picture's own, in the default folder of a home of its own.
    QTemporaryDir home;
    const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
    const QByteArray realHome = qgetenv("HOME");
    qunsetenv("XDG_DATA_HOME");
    qputenv("HOME", home.path().toLocal8Bit());
    WindowRig<frmMain> rig;
    rig.start(VirtualController::Kind::Point, "COM1");
    frmMain& w = *rig.window;
    w.resize(1280, 800);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    rig.controller->memory().setPoint(0, {"A", "0.00", "50", ""});
    rig.controller->memory().setPoint(1, {"U", "12.50", "20", "5"});
    const auto run = [&](const char* item) {
        w.action(item)->trigger();
        QVERIFY(w.controllerHistory().waitDone(10000));
    };
    run("mnuToolsRecP");
    run("mnuToolsRecA");
    PointTableData points = w.points().table();
    points[2] = {"C", "", "5", "3", "press"};
    w.points().setTable(points);
    run("mnuToolsTranP");
    w.parameters().setSettingValue(4, "80");
    run("mnuToolsTranA");
    run("mnuToolsRecP");

    QPixmap picture;
    Shots::onNextModal(&w, [&picture](QWidget* dialog) {
        picture = dialog->grab();
        dialog->close();
    });
    w.action("mnuFileHistory")->trigger();
    QVERIFY(!picture.isNull());
    Shots::save(Shots::over(&w, picture), "history.png");
    rig.stop();
    qputenv("HOME", realHome);
    if (!dataHome.isEmpty())
        qputenv("XDG_DATA_HOME", dataHome);
}

int historyShots(const QStringList& args) {
    HistoryShots shots;
    return QTest::qExec(&shots, args);
}

#include "HistoryShots.moc"
