#include "cli/CliKind.h"

#include "cli/CliSession.h"
#include "cli/ConsoleOperator.h"
#include "cli/PointCli.h"
#include "cli/PulseCli.h"

namespace CliKinds {

std::unique_ptr<CliKind> make(StartupSequence::Kind kind, CliSession& session) {
    switch (kind) {
    case StartupSequence::Kind::PointInput:
        return std::make_unique<PointCli>(session.op);
    case StartupSequence::Kind::PulseTrain:
        return std::make_unique<PulseCli>(session.op);
    }
    return nullptr;
}

} // namespace CliKinds
