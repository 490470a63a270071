#pragma once

#include "FakeOperationHost.h"
#include "FakeProgress.h"
#include "ScriptedOperator.h"
#include "link/Link.h"
#include "pointdata/ParameterTableModel.h"
#include "pointdata/PointTableModel.h"
#include "pointops/PointOpsContext.h"
#include "pulse/PulseOpsContext.h"
#include "pulse/PulseParameterModel.h"
#include "pulse/ZoneTableModel.h"
#include "simulator/SimulatedChannel.h"
#include "simulator/VirtualController.h"

#include <QStringList>

// Everything an operation talks to, on the in-process virtual controller of one kind: link,
// scripted operator, progress dialog and host.
struct LinkRig {
    VirtualController controller;
    SimulatedChannel channel{controller};
    LinkState state;
    Link link{state, channel};
    ScriptedOperator op;
    FakeProgress progress;
    FakeOperationHost host;
    OperationState opState; // settei, the moving flag, the failures told

    explicit LinkRig(VirtualController::Kind kind) : controller(kind) {
        link.attachProgress(progress);
    }

    // The window is usable again: window and toolbar enabled, progress dialog hidden.
    bool restored() const { return host.windowEnabled && host.toolbarEnabled && !progress.shown; }
    QStringList messageTitles() const {
        QStringList out;
        for (const auto& p : op.prompts)
            if (p.kind == "message")
                out << p.title;
        return out;
    }
};

// One point-input window's worth: the link rig and both tables.
struct OpsRig : LinkRig {
    PointTableModel points{op};
    ParameterTableModel params{op};
    PointOpsContext ctx{{link, op, progress, host, opState}, points, params};

    OpsRig() : LinkRig(VirtualController::Kind::Point) {}
    // The operator starts an operation: as in the window, settei is cleared first.
    const PointOpsContext& context() {
        opState.settei = 0;
        return ctx;
    }
};

// One pulse-train window's worth: the link rig, the zone and the parameter table.
struct PulseOpsRig : LinkRig {
    ZoneTableModel zones{op};
    PulseParameterModel params{op};
    PulseOpsContext ctx{{link, op, progress, host, opState}, zones, params};

    PulseOpsRig() : LinkRig(VirtualController::Kind::Pulse) {}
    // The operator starts an operation: as in the window, settei is cleared first.
    const PulseOpsContext& context() {
        opState.settei = 0;
        return ctx;
    }
};
