#include "window/ui/QtPrinterSurface.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>

namespace {
constexpr double TwipsPerInch = 1440.0;
}

QtPrinterSurface::QtPrinterSurface(std::unique_ptr<QPrinter> printer)
    : m_printer(std::move(printer)) {
    if (m_printer)
        m_began = m_painter.begin(m_printer.get());
    if (m_began)
        m_font = m_painter.font();
}

QtPrinterSurface::~QtPrinterSurface() {
    if (m_painter.isActive())
        m_painter.end();
}

std::unique_ptr<QtPrinterSurface> QtPrinterSurface::toPdf(const QString& path) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(path);
    printer->setPageSize(QPageSize(QPageSize::A4));
    printer->setPageOrientation(QPageLayout::Portrait);
    return std::make_unique<QtPrinterSurface>(std::move(printer));
}

bool QtPrinterSurface::isActive() const {
    return m_painter.isActive();
}

double QtPrinterSurface::toDeviceX(int twips) const {
    const int dpi = m_printer ? m_printer->resolution() : 72;
    return twips * m_scale * dpi / TwipsPerInch;
}

double QtPrinterSurface::toDeviceY(int twips) const {
    return toDeviceX(twips);
}

void QtPrinterSurface::setDocumentHeight(int twips) {
    if (!m_printer || twips <= 0)
        return;
    const double printable = m_printer->pageRect(QPrinter::Inch).height() * TwipsPerInch;
    m_scale = printable > 0 && twips > printable ? printable / twips : 1.0;
}

void QtPrinterSurface::setFont(const QString& family, double pointSize, bool bold) {
    m_font = QFont(family);
    if (pointSize > 0)
        m_font.setPointSizeF(pointSize * m_scale);
    m_font.setBold(bold);
    if (isActive())
        m_painter.setFont(m_font);
}

void QtPrinterSurface::textAt(int xTwips, int yTwips, const QString& text) {
    if (!isActive())
        return;
    // The painter's font metrics are resolved for the printer's resolution, so the ascent
    // is already in device units.
    const double ascent = QFontMetricsF(m_painter.font(), m_printer.get()).ascent();
    m_painter.drawText(QPointF(toDeviceX(xTwips), toDeviceY(yTwips) + ascent), text);
}

void QtPrinterSurface::newPage() {
    if (!isActive())
        return;
    if (!m_printer->newPage())
        m_failed = true;
    // Keep the chosen font on the new page whatever the print engine does with the state.
    m_painter.setFont(m_font);
}

bool QtPrinterSurface::endDoc() {
    if (!isActive())
        return false;
    const bool ended = m_painter.end();
    return ended && !m_failed && m_printer->printerState() != QPrinter::Error;
}
