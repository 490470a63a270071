#pragma once

// Finding and driving the controls of dialogs in GUI tests.

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>
#include <QtTest>

#include <functional>

template <typename T> inline T* child(QWidget* parent, const QString& name) {
    T* w = parent->findChild<T*>(name);
    if (!w)
        qWarning("no child %s", qPrintable(name));
    return w;
}

inline void click(QWidget* parent, const QString& name) {
    auto* button = child<QAbstractButton>(parent, name);
    QVERIFY(button);
    // An option reacts only on its indicator and caption, not on the blank right of it.
    const QPoint at = qobject_cast<QRadioButton*>(button) ? QPoint(6, button->height() / 2)
                                                          : button->rect().center();
    QTest::mouseClick(button, Qt::LeftButton, {}, at);
}

// Runs act on the next modal window other than `except` once it is up: drives dialogs that
// are shown with exec() from inside the call under test.
inline void whenModal(std::function<void(QWidget*)> act, QWidget* except = nullptr,
                      int triesLeft = 200) {
    QTimer::singleShot(10, qApp, [act = std::move(act), except, triesLeft]() mutable {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal != except && modal->isVisible()) {
            act(modal);
            return;
        }
        if (triesLeft > 0)
            whenModal(std::move(act), except, triesLeft - 1);
    });
}

// Saves a picture of a window into QRX5_SCREENSHOT_DIR when that is set: with the window
// manager's frame when the program runs on a real display (xcb), else the window alone.
inline void saveShot(QWidget* window, const QString& name) {
    const QString dir = qEnvironmentVariable("QRX5_SCREENSHOT_DIR");
    if (dir.isEmpty())
        return;
    const QString path = QDir(dir).filePath(name);
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        QVERIFY(window->grab().save(path));
        return;
    }
    QTest::qWait(300); // the frame drawn
    const QRect frame = window->frameGeometry().adjusted(-6, -6, 6, 6);
    QVERIFY(window->screen()
                ->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height())
                .save(path));
}
