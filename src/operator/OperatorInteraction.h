#pragma once

#include <QString>
#include <QStringList>
#include <memory>

class PrintSurface;

// Everything that waits for the operator goes through this interface: message boxes,
// questions, file and print dialogs, the modal value dialogs and ending the program.
// Production shows real dialogs; tests answer from a script and record every prompt.
class OperatorInteraction {
  public:
    enum class Icon { None, Information, Warning, Critical, Question };
    enum class Answer { Ok, Yes, No, Cancel };

    struct FileRequest {
        QString title;
        QString filter;   // Qt filter text, for example "Data file (*.csv)"
        QString fileName; // initial file name
        QString defaultSuffix;
    };

    struct TypeChoice {
        QString type;   // "30".."33": the first two characters of the selected option
        int okFlag = 0; // 1 when OK closed the dialog
    };

    struct SoftLimits {
        double plus = 0; // 0.01 mm
        int minus = 0;   // 0.01 mm
        QString note;    // shown with the values when the dialog opens (why they were moved)
    };

    virtual ~OperatorInteraction() = default;

    // A message box with an OK button only.
    virtual void message(const QString& title, const QString& text, Icon icon) = 0;
    // The same with an informative text beneath the message (which port, which reason); the
    // message text itself stays as given. Without a place for it only the message is shown.
    virtual void informativeMessage(const QString& title, const QString& text, Icon icon,
                                    const QString& informative) {
        (void)informative;
        message(title, text, icon);
    }
    // The same with a detailed text the operator can unfold beneath it (a list of every
    // difference, for example); the message text itself stays as given. Without a place for
    // it only the message is shown.
    virtual void detailedMessage(const QString& title, const QString& text, Icon icon,
                                 const QString& detailed) {
        (void)detailed;
        message(title, text, icon);
    }
    // Yes/No question: returns Yes or No.
    virtual Answer askYesNo(const QString& title, const QString& text, Icon icon) = 0;
    // The same with an informative text beneath the question (what the answer will do); the
    // question itself stays as given. Without a place for it only the question is shown.
    virtual Answer informativeYesNo(const QString& title, const QString& text, Icon icon,
                                    const QString& informative) {
        (void)informative;
        return askYesNo(title, text, icon);
    }
    // Yes/No/Cancel question: returns Yes, No or Cancel.
    virtual Answer askYesNoCancel(const QString& title, const QString& text, Icon icon) = 0;
    virtual void beep() = 0;

    // File dialogs: the chosen path, or an empty text when the operator cancelled.
    virtual QString openFileName(const FileRequest& request) = 0;
    virtual QString saveFileName(const FileRequest& request) = 0;
    // Print dialog: a surface to print on, or null when the operator cancelled or no
    // printer could be started.
    virtual std::unique_ptr<PrintSurface> choosePrinter(const QString& title) = 0;

    // GetString of the actuator type dialog (frmType); current is the current type.
    virtual TypeChoice chooseActuatorType(const QString& current) = 0;
    // GetString of the operation mode dialog (frmMode): "A","I","O","C","U" or empty.
    virtual QString chooseOperationMode() = 0;
    // GetString of the numeric keypad (INPUTKEY): the typed text or empty.
    // current is the edited cell's text, shown in the display when the keypad opens.
    virtual QString numericKeypad(const QString& current) = 0;
    // GetString of the soft limit dialog (frmsoft). current are the values shown on open;
    // tableRows are the (+) and (-) soft limit rows of the parameter table, reloaded on Cancel.
    virtual SoftLimits softLimitChange(const SoftLimits& current, const SoftLimits& tableRows) = 0;

    // Ends the program at once (unsupported actuator type).
    virtual void endProgram() = 0;
};
