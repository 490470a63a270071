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

void showCannotOpen(OperatorInteraction& op) {
    op.message(QString(), QStringLiteral("Cannot open file."), Icon::None);
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
    if (records.first() != HeaderWord) {
        head.error = SettingsFileError::NotSettingsFile;
    } else if (head.records < layout.minimumRecords) {
        head.error = SettingsFileError::TooFewRecords;
    } else {
        head.actuatorType = records.field(layout.typeLine, 1);
        if (!ActuatorType::isSupported(head.actuatorType))
            head.error = SettingsFileError::UnsupportedType;
    }
    return records;
}

QByteArray composeFile(int fieldCount, const QList<QStringList>& tableRecords,
                       std::span<const ParameterRow> parameters, const QString& ending) {
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
    return CsvRecords::encode(text + ending);
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

    // A file that Open would refuse (a note too long to read back, a value that is not a
    // number) is never written and reported as complete.
    const QByteArray bytes = kind.fileBytes();
    const bool openable = bytes.size() <= BoundedFile::SettingsFileMaxBytes &&
                          kind.checkFile(bytes) == SettingsFileError::None;
    if (!openable || !AtomicFile::writeWhole(path, bytes)) {
        op.message(saveTitle(),
                   fullPath +
                       QStringLiteral(" cannot be saved because it is read only or it is opened."),
                   Icon::Warning);
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
        showCannotOpen(op);
        return false;
    }
    const SettingsFileError error = check(file.bytes);
    if (error == SettingsFileError::UnsupportedType) {
        ParameterRows::reportUnsupportedType(op);
        return false;
    }
    if (error != SettingsFileError::None) {
        showCannotOpen(op);
        return false;
    }
    return true;
}

bool open(OperatorInteraction& op, SettingsFileKind& kind) {
    if (!confirmDiscard(op, kind))
        return false;
    if (!chooseAndCheck(op, openTitle(),
                        [&kind](const QByteArray& bytes) { return kind.checkFile(bytes); }))
        return false;
    kind.takeFile();
    op.message(openTitle(), completeText(), Icon::None);
    return true;
}

} // namespace SettingsFileFlow
