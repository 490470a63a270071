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

// The question before a file whose code page cannot hold a character of the tables' text is
// written in UTF-8 instead; beside it, the line and the first such character.
bool confirmUtf8(OperatorInteraction& op, const QString& text, CsvRecords::Encoding encoding) {
    QString beside = QStringLiteral("the file's code page is %1").arg(TextEncoding::name(encoding));
    if (const qsizetype pos = TextEncoding::firstMisfit(text, encoding); pos >= 0) {
        bool ended = false;
        const QList<QStringList> before = CsvRecords::splitLines(text.left(pos), &ended);
        const qsizetype line = before.size() + (ended ? 1 : 0);
        const QString key = ended || before.isEmpty() ? QString() : before.last().value(0);
        const char32_t code = QStringView(text).mid(pos, 2).toUcs4().value(0);
        beside = QStringLiteral("line %1").arg(line) +
                 (key.isEmpty() ? QString() : QStringLiteral(", ") + key) +
                 QStringLiteral(": \"%1\" (U+%2) is not in the file's code page, %3")
                     .arg(QString::fromUcs4(&code, 1),
                          QString::number(code, 16).toUpper().rightJustified(4, QLatin1Char('0')),
                          TextEncoding::name(encoding));
    }
    return op.informativeYesNo(saveTitle(),
                               QStringLiteral("A note holds characters that the file's code page "
                                              "cannot hold. Do you save the whole file in UTF-8?"),
                               Icon::Question, beside) == Answer::Yes;
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
    CsvRecords::Records records(bytes, layout.fieldCount, layout.lineCount,
                                {layout.noteField, 2, layout.tableRows});
    head.records = records.count();
    head.form = records.form();
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

QString composeText(int fieldCount, const QList<QStringList>& tableRecords, int noteField,
                    bool bareNotes, std::span<const ParameterRow> parameters,
                    const QString& ending) {
    QString text;
    text.reserve(8 * 1024);
    text += CsvRecords::joinLine({HeaderWord}, fieldCount);
    for (const QStringList& record : tableRecords)
        text += CsvRecords::joinLine(record, fieldCount, bareNotes ? noteField : -1);
    text += CsvRecords::joinLine({}, fieldCount);
    for (int n = 0; n < 64; ++n) {
        const int row = ParameterRows::rowOf(parameters, n);
        const QString value = row >= 0 ? parameters[size_t(row)].setting : NotHeld;
        text += CsvRecords::joinLine({QStringLiteral("PRM%1=").arg(n), value}, fieldCount);
    }
    return text + ending;
}

ReadRefusal saveRefusal(SettingsFileKind& kind, const QByteArray& bytes) {
    if (bytes.size() > BoundedFile::SettingsFileMaxBytes)
        return {
            QStringLiteral("the tables make a file larger than a settings file may be"), {}, {}};
    const ReadHead& read = kind.checkFile(bytes);
    if (read.error == SettingsFileError::None)
        return {};
    return read;
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

    // The file is written back in the form it was read in; a note its code page cannot hold
    // needs the operator's word before the whole file changes its encoding.
    CsvRecords::FileForm form = kind.fileForm();
    const QString text = kind.fileText(form.bareNotes);
    std::optional<QByteArray> bytes = TextEncoding::encodeExactly(text, form.encoding);
    const bool fits = bytes.has_value();
    if (!fits)
        bytes = text.toUtf8();

    // A file that Open would refuse (a value that is no number, a note too long to read back)
    // is never written and reported as complete: the operator learns which row and field to
    // correct.
    if (const ReadRefusal refused = saveRefusal(kind, *bytes); !refused.reason.isEmpty()) {
        op.informativeMessage(
            saveTitle(),
            refused.ruleText.isEmpty() ? fullPath + QStringLiteral(" cannot be saved.")
                                       : refused.ruleText,
            Icon::Warning, refused.value.isEmpty() ? refused.reason : refused.value);
        return false;
    }
    if (!fits) {
        if (!confirmUtf8(op, text, form.encoding))
            return false;
        form.encoding = TextEncoding::Encoding::Utf8;
    }
    if (const AtomicFile::Result saved = AtomicFile::writeWhole(path, *bytes); !saved) {
        op.informativeMessage(
            saveTitle(),
            fullPath + QStringLiteral(" cannot be saved because it is read only or it is opened."),
            Icon::Warning, saved.reason);
        return false;
    }
    kind.setFileForm(form);
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
    kind.setFileForm({});
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
    return checkRead(op, check, file.bytes);
}

bool checkRead(OperatorInteraction& op, const FileCheck& check, const QByteArray& bytes) {
    const ReadHead& read = check(bytes);
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
    const ReadHead* read = nullptr;
    const auto check = [&kind, &read](const QByteArray& bytes) -> const ReadHead& {
        read = &kind.checkFile(bytes);
        return *read;
    };
    if (!chooseAndCheck(op, openTitle(), check))
        return false;
    kind.setFileForm(read->form);
    kind.takeFile();
    op.message(openTitle(), completeText(), Icon::None);
    return true;
}

bool openUnsaved(OperatorInteraction& op, SettingsFileKind& kind, const QByteArray& bytes) {
    if (!confirmDiscard(op, kind))
        return false;
    const ReadHead* read = nullptr;
    const auto check = [&kind, &read](const QByteArray& b) -> const ReadHead& {
        read = &kind.checkFile(b);
        return *read;
    };
    if (!checkRead(op, check, bytes))
        return false;
    kind.setFileForm(read->form);
    kind.takeFile();
    kind.setModified(true);
    return true;
}

} // namespace SettingsFileFlow
