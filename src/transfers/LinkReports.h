#pragma once

#include "transfers/Operation.h"

// The two reports of a failed exchange, told under the operation's title, and what every
// operation does after them: the window is put back once, whatever was told.
namespace Ops {

inline constexpr char LinkErrorText[] = "The communication error. Please check the connection.";
inline constexpr char LineRefusedText[] =
    "Cannot transmit data because it contains a control character.";
// Why an exchange whose reply held bytes no controller sends failed (beside the line's name).
inline constexpr char NoiseReasonText[] = "noise on the line (bytes no controller sends)";

// ReportLinkError: the communication error ("The communication error. Please check the
// connection.", no icon) with the reason beside it (the port, where it leads and what went
// wrong), after a beep; then, unless the drive panel is in numeric input mode, its numeric
// input option gets the focus. Quiet while settei is set or a motion's own exchange waits
// (orgpos), for a quiet context (a failure told once already), and when the reply names a
// missing pushing object ("64" as characters 7 and 8), which the motion tells itself. An exchange
// the operator cancelled takes the Cancel message instead; a line refused for a control character
// is always told ("Cannot transmit data because it contains a control character.", the line beneath
// it). The window is put back.
void reportLinkError(const OperationContext& c, const ExchangeResult& r);

// ReportReplyError: the reply goes to the error box and, unless it is a "STOP" or the context
// is quiet, "Cannot receive data from controller." is shown, titled "Error" with the stop-sign
// icon (with beside as its informative text when given: what a write block left in the
// controller); the command line is emptied, the numeric input option focused as above, the
// window put back.
void reportReplyError(const OperationContext& c, const ExchangeResult& r,
                      const QString& beside = {});

// An "NG" reply: its text to the error box, then the reply-error report.
void reportNg(const OperationContext& c, const ExchangeResult& r, const QString& beside = {});

} // namespace Ops
