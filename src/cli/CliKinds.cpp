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

namespace {
const QString Found = QStringLiteral("Controller type found: ");
const QString On = QStringLiteral(" on ");
} // namespace

QString foundMessage(const QString& kindName, const QString& line) {
    return Found + kindName + On + line;
}

QString kindInMessage(const QString& message) {
    if (!message.startsWith(Found))
        return {};
    const qsizetype on = message.indexOf(On, Found.size());
    return on < 0 ? QString() : message.mid(Found.size(), on - Found.size());
}

} // namespace CliKinds
