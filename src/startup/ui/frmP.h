#pragma once

#include <QDialog>
#include <QString>
#include <functional>

struct LinkState;
class QButtonGroup;

// The port dialog "Com setup": eight options "COM1".."COM8". Choosing an option sets the
// program-wide port name at once; OK shows it in the main window's status bar and closes;
// Cancel (and closing the window) puts back the port that was set when the dialog opened.
// Modeless, created anew for each opening and deleted when closed.
class frmP final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmP)
  public:
    // showPort is called with the port name on OK (status bar panel 3 of the main window).
    frmP(LinkState& state, std::function<void(const QString&)> showPort, QWidget* parent = nullptr);
    ~frmP() override;

    // The port name remembered on open, restored by Cancel.
    QString rememberedPort() const { return m_remembered; }

  public slots:
    void accept() override;
    void reject() override;

  private:
    LinkState& m_state;
    std::function<void(const QString&)> m_showPort;
    QString m_remembered;
    QButtonGroup* m_options = nullptr;
};
