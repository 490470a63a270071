#pragma once

#include "operator/OperatorInteraction.h"

#include <QDialog>

class QLineEdit;

// The soft limit dialog "Soft limit change": the plus limit in Text1 (digits only) and the
// minus limit in Text2 (digits and "-"). OK (Command1) checks both and, when they pass,
// stores them and closes; a refusal is shown with caption "Error" and the dialog stays open.
// Cancel (Command2), Escape and closing the window all take both values back from the soft
// limit rows of the parameter table. Enter presses OK, or Cancel when Cancel has the focus.
class frmsoft final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmsoft)
  public:
    using SoftLimits = OperatorInteraction::SoftLimits;

    // current: the values shown on open; tableRows: the (+) and (-) soft limit rows of the
    // parameter table. Refusals are shown through op.
    frmsoft(OperatorInteraction& op, const SoftLimits& current, const SoftLimits& tableRows,
            QWidget* parent = nullptr);
    ~frmsoft() override;

    // Shows the dialog modally and returns the resulting soft limits.
    static SoftLimits GetString(OperatorInteraction& op, const SoftLimits& current,
                                const SoftLimits& tableRows, QWidget* parent = nullptr);

    SoftLimits result() const { return m_result; }

  public slots:
    // OK: checks the two boxes; closes only when both pass.
    void accept() override;
    // Cancel, Escape and closing: reloads the values from the parameter table rows and closes.
    void reject() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void showValues(const SoftLimits& values);

    OperatorInteraction& m_op;
    SoftLimits m_tableRows;
    SoftLimits m_result;
    QLineEdit* m_plus = nullptr;
    QLineEdit* m_minus = nullptr;
};
