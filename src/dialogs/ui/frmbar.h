#pragma once

#include "operator/ProgressView.h"

#include <QDialog>
#include <QString>

class QProgressBar;
class QPushButton;

// The transfer progress dialog "Forwarding": a progress bar and a Cancel button whose tag
// becomes "1" when clicked. Shown modeless by the transfer operations, which poll the tag once
// per table row; it stays loaded between operations.
//
// By keyboard: the dialog takes the focus (on Cancel) when it appears; Enter or Space on
// Cancel, Escape and the title bar's close all cancel the running operation as the button
// does. The dialog stays on screen until the operation has ended and hides it.
//
// It stays usable while its owner window disables itself for an operation: a disabled owner
// would otherwise disable this dialog and with it the Cancel button.
class frmbar final : public QDialog, public ProgressView {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmbar)
  public:
    explicit frmbar(QWidget* parent = nullptr);
    ~frmbar() override;

    // ProgressView
    void setRange(int minimum, int maximum) override;
    void setValue(int value) override;
    void showModeless() override;
    void hide() override;
    bool isShown() const override;
    bool cancelRequested() const override;
    void resetCancel() override;

    // The Cancel button's tag: "0" or "1".
    QString tag() const { return m_tag; }
    QProgressBar* progressBar() const { return m_bar; }

  public slots:
    // Escape and closing the window: Cancel.
    void reject() override;

  protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void requestCancel();

    QProgressBar* m_bar = nullptr;
    QPushButton* m_cancel = nullptr;
    QString m_tag = QStringLiteral("0");
};
