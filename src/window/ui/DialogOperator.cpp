#include "window/ui/DialogOperator.h"

#include "dialogs/ui/INPUTKEY.h"
#include "dialogs/ui/frmMode.h"
#include "dialogs/ui/frmType.h"
#include "dialogs/ui/frmsoft.h"
#include "window/ui/QtPrinterSurface.h"

#include <QApplication>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {
QMessageBox::Icon boxIcon(OperatorInteraction::Icon icon) {
    switch (icon) {
    case OperatorInteraction::Icon::Information:
        return QMessageBox::Information;
    case OperatorInteraction::Icon::Warning:
        return QMessageBox::Warning;
    case OperatorInteraction::Icon::Critical:
        return QMessageBox::Critical;
    case OperatorInteraction::Icon::Question:
        return QMessageBox::Question;
    case OperatorInteraction::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// A dialog opened over a window that an operation has disabled would be disabled with it
// and could never be answered; a window may be enabled on its own.
void keepUsable(QWidget* dialog) {
    if (!dialog->isEnabled())
        dialog->setEnabled(true);
}

// Room the title bar takes besides the title: the window icon, the close (and other) buttons
// and the margins, with some slack for title fonts larger than the dialog's.
constexpr int TitleBarAllowance = 160;
} // namespace

QString DialogOperator::shownTitle(const QString& title) {
    return title.isEmpty() ? QGuiApplication::applicationDisplayName() : title;
}

int DialogOperator::titleBarWidth(const QString& title, const QFont& font) {
    QFont titleFont = font;
    titleFont.setBold(true);
    return QFontMetrics(titleFont).horizontalAdvance(shownTitle(title)) * 5 / 4 + TitleBarAllowance;
}

void DialogOperator::fitTitle(QMessageBox& box) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid)
        return;
    const int width = titleBarWidth(box.windowTitle(), box.font());
    // An empty row across the whole box that is at least that wide.
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

DialogOperator::DialogOperator(ParentGetter parent) : m_parent(std::move(parent)) {}

DialogOperator::DialogOperator(QWidget* parent) {
    QPointer<QWidget> guarded(parent);
    m_parent = [guarded] { return guarded.data(); };
}

DialogOperator::~DialogOperator() = default;

QWidget* DialogOperator::parentWidget() const {
    return m_parent ? m_parent() : nullptr;
}

void DialogOperator::message(const QString& title, const QString& text, Icon icon) {
    informativeMessage(title, text, icon, {});
}

void DialogOperator::informativeMessage(const QString& title, const QString& text, Icon icon,
                                        const QString& informative) {
    QMessageBox box(boxIcon(icon), title, text, QMessageBox::Ok, parentWidget());
    if (!informative.isEmpty())
        box.setInformativeText(informative);
    fitTitle(box);
    keepUsable(&box);
    box.exec();
}

void DialogOperator::detailedMessage(const QString& title, const QString& text, Icon icon,
                                     const QString& detailed) {
    QMessageBox box(boxIcon(icon), title, text, QMessageBox::Ok, parentWidget());
    if (!detailed.isEmpty()) {
        box.setDetailedText(detailed);
        // Wide enough that each line of the details stays on one line (up to a limit).
        int widest = 0;
        for (const QString& line : detailed.split(QLatin1Char('\n')))
            widest = std::max(widest, box.fontMetrics().horizontalAdvance(line));
        if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
            grid->addItem(new QSpacerItem(std::min(widest + 48, 900), 0, QSizePolicy::Minimum,
                                          QSizePolicy::Fixed),
                          grid->rowCount(), 0, 1, grid->columnCount());
    }
    fitTitle(box);
    keepUsable(&box);
    box.exec();
}

OperatorInteraction::Answer DialogOperator::ask(const QString& title, const QString& text,
                                                Icon icon, bool withCancel,
                                                const QString& informative) {
    QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No;
    if (withCancel)
        buttons |= QMessageBox::Cancel;
    QMessageBox box(boxIcon(icon), title, text, buttons, parentWidget());
    if (!informative.isEmpty())
        box.setInformativeText(informative);
    box.setDefaultButton(QMessageBox::Yes);
    fitTitle(box);
    keepUsable(&box);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        // Escape or closing the box: Cancel where it is offered, otherwise No.
        return withCancel ? Answer::Cancel : Answer::No;
    }
}

OperatorInteraction::Answer DialogOperator::askYesNo(const QString& title, const QString& text,
                                                     Icon icon) {
    return ask(title, text, icon, false);
}

OperatorInteraction::Answer DialogOperator::informativeYesNo(const QString& title,
                                                             const QString& text, Icon icon,
                                                             const QString& informative) {
    return ask(title, text, icon, false, informative);
}

OperatorInteraction::Answer DialogOperator::askYesNoCancel(const QString& title,
                                                           const QString& text, Icon icon) {
    return ask(title, text, icon, true);
}

void DialogOperator::beep() {
    QApplication::beep();
}

QString DialogOperator::fileName(const FileRequest& request, bool save) {
    QFileDialog dialog(parentWidget(), request.title);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!request.filter.isEmpty())
        dialog.setNameFilters(request.filter.split(QStringLiteral(";;"), Qt::SkipEmptyParts));
    if (!request.defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    // A save dialog asks before it overwrites an existing file (QFileDialog's default).
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    keepUsable(&dialog);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    const QStringList files = dialog.selectedFiles();
    return files.isEmpty() ? QString() : files.constFirst();
}

QString DialogOperator::openFileName(const FileRequest& request) {
    return fileName(request, false);
}

QString DialogOperator::saveFileName(const FileRequest& request) {
    return fileName(request, true);
}

std::unique_ptr<PrintSurface> DialogOperator::choosePrinter(const QString& title) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    {
        QPrintDialog dialog(printer.get(), parentWidget());
        dialog.setWindowTitle(title);
        dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
        keepUsable(&dialog);
        if (dialog.exec() != QDialog::Accepted)
            return nullptr;
    }
    auto surface = std::make_unique<QtPrinterSurface>(std::move(printer));
    if (!surface->isActive())
        return nullptr;
    return surface;
}

OperatorInteraction::TypeChoice DialogOperator::chooseActuatorType(const QString& current) {
    return frmType::GetString(current, parentWidget());
}

QString DialogOperator::chooseOperationMode() {
    return frmMode::GetString(parentWidget());
}

QString DialogOperator::numericKeypad(const QString& current) {
    return INPUTKEY::GetString(current, parentWidget());
}

OperatorInteraction::SoftLimits DialogOperator::softLimitChange(const SoftLimits& current,
                                                                const SoftLimits& tableRows) {
    return frmsoft::GetString(*this, current, tableRows, parentWidget());
}

void DialogOperator::endProgram() {
    if (m_endHook) {
        m_endHook();
        return;
    }
    // Let pending window updates and writes finish, then end at once: the caller does not
    // expect to continue.
    QCoreApplication::processEvents();
    std::fflush(nullptr);
    std::exit(0);
}
