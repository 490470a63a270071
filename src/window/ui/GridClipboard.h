#pragma once

#include <QList>
#include <QRect>
#include <QString>

class OperatorInteraction;
class TableGrid;

// Copy and paste of a block of grid cells as tab-separated text, the form spreadsheets use.
//
// A paste goes through exactly what typing goes through, cell by cell from the top left
// cell of the selection, row by row and left to right: the cell must be editable, the key
// filter and the length limit of its column must take every character, and the table's own
// check after the edit must keep the value without a message. The block is tried on a trial
// copy of the table first; when every cell passes it is applied to the table the same way,
// as one undo step ("paste into points 3 to 5"), and selected. When any cell is refused,
// nothing changes and one message titled "Paste" lists the refused cells (row, column and
// reason) beneath a fixed text. A read-only cell that would receive its own text is left
// alone, so a copied block with its number column pastes back.
namespace GridClipboard {

inline const QString PasteTitle = QStringLiteral("Paste");
inline const QString NotPastedText = QStringLiteral("The block was not pasted.");
// At most this much clipboard text is read.
inline constexpr qsizetype MaxPasteChars = 1024 * 1024;
// Refused cells named in the message before the rest is only counted.
inline constexpr int ListedRefusals = 20;

// The selected block (or the current cell) as text: each cell's text as the table holds it.
QString copyText(const TableGrid& grid);

struct Refusal {
    int row = 0;
    int column = 0;
    QString reason;
};

struct PasteResult {
    bool applied = false;
    QList<Refusal> refused; // cells inside the table, in the order tried
    int outside = 0;        // cells of the block beyond the table's last row or column
    QRect block;            // the cells the block covers inside the table (columns x, rows y)
};

PasteResult paste(TableGrid& grid, const QString& text, OperatorInteraction& op);

// The message's informative text: one line per refused cell, "Point 3, Speed (mm/s): reason".
QString refusalText(const TableGrid& grid, const PasteResult& result);

} // namespace GridClipboard
