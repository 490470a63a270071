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
void display(const OperationContext& c, const std::function<void(const QStringList&)>& show);

// The save dialog of an error record: its caption and its filter (plain text files). It is
// not a settings file, so it neither offers settings files nor changes the main window's
// caption (which names the settings file).
inline constexpr char SaveTitle[] = "Save Error Record";
inline constexpr char SaveFilter[] = "Error record(*.txt);;All files(*)";

// Save of the error history window: asks for a file name and writes the record through a
// temporary file. A cancelled dialog does nothing.
void save(OperatorInteraction& op, const QStringList& entries);

} // namespace ErrorHistory
