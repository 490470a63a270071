#include "Shots.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPainter>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWidget>

namespace {
QString g_folder = QStringLiteral("docs");
bool g_screen = false;
} // namespace

namespace Shots {

void setFolder(const QString& folder) {
    g_folder = folder;
}

QString path(const QString& name) {
    return QDir(g_folder).filePath(name);
}

void setScreenMode(bool on) {
    g_screen = on;
}

bool screenMode() {
    return g_screen;
}

void save(QWidget* widget, const QString& name) {
    QVERIFY2(widget->grab().save(path(name)), qPrintable(path(name)));
}

void save(const QPixmap& picture, const QString& name) {
    QVERIFY2(!picture.isNull(), qPrintable(name));
    QVERIFY2(picture.save(path(name)), qPrintable(path(name)));
}

void saveFramed(QWidget* window, const QString& name) {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        save(window, name);
        return;
    }
    QTest::qWait(300); // the frame drawn
    const QRect frame = window->frameGeometry().adjusted(-6, -6, 6, 6);
    save(window->screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height()),
         name);
}

QPixmap over(QWidget* window, const QPixmap& picture, QPoint at) {
    QPixmap sheet = window->grab();
    if (at.x() < 0)
        at = QPoint((sheet.width() - picture.width()) / 2, (sheet.height() - picture.height()) / 2);
    QPainter painter(&sheet);
    painter.fillRect(QRect(at, picture.size()).adjusted(-1, -1, 1, 1), Qt::darkGray);
    painter.drawPixmap(at, picture);
    return sheet;
}

QPixmap messageBoxOf(const std::function<void()>& call, const QString& answerYesTo) {
    QPixmap box;
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, qApp, [&box, poll, answerYesTo] {
        auto* message = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!message || !message->isVisible())
            return;
        if (!answerYesTo.isEmpty() && message->text() == answerYesTo) {
            message->button(QMessageBox::Yes)->click();
            return;
        }
        poll->stop();
        for (QAbstractButton* b : message->buttons())
            if (message->buttonRole(b) == QMessageBox::ActionRole)
                b->click(); // Show Details...
        QTimer::singleShot(100, message, [&box, message] {
            box = message->grab();
            message->accept();
        });
    });
    poll->start(20);
    call();
    poll->deleteLater();
    return box;
}

void onNextModal(QObject* context, std::function<void(QWidget*)> fn) {
    auto* poll = new QTimer(context);
    QObject::connect(poll, &QTimer::timeout, context, [poll, fn] {
        if (QWidget* w = QApplication::activeModalWidget()) {
            poll->stop();
            poll->deleteLater();
            fn(w);
        }
    });
    poll->start(10);
}

} // namespace Shots
