#pragma once

#include "link/TrafficLog.h"

#include <QString>
#include <memory>

class Link;

// Program-wide link state: the port every exchange opens, the busy flag that holds a second
// command back until the pending exchange has ended, and the traffic log every link writes.
struct LinkState {
    QString PortName = QStringLiteral("COM1");
    bool LinkBusy = false;
    Link* pending = nullptr; // the exchange that set LinkBusy
    // The link whose write block holds the line (Link::holdLine): its port stays open from
    // the block's first command to its last reply, and no other exchange may use the line.
    Link* lineHolder = nullptr;
    std::shared_ptr<TrafficLog> traffic = std::make_shared<TrafficLog>();
};
