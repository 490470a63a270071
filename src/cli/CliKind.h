#pragma once

#include "startup/StartupSequence.h"

#include <QString>
#include <memory>

struct CliSession;

// The command-line actions of one controller kind. Each runs the operations the kind's
// window runs, on the session's link with the console operator, and returns an exit status
// (ExitStatus). A kind plugs in by implementing this and adding itself to CliKinds::make.
class CliKind {
  public:
    virtual ~CliKind() = default;

    // How the kind is named in messages: "point input type".
    virtual QString name() const = 0;
    // Reads the controller's tables and writes them as the kind's settings file, byte for
    // byte what Save As writes.
    virtual int receive(CliSession& s, const QString& file) = 0;
    // Compares the controller with the file; every difference on standard output, one per
    // line (CompareReport::line).
    virtual int verify(CliSession& s, const QString& file) = 0;
    // Writes the file's tables into the controller with the window's checks.
    virtual int transmit(CliSession& s, const QString& file) = 0;
};

namespace CliKinds {

// The actions of a kind, or null while the kind has none on the command line yet.
std::unique_ptr<CliKind> make(StartupSequence::Kind kind, CliSession& session);

// The message that tells the kind found: "Controller type found: point input type on COM1".
QString foundMessage(const QString& kindName, const QString& line);
// The kind named in such a message (empty when the message is another one).
QString kindInMessage(const QString& message);

} // namespace CliKinds
