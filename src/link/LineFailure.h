#pragma once

#include <QString>

// The words that say why an exchange failed, for the operator: which port, where it leads and
// what went wrong.
namespace LineFailure {

// The port of an exchange and where it leads.
struct Line {
    QString port;              // "COM4"
    QString destination;       // "/dev/ttyS3"; empty when the line has no other name
    bool portNameShown = true; // false: the port name says nothing (the command line's device)
};

// "COM4 → /dev/ttyS3", the device alone when the port name says nothing about it, the port
// alone when the line has no other name.
QString lineName(const Line& line);

// "COM1 is in use by another program (/dev/ttyS0)": said before anything was written, so the
// operator closes the other program and tries again.
QString heldElsewhere(const Line& line);

// "COM4 → /dev/ttyS3: No such file or directory". problem is the system's or the link's own
// reason; without one the reason follows from what arrived: "no answer within 3 s", "no
// complete reply within 3 s", "unexpected reply "...""
QString describe(const Line& line, const QString& problem, bool timedOut, const QString& incoming,
                 int timeoutMs);

// A reply as one short line for a message: line ends as blanks, other control characters
// dropped, at most 40 characters.
QString compactReply(const QString& reply);

} // namespace LineFailure
