#pragma once

#include "history/TablesSnapshot.h"
#include "transfers/Operation.h"

#include <QDateTime>
#include <QList>
#include <QString>

// One record of the controller history: the transfers of one operation (a menu item) or of
// one command-line action that finished on one port, and the tables the controller then held.
struct HistoryRecord {
    QString port;    // "COM1", or a device's name ("ttyUSB0"): the file is <port>.csv
    QString leadsTo; // where the port leads: "/dev/ttyUSB0", "sim:point"
    QList<FinishedTransfer> finished;
    TablesSnapshot tables;
};

// One version of a port's file, as --history and File > History... list them.
struct HistoryVersion {
    QString id; // the commit, 40 hex digits
    QDateTime time;
    QString author;
    QString operation; // "Receive(Points)", "Receive(Points), Receive(Parameters)"
    QString port;
    QString leadsTo;
    QString kind;
    QString actuatorType;
    QString result;
    QString tables; // what the file holds from where
    QString shortId() const { return id.left(7); }
};

// The commit messages of the history. A message is a subject line ("COM1: Receive(Points)"),
// an empty line and one "Key: value" line each for the operation, the port, where it leads,
// the kind, the actuator type, the result and where each table of the file comes from:
//
//   COM1: Receive(Points)
//
//   Operation: Receive(Points)
//   Port: COM1
//   Leads to: sim:point
//   Kind: point input type
//   Actuator type: 31
//   Result: Receiving has finished.
//   Tables: points as received; parameters as recorded in 1a2b3c4
//
// so git log shows them as they are, and versions() reads them back.
namespace HistoryMessage {

// The menu item's name of a finished transfer: "Receive(Points)", "Transmit(Zones)",
// "Init > Parameters" (firstTable: "points", "zones").
QString operationName(const FinishedTransfer& t, const QString& firstTable);
// The names of a record's transfers, in order: "Receive(Points), Receive(Parameters)".
QString operations(const HistoryRecord& record);
// The completion message of a finished transfer: "Receiving has finished." ...
QString resultText(const FinishedTransfer& t);
// Which tables the record's transfers covered.
CoveredTables covered(const QList<FinishedTransfer>& finished);
// The record's file name in the repository: the port with every character other than an
// ASCII letter, a digit, '-', '_' or '.' made '_', and ".csv".
QString fileName(const QString& port);

// The message of a record whose file took the tables it did not cover from the commit
// tipId (previousUsed) or from the snapshot.
QString compose(const HistoryRecord& record, bool previousUsed, const QString& tipId);

// The version a commit message describes; none for a commit this program did not make.
std::optional<HistoryVersion> parse(const QString& id, const QDateTime& time, const QString& author,
                                    const QString& message);

} // namespace HistoryMessage
