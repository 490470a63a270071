#pragma once

#include "files/PrintSurface.h"

#include <QList>
#include <QMap>
#include <QPair>
#include <QString>

// A print surface for tests: records every call made on it; endDoc answers as told.
struct PrintCall {
    QString kind; // "font", "text", "page", "end"
    int x = 0;
    int y = 0;
    QString text;
    bool bold = false;
    double size = 0;
};

class RecordingSurface final : public PrintSurface {
  public:
    explicit RecordingSurface(QList<PrintCall>* calls, bool endResult = true)
        : m_calls(calls), m_endResult(endResult) {}
    void setFont(const QString& family, double pointSize, bool bold) override {
        m_calls->append({"font", 0, 0, family, bold, pointSize});
    }
    void textAt(int x, int y, const QString& text) override {
        m_calls->append({"text", x, y, text});
    }
    void newPage() override { m_calls->append({"page"}); }
    bool endDoc() override {
        m_calls->append({"end"});
        return m_endResult;
    }

  private:
    QList<PrintCall>* m_calls;
    bool m_endResult;
};

using PrintedPage = QMap<QPair<int, int>, QString>; // (x, y) -> text

// Splits the recorded texts at the new-page calls; two texts at one place are joined (and
// warned about, so a test can see it).
inline QList<PrintedPage> printedPages(const QList<PrintCall>& calls) {
    QList<PrintedPage> pages{PrintedPage{}};
    for (const PrintCall& c : calls) {
        if (c.kind == "page")
            pages.append(PrintedPage{});
        if (c.kind != "text")
            continue;
        const auto key = qMakePair(c.x, c.y);
        if (pages.last().contains(key))
            qWarning("two texts at %d, %d", c.x, c.y);
        pages.last()[key] += c.text;
    }
    return pages;
}
