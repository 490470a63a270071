#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

struct OperationContext;
class OperatorInteraction;

// The controller's error history, shown by both main windows in the error history window
// (errorRecord) under their "Error History Display" item, and its error record file.
namespace ErrorHistory {

inline constexpr int EntryCount = 16;
inline constexpr char Title[] = "Error history display";

// The 16 entries of a "@READ ERR " reply: its lines in the order received, without the final
// "OK"; entries beyond the lines are empty, lines beyond the 16th are dropped.
QStringList entries(const QString& reply);

// The error record file: "QRX Error Record", then the 16 entries, one line each, then one
// more empty line; every line ends in CR LF.
QByteArray fileBytes(const QStringList& entries);

// Error History Display: "@READ ERR " (3000 ms) with the progress dialog shown; on a reply
// ending in "OK" `show` gets the entries. Every way out leaves the window usable.
void display(OperationContext& c, const std::function<void(const QStringList&)>& show);

// Save of the error history window: asks for a file name, writes the record through a
// temporary file and hands the main window its new caption. A cancelled dialog does nothing.
void save(OperatorInteraction& op, const QStringList& entries,
          const std::function<void(const QString&)>& setCaption);

} // namespace ErrorHistory
