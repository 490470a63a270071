#include "history/HistoryMessage.h"

#include <QStringList>

namespace HistoryMessage {

namespace {

using Way = FinishedTransfer::Way;
using Table = FinishedTransfer::Table;

const QString Operation = QStringLiteral("Operation");
const QString Port = QStringLiteral("Port");
const QString LeadsTo = QStringLiteral("Leads to");
const QString Kind = QStringLiteral("Kind");
const QString Type = QStringLiteral("Actuator type");
const QString Result = QStringLiteral("Result");
const QString Tables = QStringLiteral("Tables");

QString capitalised(const QString& word) {
    return word.isEmpty() ? word : word.left(1).toUpper() + word.mid(1);
}

QString tableName(Table table, const QString& firstTable) {
    return table == Table::First ? firstTable : QStringLiteral("parameters");
}

// How the controller came to hold a table: the way of the last transfer that covered it.
QString howHeld(const QList<FinishedTransfer>& finished, Table table) {
    QString how;
    for (const FinishedTransfer& t : finished)
        if (t.table == table)
            how = t.way == Way::Receive    ? QStringLiteral("as received")
                  : t.way == Way::Transmit ? QStringLiteral("as transmitted")
                                           : QStringLiteral("as initialised");
    return how;
}

// A "Key: value" line's value never holds a line end.
QString oneLine(QString value) {
    return value.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), u' ');
}

} // namespace

QString operationName(const FinishedTransfer& t, const QString& firstTable) {
    const QString table = capitalised(tableName(t.table, firstTable));
    switch (t.way) {
    case Way::Receive:
        return QStringLiteral("Receive(%1)").arg(table);
    case Way::Transmit:
        return QStringLiteral("Transmit(%1)").arg(table);
    case Way::Init:
        break;
    }
    return QStringLiteral("Init > %1").arg(table);
}

QString operations(const HistoryRecord& record) {
    QStringList names;
    for (const FinishedTransfer& t : record.finished)
        names << operationName(t, record.tables.firstTable);
    return names.join(QStringLiteral(", "));
}

QString resultText(const FinishedTransfer& t) {
    switch (t.way) {
    case Way::Receive:
        return QStringLiteral("Receiving has finished.");
    case Way::Transmit:
        return QStringLiteral("Transmitting has finished.");
    case Way::Init:
        break;
    }
    return QStringLiteral("Initializing has completed.");
}

CoveredTables covered(const QList<FinishedTransfer>& finished) {
    CoveredTables c;
    for (const FinishedTransfer& t : finished)
        (t.table == Table::First ? c.first : c.parameters) = true;
    return c;
}

QString fileName(const QString& port) {
    QString name = port;
    for (QChar& ch : name)
        if (!(ch.isLetterOrNumber() && ch.unicode() < 128) && ch != u'-' && ch != u'_' &&
            ch != u'.')
            ch = u'_';
    // Never a hidden file, never ".." or git's own folder.
    if (name.isEmpty() || name.startsWith(u'.'))
        name.prepend(u'_');
    return name + QStringLiteral(".csv");
}

QString compose(const HistoryRecord& r, bool previousUsed, const QString& tipId) {
    QStringList results;
    for (const FinishedTransfer& t : r.finished)
        if (!results.contains(resultText(t)))
            results << resultText(t);
    QStringList tables;
    for (const Table table : {Table::First, Table::Parameters}) {
        const QString name = tableName(table, r.tables.firstTable);
        const QString how = howHeld(r.finished, table);
        if (!how.isEmpty())
            tables << name + u' ' + how;
        else if (previousUsed)
            tables << name + QStringLiteral(" as recorded in ") + tipId.left(7);
        else
            tables << name + QStringLiteral(" as the window held them (not yet recorded from "
                                            "this port)");
    }
    const QString operation = operations(r);
    QStringList lines{r.port + QStringLiteral(": ") + operation, QString()};
    const std::pair<QString, QString> fields[] = {
        {Operation, operation},
        {Port, r.port},
        {LeadsTo, r.leadsTo},
        {Kind, r.tables.kindName},
        {Type, r.tables.actuatorType},
        {Result, results.join(u' ')},
        {Tables, tables.join(QStringLiteral("; "))},
    };
    for (const auto& [key, value] : fields)
        lines << key + QStringLiteral(": ") + oneLine(value);
    return lines.join(u'\n') + u'\n';
}

std::optional<HistoryVersion> parse(const QString& id, const QDateTime& time, const QString& author,
                                    const QString& message) {
    HistoryVersion v{id, time, author};
    const std::pair<QString, QString*> fields[] = {
        {Operation, &v.operation}, {Port, &v.port},     {LeadsTo, &v.leadsTo}, {Kind, &v.kind},
        {Type, &v.actuatorType},   {Result, &v.result}, {Tables, &v.tables},
    };
    const QStringList lines = message.split(u'\n');
    for (const QString& line : lines.mid(1))
        for (const auto& [key, value] : fields)
            if (line.startsWith(key + QStringLiteral(": ")))
                *value = line.mid(key.size() + 2);
    if (v.port.isEmpty() || v.operation.isEmpty())
        return std::nullopt;
    return v;
}

} // namespace HistoryMessage
