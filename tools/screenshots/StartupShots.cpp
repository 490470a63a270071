// Both main windows as they appear after the start-up against qrx5-sim, the speed calculation
// over the pulse-train window, and the start-up read's progress with a paced controller.
#include "Shots.h"
#include "StartupProgram.h"
#include "speedcalc/ui/frmkeisan.h"

#include <QAction>
#include <QProgressBar>
#include <QTest>

class StartupShots final : public QObject {
    Q_OBJECT
  private slots:
    void windowsAfterTheStartup();
    void progressOfTheRead();
};

void StartupShots::windowsAfterTheStartup() {
    for (const QString kind : {"point", "pulse"}) {
        StartupProgram p;
        QVERIFY(p.start({"--kind", kind, "--type", "32", "--fill"}));
        p.select->start();
        QMainWindow* w = kind == u"point" ? static_cast<QMainWindow*>(p.point.get())
                                          : static_cast<QMainWindow*>(p.pulse.get());
        w->resize(1280 - MainWindowBase::FrameWidth, 800 - MainWindowBase::FrameHeight);
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QTest::qWait(100);
        Shots::save(w, kind + "-window-after-startup.png");
        if (kind == u"pulse") {
            p.pulse->action("mnuToolsSpeed")->trigger();
            frmkeisan* tool = p.pulse->speedCalculationWindow();
            tool->calculate();
            QTest::qWait(100);
            Shots::save(tool, "speed-calculation.png");
        }
    }
}

// A paced controller takes seconds for the point table's reply: the bar follows its rows.
void StartupShots::progressOfTheRead() {
    StartupProgram p;
    QVERIFY(p.start({"--kind", "point", "--type", "32", "--fill", "--pace"}));
    QProgressBar* bar = p.select->progress().progressBar();
    bool taken = false;
    QObject::connect(bar, &QProgressBar::valueChanged, bar, [&](int value) {
        if (!taken && value >= 30 && bar->maximum() == 63) {
            taken = true;
            Shots::save(&p.select->progress(), "startup-progress.png");
        }
    });
    p.select->start();
    QVERIFY(taken);
}

int startupShots(const QStringList& args) {
    StartupShots shots;
    return QTest::qExec(&shots, args);
}

#include "StartupShots.moc"
