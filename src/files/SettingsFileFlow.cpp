#include "files/SettingsFileFlow.h"

#include "fileio/AtomicFile.h"
#include "fileio/BoundedFile.h"
#include "files/CsvRecords.h"
#include "tables/ActuatorType.h"
#include "tables/ParameterRows.h"

#include <QDir>
#include <QFileInfo>

namespace SettingsFileFlow {

namespace {

using Icon = OperatorInteraction::Icon;
using Answer = OperatorInteraction::Answer;

OperatorInteraction::FileRequest fileRequest(const QString& title) {
    OperatorInteraction::FileRequest request;
    request.title = title;
    request.filter = fileFilter();
    request.defaultSuffix = QStringLiteral("csv");
    return request;
}

// "Cannot open file." with why beside it.
void showCannotOpen(OperatorInteraction& op, const QString& reason) {
    op.informativeMessage(QString(), QStringLiteral("Cannot open file."), Icon::None, reason);
}

} // namespace

QString saveTitle() {
    return QStringLiteral("Save As");
}

QString openTitle() {
    return QStringLiteral("Open");
}

QString fileFilter() {
    return QStringLiteral("Setting file(*.csv)");
}

QString completeText() {
    return QStringLiteral("    Complete.");
}

CsvRecords::Records readHead(const QByteArray& bytes, const Layout& layout, ReadHead& head) {
    CsvRecords::Records records(bytes, layout.fieldCount, layout.lineCount);
    head.records = records.count();
    head.encoding = records.encoding();
    const auto refuse = [&head, &records](SettingsFileError error, const QString& reason) {
        head.error = error;
        head.reason = reason;
        return records;
    };
    if (records.first() != HeaderWord) {
        if (bytes.isEmpty())
            return refuse(SettingsFileError::NotSettingsFile, QStringLiteral("the file is empty"));
        return refuse(SettingsFileError::NotSettingsFile,
                      QStringLiteral("line 1: the file begins with %1, not \"%2\"")
                          .arg(TableProblem::quoted(records.first()), HeaderWord));
    }
    // A file of the other kind (or no settings file at all) is told by its second line.
    const QString firstKey = layout.tableKey + QStringLiteral("0=");
    if (head.records >= 2 && records.field(2, 0).trimmed() != firstKey)
        return refuse(SettingsFileError::BadLine,
                      QStringLiteral("line 2 begins with %1 where \"%2\" belongs")
                          .arg(TableProblem::quoted(records.field(2, 0).trimmed()), firstKey));
    if (records.overlongLine() > 0)
        return refuse(SettingsFileError::BadLine,
                      QStringLiteral("line %1: %2 fields, a line of this file has %3")
                          .arg(records.overlongLine())
                          .arg(records.overlongFields())
                          .arg(layout.fieldCount));
    if (head.records < layout.minimumRecords)
        return refuse(SettingsFileError::TooFewRecords,
                      QStringLiteral("%1 complete lines, at least %2 needed")
                          .arg(head.records)
                          .arg(layout.minimumRecords));
    // Every value is read by its place: a line missing or doubled would put every later value
    // into the wrong row, so each line must be the one its place needs.
    for (int line = 2; line <= head.records; ++line) {
        QString key;
        if (line < 2 + layout.tableRows)
            key = layout.tableKey + QString::number(line - 2) + QLatin1Char('=');
        else if (line >= layout.typeLine && line < layout.typeLine + 64)
            key = QStringLiteral("PRM%1=").arg(line - layout.typeLine);
        const QString found = records.field(line, 0).trimmed();
        if (!key.isEmpty() && found != key)
            return refuse(SettingsFileError::BadLine,
                          QStringLiteral("line %1 begins with %2 where \"%3\" belongs")
                              .arg(line)
                              .arg(TableProblem::quoted(found), key));
    }
    head.actuatorType = records.field(layout.typeLine, 1).trimmed();
    if (!ActuatorType::isSupported(head.actuatorType))
        return refuse(SettingsFileError::UnsupportedType,
                      QStringLiteral("line %1, Parameter 0, Actuator Type: %2 is not 30 to 33")
                          .arg(layout.typeLine)
                          .arg(TableProblem::quoted(head.actuatorType)));
    return records;
}

SettingsFileError refuseValue(ReadHead& head, int line, const TableProblem& problem) {
    head.value = problem.text();
    head.reason = QStringLiteral("line %1, ").arg(line) + head.value;
    head.ruleText = problem.ruleText;
    return SettingsFileError::BadValue;
}

QByteArray composeFile(int fieldCount, const QList<QStringList>& tableRecords,
                       std::span<const ParameterRow> parameters, const QString& ending,
                       CsvRecords::Encoding encoding) {
    QString text;
    text.reserve(8 * 1024);
    text += CsvRecords::joinLine({HeaderWord}, fieldCount);
    for (const QStringList& record : tableRecords)
        text += CsvRecords::joinLine(record, fieldCount);
    text += CsvRecords::joinLine({}, fieldCount);
    for (int n = 0; n < 64; ++n) {
        const int row = ParameterRows::rowOf(parameters, n);
        const QString value = row >= 0 ? parameters[size_t(row)].setting : NotHeld;
        text += CsvRecords::joinLine({QStringLiteral("PRM%1=").arg(n), value}, fieldCount);
    }
    return CsvRecords::encode(text + ending, encoding);
}

bool confirmDiscard(OperatorInteraction& op, SettingsFileKind& kind) {
    if (!kind.modified())
        return true;
    const Answer answer =
        op.askYesNoCancel(QString(), QStringLiteral("Do you save data?"), Icon::Question);
    if (answer == Answer::Cancel)
        return false;
    if (answer == Answer::Yes)
        return saveAs(op, kind);
    return true;
}

bool saveAs(OperatorInteraction& op, SettingsFileKind& kind) {
    const QString path = op.saveFileName(fileRequest(saveTitle()));
    if (path.isEmpty())
        return false;
    const QString fullPath = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());

