#pragma once

#include "window/ui/TableGrid.h"

#include <functional>

class ZoneTableModel;

// The zone grid (object name "Grid1"): typing into a cell edits it through the key filter
// (positions take digits, "-" and "."; the note anything, up to the note limit). A double
// click or Enter on a position cell opens the numeric keypad with the cell's text while
// keypad entry is allowed (the teaching SET button is enabled); otherwise it edits the cell.
// Number column and header are light blue.
class ZoneGrid final : public TableGrid {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ZoneGrid)

  public:
    explicit ZoneGrid(ZoneTableModel* model, QWidget* parent = nullptr);

    ZoneTableModel* zoneModel() const { return m_model; }
    void setKeypadAllowed(std::function<bool()> allowed) { m_keypadAllowed = std::move(allowed); }

  private:
    ZoneTableModel* m_model;
    std::function<bool()> m_keypadAllowed;
};
