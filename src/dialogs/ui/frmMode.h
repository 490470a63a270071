#pragma once

#include <QDialog>
#include <QString>

class QButtonGroup;

// The operation mode dialog "Selection in operation mode": five options whose letters are
// "A", "I", "O", "C" and "U". The selected option sets the result;
// Cancel and closing the window leave the result empty.
class frmMode final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmMode)
  public:
    explicit frmMode(QWidget* parent = nullptr);
    ~frmMode() override;

    // Shows the dialog modally: the chosen letter, or the empty text after Cancel.
    static QString GetString(QWidget* parent = nullptr);

    QString result() const { return m_result; }

  public slots:
    void reject() override;

  private:
    QButtonGroup* m_options = nullptr;
    QString m_result;
};
