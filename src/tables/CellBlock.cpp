#include "tables/CellBlock.h"

namespace CellBlock {

namespace {
bool needsQuotes(const QString& cell) {
    return cell.startsWith(QLatin1Char('"')) || cell.contains(QLatin1Char('\t')) ||
           cell.contains(QLatin1Char('\n')) || cell.contains(QLatin1Char('\r'));
}
} // namespace

QString toText(const Rows& rows) {
    QString out;
    for (const QStringList& row : rows) {
        QStringList cells;
        cells.reserve(row.size());
        for (const QString& cell : row) {
            if (needsQuotes(cell)) {
                QString quoted = cell;
                quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
                cells << QLatin1Char('"') + quoted + QLatin1Char('"');
            } else {
                cells << cell;
            }
        }
        out += cells.join(QLatin1Char('\t'));
        out += QLatin1Char('\n');
    }
    return out;
}

Rows fromText(const QString& text) {
    Rows rows;
    QStringList row;
    QString cell;
    const qsizetype n = text.size();
    qsizetype i = 0;
    bool rowOpen = false;  // something of the current row has been read
    bool cellStart = true; // nothing of the current cell has been read
    while (i < n) {
        rowOpen = true;
        if (cellStart && text.at(i) == QLatin1Char('"')) {
            cellStart = false;
            // A quoted cell: up to the closing quote, a doubled quote standing for one.
            ++i;
            while (i < n) {
                if (text.at(i) == QLatin1Char('"')) {
                    if (i + 1 < n && text.at(i + 1) == QLatin1Char('"')) {
                        cell += QLatin1Char('"');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                cell += text.at(i++);
            }
            continue;
        }
        const QChar c = text.at(i++);
        cellStart = c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r');
        if (c == QLatin1Char('\t')) {
            row << cell;
            cell.clear();
        } else if (c == QLatin1Char('\n') || c == QLatin1Char('\r')) {
            if (c == QLatin1Char('\r') && i < n && text.at(i) == QLatin1Char('\n'))
                ++i;
            row << cell;
            cell.clear();
            rows << row;
            row.clear();
            rowOpen = false;
        } else {
            cell += c;
        }
    }
    if (rowOpen) {
        row << cell;
        rows << row;
    }
    return rows;
}

} // namespace CellBlock
