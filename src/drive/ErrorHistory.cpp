#include "drive/ErrorHistory.h"

#include "fileio/AtomicFile.h"
#include "link/Command.h"
#include "link/ReplyRules.h"
#include "operator/ProgressView.h"
#include "transfers/LinkReports.h"

#include <QDir>

namespace ErrorHistory {

QStringList entries(const QString& reply) {
    QString text = reply;
    // The final "OK": two characters when the reply ends with it, four with its CR LF.
    if (text.endsWith(QLatin1Char('K')))
        text.chop(2);
    else if (text.endsWith(QLatin1String("OK\r\n")))
        text.chop(4);
    QStringList out;
    while (out.size() < EntryCount && !text.isEmpty()) {
        const qsizetype cr = text.indexOf(QLatin1Char('\r'));
        if (cr < 0) {
            out << text;
            text.clear();
            break;
        }
        out << text.left(cr);
        text.remove(0, cr + 1);
        if (text.startsWith(QLatin1Char('\n')))
            text.remove(0, 1);
    }
    while (out.size() < EntryCount)
        out << QString();
    return out;
}

QByteArray fileBytes(const QStringList& entries) {
    QByteArray bytes("QRX Error Record\r\n");
    for (int i = 0; i < EntryCount; ++i)
        bytes += entries.value(i).toLatin1() + "\r\n";
    return bytes + "\r\n";
}

void display(const OperationContext& base, const std::function<void(const QStringList&)>& show) {
    const OperationContext c = Ops::titled(base, QLatin1String(Title));
    c.host.disableWindow();
    if (c.progress.cancelRequested())
        c.progress.resetCancel(); // a click left over from an earlier operation must not count
    c.progress.setRange(0, 1);
    c.progress.showModeless();
    const ExchangeResult r = Ops::exchange(c, Command::ReadERR, {}, 3000);
    if (r.Timeout()) {
        Ops::reportLinkError(c, r);
        return;
    }
    const QString& reply = r.ReplyText;
    if (!ReplyRules::isOk(reply)) {
        // A refusal is no error history: it goes to the error box and no list is shown.
        if (ReplyRules::isRefusal(reply))
            c.link.setErrorText(reply);
        else
            Ops::reportReplyError(c, r);
        Ops::restore(c);
        return;
    }
    c.progress.setValue(0);
    if (c.progress.cancelRequested()) {
        c.progress.resetCancel();
        Ops::restore(c);
        c.op.message(c.cancel.title, c.cancel.text, OperatorInteraction::Icon::Warning);
    }
    c.progress.setValue(1);
    show(entries(reply));
    Ops::restore(c);
}

void save(OperatorInteraction& op, const QStringList& entries) {
    OperatorInteraction::FileRequest request;
    request.title = QLatin1String(SaveTitle);
    request.filter = QLatin1String(SaveFilter);
    request.defaultSuffix = QStringLiteral("txt");
    const QString path = op.saveFileName(request);
    if (path.isEmpty())
        return;
    const QString name = QDir::toNativeSeparators(path);
    if (const AtomicFile::Result saved = AtomicFile::writeWhole(path, fileBytes(entries)); !saved) {
        op.informativeMessage(
            QString(),
            name + QStringLiteral("cannot be saved because it is read only or it is opened."),
            OperatorInteraction::Icon::None, saved.reason);
    }
}

} // namespace ErrorHistory
