#pragma once

#include "files/SettingsFileFlow.h"
#include "history/TransferRecorder.h"
#include "transfers/Operation.h"

#include <QString>

class Console;
class ConsoleOperator;
class ControllerHistory;
class ConsoleProgress;

// Exit statuses of the command line.
namespace ExitStatus {
inline constexpr int Done = 0;      // done; for --verify: the controller equals the file
inline constexpr int Different = 1; // --verify: the controller differs from the file
inline constexpr int Refused = 1;   // a check or an unanswered question refused the action
inline constexpr int Failed = 2;    // a link or file error
inline constexpr int Usage = 64;    // the command line itself is wrong (an unknown option...)
inline constexpr int Interrupted = 130;
} // namespace ExitStatus

// The window side of an operation when there is no window: nothing to disable, restore or
// refresh. It follows the write blocks, so that an interrupt can let a block finish and the
// last message can say what the controller holds.
class CliHost final : public OperationHost {
  public:
    void restore() override {}
    void disableWindow() override {}
    void refreshDependentDisplays() override {}
    bool confirmDiscard() override { return true; }
    void writeBlockChanged(const BlockProgress& block) override {
        m_block = block;
        m_blockSeen = true;
        m_recorder.blockChanged(block);
    }
    void transferFinished(const FinishedTransfer& transfer) override {
        m_recorder.finished(transfer);
    }
    // What an action's operations finished, for the controller history (CliRecord).
    TransferRecorder& recorder() { return m_recorder; }

    bool inWriteBlock() const { return m_block.running; }
    // The last write block since forgetBlock(), if there was one.
    bool blockSeen() const { return m_blockSeen; }
    const BlockProgress& lastBlock() const { return m_block; }
    void forgetBlock() {
        m_block = {};
        m_blockSeen = false;
    }

  private:
    BlockProgress m_block;
    bool m_blockSeen = false;
    TransferRecorder m_recorder;
};

// What one run of the command line works with, handed to the operations of the detected
// kind. The operations themselves are the ones the windows run.
struct CliSession {
    Console& console;
    Link& link;
    ConsoleOperator& op;
    ConsoleProgress& progress;
    CliHost& host;
    bool yes = false;            // --yes
    bool moveSoftLimits = false; // --move-soft-limits
    OperationState state;        // settei, the moving flag, the failures told
    // The controller history and this run's port in it (its name and where it leads); null
    // with --no-history (CliRecord).
    ControllerHistory* history = nullptr;
    QString historyPort;
    QString historyLeadsTo;

    // The context of one operation the command line starts: like a window's operator action,
    // it begins with settei cleared.
    OperationContext context();

    // Marks the start of an operation; statusSince() then tells how it went.
    struct Mark {
        int messages;
        int failures;
    };
    Mark mark() const;
    // Done when the operation showed its completion message (title, text); else interrupted,
    // a link or reply error or the program's end (Failed), or a refusal (Refused).
    int statusSince(const Mark& m, const QString& title, const QString& text) const;

    // The interrupt key. Within a write block the first one lets the block finish (the
    // controller keeps a whole table; said on standard error) and the run ends after it; a
    // second one, or one outside a block, cancels at once as the progress dialog's Cancel
    // does.
    void interrupt();
    int interrupts = 0;

    // A settings file read whole, as the window's Open reads it (a regular file within the
    // settings file cap); false with "Cannot open file." and the reason on standard error.
    bool readFile(const QString& path, QByteArray& bytes) const;
    // The file written whole or not at all, only over a regular file and never through a
    // symbolic link; false with a message and the reason when it cannot be.
    bool writeFile(const QString& path, const QByteArray& bytes) const;
};

// Settings files as the command line reads them, with or without a controller.
namespace CliFiles {

// A settings file read whole, as the window's Open reads it (a regular file within the
// settings file cap); false with "Cannot open file." and the reason on standard error.
bool read(Console& console, const QString& path, QByteArray& bytes);
// A file the settings file checks refused, told as Open tells it: "Cannot open file." (or
// "Controller type is different." for an actuator type the program does not serve) with
// the line and field beneath it.
void tellRefused(Console& console, const QString& path, SettingsFileError error,
                 const QString& reason);

} // namespace CliFiles
