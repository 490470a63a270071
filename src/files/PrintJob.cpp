#include "files/PrintJob.h"

#include "files/PrintSurface.h"

namespace PrintJob {

QString dialogTitle() {
    return QStringLiteral("Print");
}

QString failureText() {
    return QStringLiteral("Printing could not be completed. Please check the printer.");
}

QString fontFamily() {
    return QStringLiteral("Arial");
}

QString separator() {
    return QString(15, QLatin1Char(' ')) + QString(85, QLatin1Char('-'));
}

QString timeStamp(const QDateTime& at, const QLocale& locale) {
    return locale.toString(at.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           locale.toString(at.time(), QLocale::ShortFormat);
}

QString heading(const QString& what) {
    return QStringLiteral("               --- QRX5 Support software Setting list (") + what +
           QStringLiteral(") Printing time: ");
}

void printRow(PrintSurface& surface, int y, const QList<int>& xs, const QStringList& texts) {
    for (qsizetype k = 0; k < texts.size() && k < xs.size(); ++k) {
        if (!texts.at(k).isEmpty())
            surface.textAt(xs.at(k), y, texts.at(k));
    }
}

void setBodyFont(PrintSurface& surface);

void printHeading(PrintSurface& surface, int y, const QString& text) {
    surface.setFont(fontFamily(), FontPointSize, true);
    surface.textAt(0, y, text);
    setBodyFont(surface);
}

void setBodyFont(PrintSurface& surface) {
    surface.setFont(fontFamily(), FontPointSize, false);
}

Result run(OperatorInteraction& op, const Render& render, const QDateTime& at,
           const QLocale& locale) {
    std::unique_ptr<PrintSurface> surface = op.choosePrinter(dialogTitle());
    if (!surface)
        return Result::Cancelled;
    render(*surface, timeStamp(at, locale));
    if (!surface->endDoc()) {
        op.message(dialogTitle(), failureText(), OperatorInteraction::Icon::Warning);
        return Result::Failed;
    }
    return Result::Printed;
}

} // namespace PrintJob
