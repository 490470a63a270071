#pragma once

#include <QString>

// A printer as the printed lists use it: text at a position in 1/1440 inch (twips) from the
// page's printable origin, a new page, and the end of the document.
class PrintSurface {
  public:
    virtual ~PrintSurface() = default;
    // The lowest position (in twips, text included) the pages reach. A surface whose
    // printable area is shorter shrinks each page evenly so that nothing is cut off; called
    // before anything is drawn.
    virtual void setDocumentHeight(int twips) { (void)twips; }
    virtual void setFont(const QString& family, double pointSize, bool bold) = 0;
    virtual void textAt(int xTwips, int yTwips, const QString& text) = 0;
    virtual void newPage() = 0;
    // Finishes the document; false when the printer reported a failure.
    virtual bool endDoc() = 0;
};
