#pragma once

#include <QDialog>
#include <QStringList>

class OperatorInteraction;
class QLabel;

// The error history window "Error history display": the controller's 16 error entries in the
// labels Label1_0 (oldest, at the top) to Label1_15, Save (e_hozon) to write the error record
// file and OK to close. Not modal; each Error History Display replaces the open one.
// The entries are the controller's text and are shown as plain text, whatever they hold.
class errorRecord final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(errorRecord)
  public:
    errorRecord(const QStringList& entries, OperatorInteraction& op, QWidget* parent = nullptr);
    ~errorRecord() override;

    QStringList entries() const;
    void save();

  private:
    OperatorInteraction& m_op;
    QList<QLabel*> m_labels;
};
