#pragma once

#include "files/PrintSurface.h"

#include <QFont>
#include <QPainter>
#include <QString>
#include <memory>

class QPrinter;

// A print surface on a real printer (or a PDF file through QPrinter's PDF output).
//
// Positions are given in twips (1/1440 inch) from the top-left of the printable area and
// are scaled to device units with the printer's resolution. textAt places the TOP-LEFT
// corner of the text at the position, as the current position of a printer does: the
// baseline lies one font ascent below the given y.
//
// A document taller than the printable area (setDocumentHeight) is shrunk evenly, positions
// and font sizes alike, so that a printer with wide margins or a short paper size still gets
// every line.
//
// The painter begins on the printer in the constructor; a surface whose painter could not
// begin ignores all drawing and reports failure from endDoc().
class QtPrinterSurface final : public PrintSurface {
  public:
    explicit QtPrinterSurface(std::unique_ptr<QPrinter> printer);
    ~QtPrinterSurface() override;
    Q_DISABLE_COPY_MOVE(QtPrinterSurface)

    // A surface that writes a PDF file (A4, high resolution) at path.
    static std::unique_ptr<QtPrinterSurface> toPdf(const QString& path);

    void setDocumentHeight(int twips) override;
    void setFont(const QString& family, double pointSize, bool bold) override;
    void textAt(int xTwips, int yTwips, const QString& text) override;
    void newPage() override;
    bool endDoc() override;

    // True while the painter is active on the printer (begun and not yet ended).
    bool isActive() const;
    QPrinter& printer() { return *m_printer; }
    // Device units for a length in twips along x and y.
    double toDeviceX(int twips) const;
    double toDeviceY(int twips) const;
    // 1 unless the document had to be shrunk to fit the printable height.
    double scale() const { return m_scale; }

  private:
    std::unique_ptr<QPrinter> m_printer;
    QPainter m_painter;
    QFont m_font;
    bool m_began = false;
    bool m_failed = false;
    double m_scale = 1.0;
};
