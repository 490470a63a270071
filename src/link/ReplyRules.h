#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// Rules for reading what a controller sends back.
namespace ReplyRules {

// True when the text holds one of the four reply ends "OK", "NG", "STOP", "READY", each
// immediately followed by CR LF, wherever it stands.
bool hasReplyEnd(const QString& text);

// Index where the detail line after an "NG" (or, without "NG", a "STOP") begins: four
// characters after the "N", or six after the "S". -1 when neither is present.
int detailLineStart(const QString& text);

// The error box text: from "STOP" through the LF of the line that follows it; an "NG" part
// (from "NG" through the LF of the next line) wins when both are present. Empty otherwise.
QString errorPart(const QString& text);

// The value of a one-value reply (value, CR LF, "OK", CR LF).
QString extractValue(const QString& reply);

// The questions the operations ask of a reply, each a search for its marker anywhere in the
// reply text (as the reply end is searched): "NG" (the controller refused), "STOP" (a motion
// was stopped), "OK", "READY".
bool isRefusal(const QString& reply);
bool isStop(const QString& reply);
bool isOk(const QString& reply);
bool isReady(const QString& reply);
// The state a one-value reply reports ("@?SRVO ", "@?ORG ", "@?PRS "): the first character of
// its trimmed value.
QString stateValue(const QString& reply);

// True when every character is printable ASCII, CR or LF: the only text a controller sends.
// Anything else in a reply (other control characters, bytes beyond ASCII) is line noise.
bool isPlainText(const QString& text);

// The text after a table line's marker ("P7=", "PRM35=", "Z2=") up to the line's CR (or the
// end of the text), searched in the whole reply from its start; none when the reply holds no
// such line. A marker ends in "=", so the search for "PRM1=" cannot land in "PRM11=".
std::optional<QString> lineAfter(const QString& reply, const QString& marker);

// The values of a "@READ PRM " reply in order, read by position: the k-th "=" of the reply
// belongs to parameter number k, and its value runs to the next CR. A reply that omits a
// number shifts every later value by one.
QStringList parameterValues(const QString& reply);

} // namespace ReplyRules
