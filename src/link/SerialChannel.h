#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

// One serial line to a controller, used only through these operations: open by port name
// ("COM1".."COM8"), close, discard both buffers, write a text, read everything waiting.
// Reception is signalled by readyRead(); a line lost while open is signalled by faulted().
class SerialChannel : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;
    ~SerialChannel() override = default;

    virtual bool open(const QString& portName) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual void clearBuffers() = 0;
    virtual qint64 write(const QByteArray& data) = 0;
    virtual QByteArray readAll() = 0;
    // The system's reason for the last failure to open or use the line.
    virtual QString errorString() const = 0;
    // Where the last open led ("/dev/ttyS3", "sim:point"); empty when the line has no other
    // name than its port name.
    virtual QString destination() const { return {}; }

  signals:
    void readyRead();
    void faulted(const QString& reason);
};
