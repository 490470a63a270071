#pragma once

#include "pointdata/PointData.h"

#include <QString>
#include <QStringList>
#include <optional>

// Reading the controller's point replies (parameter replies: ReplyRules).
namespace PointReply {

// The text after "P<n>=" up to the line's CR, searched in the whole reply from its start;
// nullopt when the reply holds no line for point n.
std::optional<QString> pointLine(const QString& reply, int n);

// Point n as stored by a receive: the mode, then the fields the mode carries into their
// columns (A, I: position, speed; O, C: speed, pushing level; U: position, speed, pushing
// level), stopping early at the end of the line. The note is empty. nullopt when absent.
std::optional<PointRecord> point(const QString& reply, int n);
// The same for the text of one point line after its "P<n>=".
PointRecord fromLine(const QString& line);

} // namespace PointReply
