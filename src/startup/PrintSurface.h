#pragma once

#include <QString>

// A printer as the printed lists use it: text at a position in 1/1440 inch (twips) from the
// page's printable origin, a new page, and the end of the document.
class PrintSurface {
  public:
    virtual ~PrintSurface() = default;
    virtual void setFont(const QString& family, double pointSize, bool bold) = 0;
    virtual void textAt(int xTwips, int yTwips, const QString& text) = 0;
    virtual void newPage() = 0;
    // Finishes the document; false when the printer reported a failure.
    virtual bool endDoc() = 0;
};
