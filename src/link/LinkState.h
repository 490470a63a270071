#pragma once

#include <QString>

class Link;

// Program-wide link state: the port every exchange opens, and the busy flag that holds a
// second command back until the pending exchange has ended.
struct LinkState {
    QString PortName = QStringLiteral("COM1");
    bool LinkBusy = false;
    Link* pending = nullptr; // the exchange that set LinkBusy
};
