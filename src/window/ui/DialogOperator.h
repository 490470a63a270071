#pragma once

#include "operator/OperatorInteraction.h"

#include <QPointer>
#include <QWidget>
#include <functional>

class QFont;
class QMessageBox;

// The operator as the running program meets it: real message boxes, file and print dialogs
// and the program's own value dialogs, each parented to the window the parent getter names
// (the visible main window, usually) so that it opens over it.
class DialogOperator final : public OperatorInteraction {
  public:
    using ParentGetter = std::function<QWidget*()>;

    explicit DialogOperator(ParentGetter parent = {});
    explicit DialogOperator(QWidget* parent);
    ~DialogOperator() override;
    Q_DISABLE_COPY_MOVE(DialogOperator)

    void setParentGetter(ParentGetter parent) { m_parent = std::move(parent); }
    // Replaces what endProgram does (the default flushes pending events and ends the process).
    void setEndHook(std::function<void()> hook) { m_endHook = std::move(hook); }

    void message(const QString& title, const QString& text, Icon icon) override;
    void informativeMessage(const QString& title, const QString& text, Icon icon,
                            const QString& informative) override;
    void detailedMessage(const QString& title, const QString& text, Icon icon,
                         const QString& detailed) override;
    Answer askYesNo(const QString& title, const QString& text, Icon icon) override;
    Answer informativeYesNo(const QString& title, const QString& text, Icon icon,
                            const QString& informative) override;
    Answer askYesNoCancel(const QString& title, const QString& text, Icon icon) override;
    void beep() override;

    QString openFileName(const FileRequest& request) override;
    QString saveFileName(const FileRequest& request) override;
    std::unique_ptr<PrintSurface> choosePrinter(const QString& title) override;

    TypeChoice chooseActuatorType(const QString& current) override;
    QString chooseOperationMode() override;
    QString numericKeypad(const QString& current) override;
    SoftLimits softLimitChange(const SoftLimits& current, const SoftLimits& tableRows) override;

    void endProgram() override;

    // Widens a message box so that its whole title fits in the title bar beside the window
    // buttons; a box sizes itself to its text alone and the title was cut short ("Rece…").
    static void fitTitle(QMessageBox& box);
    // The title the window manager shows for a window title: a box without a title of its own
    // shows the program's name.
    static QString shownTitle(const QString& title);
    // The width a window needs for that title in a title bar drawn in a bold font of the size
    // of font, with its icon, buttons and margins.
    static int titleBarWidth(const QString& title, const QFont& font);

  private:
    QWidget* parentWidget() const;
    Answer ask(const QString& title, const QString& text, Icon icon, bool withCancel,
               const QString& informative = {});
    QString fileName(const FileRequest& request, bool save);

    ParentGetter m_parent;
    std::function<void()> m_endHook;
};
