#pragma once

#include "FakeOperationHost.h"
#include "FakeProgress.h"
#include "ScriptedOperator.h"
#include "link/Link.h"
#include "pointdata/ParameterTableModel.h"
#include "pointdata/PointTableModel.h"
#include "pointops/PointOpsContext.h"
#include "simulator/SimulatedChannel.h"
#include "simulator/VirtualController.h"

#include <QStringList>

// One point-input window's worth of everything an operation talks to, on the in-process
// virtual controller: link, scripted operator, progress dialog, host and both tables.
struct OpsRig {
    VirtualController controller{VirtualController::Kind::Point};
    SimulatedChannel channel{controller};
    LinkState state;
    Link link{state, channel};
    ScriptedOperator op;
    FakeProgress progress;
    FakeOperationHost host;
    PointTableModel points{op};
    ParameterTableModel params{op};
    PointOpsContext ctx{{link, op, progress, host}, points, params};

    OpsRig() { link.attachProgress(progress); }

    PointOpsContext& context() { return ctx; }
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
