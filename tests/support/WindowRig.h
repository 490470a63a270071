#pragma once

#include "ScriptedOperator.h"
#include "link/LinkState.h"
#include "simulator/SimulatedChannel.h"
#include "simulator/VirtualController.h"
#include "window/ui/MainWindowBase.h"

#include <QAction>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

// A main window of either kind as the operator meets it: shown, on its own port to the
// in-process virtual controller of its kind, with a scripted operator and an INI file in a
// scratch folder. start() makes a fresh one for each test, stop() takes it down.
template <typename Window> struct WindowRig {
    QTemporaryDir dir;
    QString ini;
    LinkState state;
    ScriptedOperator op;
    std::unique_ptr<VirtualController> controller;
    std::unique_ptr<SimulatedChannel> channel;
    std::unique_ptr<Window> window;

    void start(VirtualController::Kind kind, const QString& port) {
        ini = dir.filePath("QRX5.ini");
        QFile::remove(ini);
        state = LinkState{};
        state.PortName = port;
        op = ScriptedOperator{};
        controller = std::make_unique<VirtualController>(kind);
        channel = std::make_unique<SimulatedChannel>(*controller);
        window = std::make_unique<Window>(state, op, *channel, ini);
    }
    void stop() {
        window.reset();
        channel.reset();
        controller.reset();
    }
    QByteArray iniBytes() const {
        QFile f(ini);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

// Chooses a menu item the way the operator can: only when it is enabled.
inline void trigger(MainWindowBase& w, const char* item) {
    QAction* a = w.action(QLatin1String(item));
    QVERIFY2(a && a->isEnabled(), item);
    a->trigger();
}
