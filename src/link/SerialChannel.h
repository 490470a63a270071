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
    // The bytes taken for the line: fewer than data.size() (or -1) means the line was not
    // written in full.
    virtual qint64 write(const QByteArray& data) = 0;
    virtual QByteArray readAll() = 0;
    // The system's reason for the last failure to open or use the line.
    virtual QString errorString() const = 0;
    // Where the last open led ("/dev/ttyS3", "sim:point"); empty when the line has no other
    // name than its port name.
    virtual QString destination() const { return {}; }
    // True when the last open failed because another program holds the line (its lock, or
    // the device opened for exclusive use).
    virtual bool heldElsewhere() const { return false; }
    // False when the port name given to open() says nothing about where the line leads (the
    // command line's fixed device): messages then name the device alone.
    virtual bool portNameShown() const { return true; }

  signals:
    void readyRead();
    void faulted(const QString& reason);
};
