#pragma once

// Finding and driving the controls of dialogs in GUI tests.

#include <QAbstractButton>
#include <QApplication>
#include <QRadioButton>
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
