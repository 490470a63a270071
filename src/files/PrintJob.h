#pragma once

#include "operator/OperatorInteraction.h"

#include <QDateTime>
#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <functional>

class PrintSurface;

// Printing the setting lists of either kind: the print dialog, the kind's layout on the
// chosen printer, the end of the document.
//
// A cancelled dialog (or a printer that could not be started, which the dialog reports the
// same way) prints nothing and says nothing. A printer that reports a failure when the
// document ends is reported to the operator, so a lost print-out is never taken for a
// finished one. The tables are only read; the window stays usable whatever happens.
//
// The lists share their look: "Arial" (or the sans serif the system substitutes) at 7 pt,
// headings in bold, a separator of 15 blanks and 85 dashes, and the printing time as the
// locale's short date, a blank and its short time.
namespace PrintJob {

enum class Result { Cancelled, Printed, Failed };

QString dialogTitle();
QString failureText();

inline constexpr double FontPointSize = 7.0;
QString fontFamily();
QString separator();
// Date, one blank and time, in the locale's short formats.
QString timeStamp(const QDateTime& at, const QLocale& locale);
// "               --- QRX5 Support software Setting list (" what ") Printing time: "
QString heading(const QString& what);
// A heading in bold at the left edge, the body font set again after it.
void printHeading(PrintSurface& surface, int y, const QString& text);
void setBodyFont(PrintSurface& surface);

// Prints the non-empty texts on one line at y, text k at x position k.
void printRow(PrintSurface& surface, int y, const QList<int>& xs, const QStringList& texts);

// Draws the document on the surface; stamp is the printing time as timeStamp() gives it.
using Render = std::function<void(PrintSurface& surface, const QString& stamp)>;

Result run(OperatorInteraction& op, const Render& render,
           const QDateTime& at = QDateTime::currentDateTime(),
           const QLocale& locale = QLocale::system());

} // namespace PrintJob
