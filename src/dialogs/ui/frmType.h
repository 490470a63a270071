#pragma once

#include "operator/OperatorInteraction.h"

#include <QDialog>

class QButtonGroup;

// The actuator type dialog "Actuator type": four options "30 : QRX-A20" .. "33 : QRX-B40",
// exactly one selected. OK sets the OK flag to 1. The result is the first two characters of
// the selected option whichever way the dialog closed; the caller goes on only with OK flag 1.
class frmType final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmType)
  public:
    explicit frmType(QWidget* parent = nullptr);
    ~frmType() override;

    // Shows the dialog modally with the option of the current type selected and returns the
    // selected type and the OK flag.
    static OperatorInteraction::TypeChoice GetString(const QString& currentType,
                                                     QWidget* parent = nullptr);

    // Selects the option whose first two characters equal type; any other text keeps the
    // selection as it is.
    void selectType(const QString& type);
    // The selected type and the OK flag as they stand.
    OperatorInteraction::TypeChoice choice() const;

  public slots:
    void accept() override;

  private:
    QButtonGroup* m_options = nullptr;
    int m_okFlag = 0;
};
