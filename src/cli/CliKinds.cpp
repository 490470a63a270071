#include "cli/CliKind.h"

#include "cli/CliSession.h"
#include "cli/ConsoleOperator.h"
#include "cli/PointCli.h"

namespace CliKinds {

std::unique_ptr<CliKind> make(StartupSequence::Kind kind, CliSession& session) {
    switch (kind) {
    case StartupSequence::Kind::PointInput:
        return std::make_unique<PointCli>(session.op);
    case StartupSequence::Kind::PulseTrain:
        break; // its transfers are not on the command line yet
    }
    return nullptr;
}

} // namespace CliKinds
