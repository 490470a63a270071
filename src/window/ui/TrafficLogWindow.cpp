#include "window/ui/TrafficLogWindow.h"

#include "fileio/AtomicFile.h"
#include "link/TrafficLog.h"
#include "operator/OperatorInteraction.h"

#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QVBoxLayout>

namespace {
#ifdef Q_OS_WIN
const QString LineEnd = QStringLiteral("\r\n");
#else
const QString LineEnd = QStringLiteral("\n");
#endif
} // namespace

TrafficLogWindow::TrafficLogWindow(std::shared_ptr<TrafficLog> log, OperatorInteraction& op,
                                   QWidget* parent)
    : QDialog(parent), m_log(std::move(log)), m_op(op) {
    setObjectName(QStringLiteral("TrafficLogWindow"));
    setWindowTitle(title());
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlag(Qt::WindowMaximizeButtonHint);

    auto* note =
        new QLabel(QStringLiteral("TX: sent to the controller   RX: received   "
                                  "!!: time-out or port fault   (last %L1 lines, at most %L2 MB)")
                       .arg(TrafficLog::MaxLines)
                       .arg(TrafficLog::MaxChars / (1024 * 1024)),
                   this);
    note->setObjectName(QStringLiteral("Lbl_TrafficNote"));

    m_view = new QPlainTextEdit(this);
    m_view->setObjectName(QStringLiteral("Txt_Traffic"));
    m_view->setAccessibleName(title());
    m_view->setReadOnly(true);
    m_view->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_view->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_view->setMinimumSize(m_view->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 72,
                           m_view->fontMetrics().height() * 20);
    m_view->setPlainText(m_log->text().chopped(m_log->size() > 0 ? 1 : 0));
    m_view->moveCursor(QTextCursor::End);

    auto* saveButton = new QPushButton(QStringLiteral("Save..."), this);
    saveButton->setObjectName(QStringLiteral("Cmd_Save"));
    saveButton->setAutoDefault(false);
    auto* clearButton = new QPushButton(QStringLiteral("Clear"), this);
    clearButton->setObjectName(QStringLiteral("Cmd_Clear"));
    clearButton->setAutoDefault(false);
    auto* closeButton = new QPushButton(QStringLiteral("Close"), this);
    closeButton->setObjectName(QStringLiteral("Cmd_Close"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(saveButton);
    buttons->addWidget(clearButton);
    buttons->addStretch(1);
    buttons->addWidget(closeButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(note);
    layout->addWidget(m_view, 1);
    layout->addLayout(buttons);

    connect(m_log.get(), &TrafficLog::lineAdded, m_view, &QPlainTextEdit::appendPlainText);
    // The view holds what the log holds: the lines the log lets go leave the view too.
    connect(m_log.get(), &TrafficLog::linesDropped, m_view, [this](int count) {
        QTextCursor cursor(m_view->document());
        cursor.movePosition(QTextCursor::Start);
        cursor.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor, count);
        cursor.removeSelectedText();
    });
    connect(m_log.get(), &TrafficLog::cleared, m_view, &QPlainTextEdit::clear);
    connect(saveButton, &QPushButton::clicked, this, &TrafficLogWindow::save);
    connect(clearButton, &QPushButton::clicked, m_log.get(), &TrafficLog::clear);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
}

TrafficLogWindow::~TrafficLogWindow() = default;

bool TrafficLogWindow::save() {
    OperatorInteraction::FileRequest request;
    request.title = QStringLiteral("Save Traffic Log");
    request.filter = QStringLiteral("Text file (*.txt)");
    request.fileName = QStringLiteral("traffic.txt");
    request.defaultSuffix = QStringLiteral("txt");
    const QString path = m_op.saveFileName(request);
    if (path.isEmpty())
        return false;
    if (const AtomicFile::Result saved =
            AtomicFile::writeWhole(path, m_log->text(LineEnd).toUtf8());
        !saved) {
        m_op.informativeMessage(
            title(),
            QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()) +
                QStringLiteral(" cannot be saved because it is read only or it is opened."),
            OperatorInteraction::Icon::Warning, saved.reason);
        return false;
    }
    return true;
}
