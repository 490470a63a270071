#include "cli/FileDiff.h"

#include "cli/CliHistory.h"
#include "cli/CliSession.h"
#include "cli/Console.h"
#include "cli/ConsoleOperator.h"
#include "cli/PointCli.h"
#include "cli/PulseCli.h"
#include "pointdata/PointFileCompare.h"
#include "pointdata/SettingsFile.h"
#include "pulse/PulseSettingsFile.h"
#include "pulse/ZoneFileCompare.h"
#include "transfers/CompareFlow.h"

#include <optional>

namespace FileDiff {

namespace {

// One settings file read and checked, of whichever kind it is.
struct Loaded {
    bool pulseTrain = false;
    SettingsFile::ReadResult point;
    PulseSettingsFile::ReadResult pulse;

    const SettingsFileFlow::ReadHead& head() const {
        return pulseTrain ? static_cast<const SettingsFileFlow::ReadHead&>(pulse) : point;
    }
    QString kindName() const { return pulseTrain ? PulseCli::kindName() : PointCli::kindName(); }
};

// A pulse-train file is told by its second line, "Z0=" where a point-input file has "P0=";
// anything else is read as a point-input file, which refuses it with the reason.
bool isPulseTrainFile(const QByteArray& bytes) {
    const CsvRecords::Records records(bytes, PulseSettingsFile::FieldCount, 2);
    return records.field(2, 0).trimmed() == QLatin1String("Z0=");
}

std::optional<Loaded> load(Console& console, const QString& path,
                           const ControllerHistory* history) {
    QByteArray bytes;
    if (history && CliHistory::namesVersion(path)) {
        const std::optional<QByteArray> version = CliHistory::read(console, *history, path);
        if (!version)
            return std::nullopt;
        bytes = *version;
    } else if (!CliFiles::read(console, path, bytes)) {
        return std::nullopt;
    }
    Loaded file;
    file.pulseTrain = isPulseTrainFile(bytes);
    if (file.pulseTrain)
        file.pulse = PulseSettingsFile::read(bytes);
    else
        file.point = SettingsFile::read(bytes);
    const SettingsFileFlow::ReadHead& head = file.head();
    if (!head.ok) {
        CliFiles::tellRefused(console, path,
                              head.error == SettingsFileError::None ? SettingsFileError::BadValue
                                                                    : head.error,
                              head.reason);
        return std::nullopt;
    }
    return file;
}

} // namespace

int run(Console& console, const QString& fileA, const QString& fileB,
        const ControllerHistory* history) {
    // Both files are read before anything is said about either, so one run tells every
    // file problem.
    const std::optional<Loaded> a = load(console, fileA, history);
    const std::optional<Loaded> b = load(console, fileB, history);
    if (!a || !b)
        return ExitStatus::Failed;
    if (a->pulseTrain != b->pulseTrain) {
        console.err(QStringLiteral("%1 holds the tables of a %2 controller, %3 those of a %4 "
                                   "controller: files of two kinds are not compared.")
                        .arg(fileA, a->kindName(), fileB, b->kindName()));
        return ExitStatus::Failed;
    }
    if (a->head().actuatorType != b->head().actuatorType) {
        console.err(QStringLiteral("%1 is for actuator type %2, %3 for actuator type %4: files "
                                   "of two actuator types are not compared.")
                        .arg(fileA, a->head().actuatorType, fileB, b->head().actuatorType));
        return ExitStatus::Failed;
    }
    const CompareReport::Findings found =
        a->pulseTrain ? ZoneFileCompare::findings(a->pulse.zones, a->pulse.parameters,
                                                  b->pulse.zones, b->pulse.parameters)
                      : PointFileCompare::findings(a->point.points, a->point.parameters,
                                                   b->point.points, b->point.parameters);
    // The result as Compare tells it, then every difference as --verify lists them.
    ConsoleOperator op(console);
    if (CompareFlow::tell(op, found) == CompareFlow::Outcome::Equal)
        return ExitStatus::Done;
    const QString sideA = QStringLiteral("file A");
    const QString sideB = QStringLiteral("file B");
    for (const Difference& d : found.differences)
        console.out(CompareReport::line(d, sideB, sideA));
    return ExitStatus::Different;
}

} // namespace FileDiff
