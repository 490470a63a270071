#pragma once

#include "link/LinkState.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

class SerialChannel;
class OperatorInteraction;
class QTimer;

// The window side of the two failure reports: the flags they read and what they put back.
class LinkHost {
  public:
    virtual ~LinkHost() = default;
    virtual bool settei() const { return false; }
    virtual int orgpos() const { return 0; }
    // True when the drive panel is in numeric input mode (the first of its mode options).
    virtual bool numericInputMode() const { return true; }
    // Enables the numeric-input option if it is disabled and gives it the focus.
    virtual void focusNumericInputOption() {}
    virtual void clearMotionBusy() {}
    virtual void enableWindow() {}
    virtual void hideProgress() {}
    virtual void enableToolbar() {}
};

// One talking window's link: its command fields, the exchange with the controller and the
// two standard failure reports. The serial channel belongs to the window; the port name and
// busy flag are program-wide (LinkState).
class Link final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Link)
  public:
    enum class Variant { MainWindow, StartUp };

    Link(LinkState& state, SerialChannel& channel, Variant variant = Variant::MainWindow,
         QObject* parent = nullptr);
    ~Link() override;

    // Command fields.
    int P_Command = 0;
    QString P_first;
    QString P_second;
    QString P_third;
    QString sousinnaiyou;

    // Results of the last exchange.
    QString ReplyText;
    bool Timeout = false;
    int ReplyTimeoutMs = 3000;

    // Title of the running operation: the caption of the link's error messages.
    QString operationTitle;

    void ClearCommand();
    void BuildCommand();
    void Exchange();
    static QString ExtractReplyValue(const QString& reply);

    void ReportLinkError(OperatorInteraction& op, LinkHost& host);
    void ReportReplyError(OperatorInteraction& op, LinkHost& host);

    // Monitor boxes: Txt_ComS, Txt_ComR, Txt_Error.
    QString sentText() const { return m_sent; }
    QString receivedText() const { return m_received; }
    QString errorText() const { return m_error; }
    void setErrorText(const QString& text);

    // Writes a line straight to the port if it is open (the stop character while a motion's
    // exchange is pending), after discarding both buffers. Returns false when no port is open.
    bool writeToOpenPort(const QString& line);

    bool busy() const { return m_active; }
    LinkState& state() { return m_state; }
    SerialChannel& channel() { return m_channel; }

  signals:
    void commandSent(const QString& line);      // Txt_ComS
    void replyReceived(const QString& reply);   // Txt_ComR
    void errorTextChanged(const QString& text); // Txt_Error
    void portFault(const QString& reason);      // status bar panel 1
    void exchangeFinished();

  private:
    bool setUp();
    void collect();
    void finish();
    void waitForPending();

    LinkState& m_state;
    SerialChannel& m_channel;
    Variant m_variant;
    QString m_sent;
    QString m_received;
    QString m_error;

    // State of a running exchange.
    bool m_active = false;
    bool m_replyEnded = false;
    bool m_portFailed = false;
    int m_detailFrom = -1; // index where the NG/STOP detail line begins, -1 when none awaited
    QElapsedTimer m_clock;
    qint64 m_sendMs = 0;
    qint64 m_currentMs = 0;
    QTimer* m_deadline = nullptr;
};
