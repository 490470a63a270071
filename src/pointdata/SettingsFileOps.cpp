#include "pointdata/SettingsFileOps.h"

#include "pointdata/ActuatorTypes.h"
#include "pointdata/SettingsFile.h"
#include "startup/AtomicFile.h"
#include "startup/BoundedFile.h"
#include "startup/NoteText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {

using Icon = OperatorInteraction::Icon;
using Answer = OperatorInteraction::Answer;

const QString kComplete = QStringLiteral("    Complete.");

OperatorInteraction::FileRequest fileRequest(const QString& title) {
    OperatorInteraction::FileRequest request;
    request.title = title;
    request.filter = SettingsFileOps::fileFilter();
    request.defaultSuffix = QStringLiteral("csv");
    return request;
}

} // namespace

SettingsFileOps::SettingsFileOps(OperatorInteraction& op, QObject* parent)
    : QObject(parent), m_op(op) {}

void SettingsFileOps::showCannotOpen() {
    m_op.message(QString(), QStringLiteral("Cannot open file."), Icon::None);
}

void SettingsFileOps::showUnsupportedType() {
    m_op.message(QStringLiteral("Controller type"), QStringLiteral("Controller type is different."),
                 Icon::Warning);
}

bool SettingsFileOps::confirmDiscard(SettingsDocument& doc) {
    if (!doc.modified)
        return true;
    const Answer answer =
        m_op.askYesNoCancel(QString(), QStringLiteral("Do you save data?"), Icon::Question);
    if (answer == Answer::Cancel)
        return false;
    if (answer == Answer::Yes)
        return saveAs(doc);
    return true;
}

bool SettingsFileOps::saveAs(SettingsDocument& doc) {
    const QString path = m_op.saveFileName(fileRequest(saveTitle()));
    if (path.isEmpty())
        return false;
    const QString fullPath = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());

    // Notes are bounded where they are entered and read, so this holds; a file that Open
    // would refuse is never written and reported as complete.
    const QByteArray bytes = SettingsFile::write(doc.points, doc.parameters);
    const bool openable = bytes.size() <= BoundedFile::SettingsFileMaxBytes &&
                          std::all_of(doc.points.begin(), doc.points.end(),
                                      [](const PointRecord& p) { return NoteText::fits(p.note); });
    if (!openable || !AtomicFile::writeWhole(path, bytes)) {
        m_op.message(
            saveTitle(),
            fullPath + QStringLiteral(" cannot be saved because it is read only or it is opened."),
            Icon::Warning);
        return false;
    }
    emit captionChanged(captionPrefix() + fullPath);
    doc.modified = false;
    m_op.message(saveTitle(), kComplete, Icon::None);
    return true;
}

bool SettingsFileOps::newFile(SettingsDocument& doc) {
    if (!confirmDiscard(doc))
        return false;
    const QString type = doc.parameters[0].setting;
    if (!ActuatorTypes::isSupported(type)) {
        showUnsupportedType();
        return false;
    }
    doc.points = PointTableData{};
    doc.parameters = ActuatorTypes::initialTable(type);
    doc.modified = false;
    emit tablesReplaced();
    return true;
}

bool SettingsFileOps::open(SettingsDocument& doc) {
    if (!confirmDiscard(doc))
        return false;
    const QString path = m_op.openFileName(fileRequest(openTitle()));
    if (path.isEmpty())
        return false;

    const BoundedFile::Result file = BoundedFile::read(path, BoundedFile::SettingsFileMaxBytes);
    if (!file.ok()) {
        showCannotOpen();
        return false;
    }
    SettingsFile::ReadResult result = SettingsFile::read(file.bytes);
    if (!result.ok) {
        if (result.error == SettingsFile::ReadError::UnsupportedType)
            showUnsupportedType();
        else
            showCannotOpen();
        return false;
    }
    doc.points = std::move(result.points);
    doc.parameters = std::move(result.parameters);
    emit tablesReplaced();
    m_op.message(openTitle(), kComplete, Icon::None);
    return true;
}
