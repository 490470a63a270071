#pragma once

// The start-up as the program runs it: qrx5-sim (QRX5_SIM_BIN) on a pseudo-terminal reached
// through the port map, the program's two main windows on their routed ports, and the
// start-up window that reads the controller's tables into one of them and shows it.

#include "ScriptedOperator.h"
#include "dialogs/ui/frmbar.h"
#include "link/LinkState.h"
#include "link/Profile.h"
#include "pointdata/ParameterTableModel.h"
#include "pointdata/PointTableModel.h"
#include "pointops/ui/frmMain.h"
#include "pulse/PulseParameterModel.h"
#include "pulse/ZoneTableModel.h"
#include "pulse/ui/frmpulseMaindemo.h"
#include "simulator/RoutedChannel.h"
#include "startup/StartupSequence.h"
#include "startup/ui/frmselect.h"

#include <QProcess>
#include <QTemporaryDir>
#include <memory>

// qrx5-sim, the program's two main windows on their routed ports, and the start-up window.
struct StartupProgram {
    // What the operator would see in the main window the moment it is shown.
    struct Shown {
        int windows = 0;
        bool pulse = false;
        int rowsFilled = 0; // points or zones holding something
        QString type;       // the parameter table's actuator type
        QString status2;    // status bar panel 2
        bool progressShown = false;
    };

    QTemporaryDir dir;
    QProcess sim;
    QString ini;
    LinkState state;
    SimulatorHub hub;
    std::unique_ptr<RoutedChannel> pointPort;
    std::unique_ptr<RoutedChannel> pulsePort;
    ScriptedOperator op;
    std::unique_ptr<frmMain> point;
    std::unique_ptr<frmpulseMaindemo> pulse;
    std::unique_ptr<StartupSequence> sequence;
    std::unique_ptr<frmselect> select;
    Shown shown;

    bool start(const QStringList& simArgs) {
        const QString link = dir.filePath("com1");
        sim.start(qEnvironmentVariable("QRX5_SIM_BIN"), simArgs + QStringList{"--link", link});
        if (!sim.waitForStarted(5000) || !sim.waitForReadyRead(5000))
            return false;
        sim.readLine();
        ini = dir.filePath("QRX5.ini");
        Profile::WriteSetting(link, "COM1", "Ports", ini);
        pointPort = std::make_unique<RoutedChannel>(ini, hub);
        pulsePort = std::make_unique<RoutedChannel>(ini, hub);
        point = std::make_unique<frmMain>(state, op, *pointPort, ini);
        pulse = std::make_unique<frmpulseMaindemo>(state, op, *pulsePort, ini);
        sequence = std::make_unique<StartupSequence>(state, *pointPort, ini);
        sequence->setTableReader(op, [this](StartupSequence::Kind kind) {
            return kind == StartupSequence::Kind::PointInput ? point->startupTables()
                                                             : pulse->startupTables();
        });
        select = std::make_unique<frmselect>(
            *sequence, [this](StartupSequence::Kind kind) { show(kind); },
            [this] { op.endProgram(); });
        return true;
    }
    void show(StartupSequence::Kind kind) {
        ++shown.windows;
        shown.pulse = kind == StartupSequence::Kind::PulseTrain;
        shown.progressShown = select->progress().isVisible();
        if (shown.pulse) {
            for (const ZoneRecord& z : pulse->zones().table())
                shown.rowsFilled += !z.a.isEmpty();
            shown.type = pulse->parameters().actuatorType();
            shown.status2 = pulse->panelText(2);
            pulse->show();
        } else {
            for (const PointRecord& p : point->points().table())
                shown.rowsFilled += !p.mode.isEmpty();
            shown.type = point->parameters().actuatorType();
            shown.status2 = point->panelText(2);
            point->show();
        }
    }
    ~StartupProgram() {
        sim.terminate();
        sim.waitForFinished(5000);
    }
};
