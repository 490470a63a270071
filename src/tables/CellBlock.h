#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// A rectangular block of cells as tab-separated text, the form spreadsheets copy and paste:
// one line per row, the cells of a row separated by tabs. A cell that holds a tab, a line
// end or begins with a double quote is written in double quotes, a quote inside doubled.
namespace CellBlock {

using Rows = QList<QStringList>;

// The block as text: rows end with LF (the last one too).
QString toText(const Rows& rows);

// The rows of a text. Lines end with CR LF, LF or CR; a line end after the last row starts no
// further row. A cell that begins with a double quote runs to the closing quote (a doubled
// quote inside stands for one, tabs and line ends inside belong to the cell); text after the
// closing quote up to the next tab or line end is kept. An empty text has no rows.
Rows fromText(const QString& text);

} // namespace CellBlock
