#pragma once

#include <QDialog>

// The About box: the program's name and version and the connected controller's version.
class frmVer final : public QDialog {
    Q_OBJECT
  public:
    explicit frmVer(const QString& controllerVersion, QWidget* parent = nullptr);
};
