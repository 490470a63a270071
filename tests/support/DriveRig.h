#pragma once

#include "FakePanelHost.h"
#include "FakeProgress.h"
#include "ScriptedOperator.h"
#include "link/Link.h"
#include "pointdata/ParameterTableModel.h"
#include "pointdata/PointTableModel.h"
#include "pointops/PointDrive.h"
#include "pointops/SizeDetection.h"
#include "pulse/PulseDrive.h"
#include "pulse/PulseParameterModel.h"
#include "pulse/ZoneTableModel.h"
#include "simulator/SimulatedChannel.h"
#include "simulator/VirtualController.h"

#include <QList>

// Bytes a controller received as a list: split after each CR LF and around the stop and
// end-of-data characters, so a sequence reads line by line.
inline QList<QByteArray> controllerLines(const QByteArray& received) {
    QList<QByteArray> out;
    QByteArray current;
    for (const char c : received) {
        if (c == 3 || c == 26) {
            if (!current.isEmpty())
                out << current;
            out << QByteArray(1, c);
            current.clear();
            continue;
        }
        current += c;
        if (current.endsWith("\r\n")) {
            out << current;
            current.clear();
        }
    }
    if (!current.isEmpty())
        out << current;
    return out;
}

// What a drive panel of either kind stands on in a test: the in-process virtual controller of
// that kind, the link to it, a scripted operator, progress and the panel state.
struct PanelRigBase {
    explicit PanelRigBase(VirtualController::Kind kind) : controller(kind) {}
    VirtualController controller;
    SimulatedChannel channel{controller};
    LinkState state;
    Link link{state, channel};
    ScriptedOperator op;
    FakeProgress progress;
    DriveState drive;
    OperationState opState; // settei, the moving flag, the failures told

    // The lines the controller received (see controllerLines).
    QList<QByteArray> lines() const { return controllerLines(controller.received()); }
};

// The point-input drive panel and size detection without their window, on the in-process
// virtual controller: link, scripted operator, progress, the panel host and both tables.
struct DriveRig : PanelRigBase {
    DriveRig() : PanelRigBase(VirtualController::Kind::Point) {}
    FakePanelHost host{drive};
    PointTableModel points{op};
    ParameterTableModel params{op};
    PointOpsContext ctx{{link, op, progress, host, opState}, points, params};
    PointDrive panel{ctx, host};
    SizeDetection size{ctx, host};
};

// The pulse-train operation panel without its window, on the in-process virtual controller.
struct PulseDriveRig : PanelRigBase {
    PulseDriveRig() : PanelRigBase(VirtualController::Kind::Pulse) {}
    FakePulseHost host{drive};
    ZoneTableModel zones{op};
    PulseParameterModel params{op};
    PulseDrive panel{{link, op, progress, host, opState}, host, zones, params};
};