    // A file that Open would refuse (a value the controller would not take, a note too long
    // to read back) is never written and reported as complete: the operator learns which row
    // and field to correct.
    const QByteArray bytes = kind.fileBytes();
    QString refusal;
    if (bytes.size() > BoundedFile::SettingsFileMaxBytes)
        refusal = QStringLiteral("the tables make a file larger than a settings file may be");
    else if (kind.checkFile(bytes) != SettingsFileError::None)
        refusal = kind.refusal().value.isEmpty() ? kind.refusal().reason : kind.refusal().value;
    if (!refusal.isEmpty()) {
        const QString rule = kind.refusal().ruleText;
        op.informativeMessage(
            saveTitle(), rule.isEmpty() ? fullPath + QStringLiteral(" cannot be saved.") : rule,
            Icon::Warning, refusal);
        return false;
    }
    if (const AtomicFile::Result saved = AtomicFile::writeWhole(path, bytes); !saved) {
        op.informativeMessage(
            saveTitle(),
            fullPath + QStringLiteral(" cannot be saved because it is read only or it is opened."),
            Icon::Warning, saved.reason);
        return false;
    }
    kind.setCaption(kind.captionPrefix() + fullPath);
    kind.setModified(false);
    op.message(saveTitle(), completeText(), Icon::None);
    return true;
}

bool newFile(OperatorInteraction& op, SettingsFileKind& kind) {
    if (!confirmDiscard(op, kind))
        return false;
    const QString type = kind.actuatorType();
    if (!ActuatorType::isSupported(type)) {
        ParameterRows::reportUnsupportedType(op);
        return false;
    }
    kind.resetTables();
    kind.setModified(false);
    return true;
}

bool chooseAndCheck(OperatorInteraction& op, const QString& title, const FileCheck& check,
                    bool* chosen) {
    const QString path = op.openFileName(fileRequest(title));
    if (chosen)
        *chosen = !path.isEmpty();
    if (path.isEmpty())
        return false;

    const BoundedFile::Result file = BoundedFile::read(path, BoundedFile::SettingsFileMaxBytes);
    if (!file.ok()) {
        showCannotOpen(op, file.reason);
        return false;
    }
    const ReadHead& read = check(file.bytes);
    if (read.error == SettingsFileError::UnsupportedType) {
        op.informativeMessage(QStringLiteral("Controller type"),
                              QStringLiteral("Controller type is different."), Icon::Warning,
                              read.reason);
        return false;
    }
    if (read.error != SettingsFileError::None) {
        showCannotOpen(op, read.reason);
        return false;
    }
    return true;
}

bool open(OperatorInteraction& op, SettingsFileKind& kind) {
    if (!confirmDiscard(op, kind))
        return false;
    ReadHead read;
    const auto check = [&kind, &read](const QByteArray& bytes) -> const ReadHead& {
        read.error = kind.checkFile(bytes);
        static_cast<ReadRefusal&>(read) = kind.refusal();
        return read;
    };
    if (!chooseAndCheck(op, openTitle(), check))
        return false;
    kind.takeFile();
    op.message(openTitle(), completeText(), Icon::None);
    return true;
}

} // namespace SettingsFileFlow
