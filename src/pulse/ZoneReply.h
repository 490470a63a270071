#pragma once

#include "pulse/PulseData.h"
#include "tables/CompareReport.h"

#include <QList>
#include <QString>
#include <optional>

// Reading the controller's "@READ ZON " reply: one line per set zone, "Z" + number + "=",
// position A, position B and an optional third field, comma separated, then "OK".
namespace ZoneReply {

// The text after "Z<n>=" up to the line's CR; none when the reply lists no zone n.
std::optional<QString> line(const QString& reply, int n);

// Zone n as a receive stores it: the first field as A, the second as B, a third as the note
// (bounded as notes are); the texts as they stand. None when the reply lists no zone n.
std::optional<ZoneRecord> zone(const QString& reply, int n);

// Where zone n of the window differs from the controller's line (the text after "Z<n>=", or
// null when the controller lists no zone n): positions A and B are compared as texts with
// the line's first two fields (a missing field reads as empty); a zone the controller does
// not list must have A and B empty. The note is never compared.
QList<Difference> differences(int n, const QString* line, const ZoneRecord& zone);

} // namespace ZoneReply
