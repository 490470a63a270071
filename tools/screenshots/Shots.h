#pragma once

// What every group of pictures of qrx5-screenshots shares: where the pictures go and how a
// window, a window with a dialog over it, or a window with its frame becomes a picture.

#include <QPixmap>
#include <QPoint>
#include <QString>
#include <functional>

class QWidget;

namespace Shots {

// The folder the pictures are written into (docs/ by default).
void setFolder(const QString& folder);
QString path(const QString& name);
// True when the pictures of the whole screen and the framed dialogs are taken (--screen:
// under X with a window manager).
void setScreenMode(bool on);
bool screenMode();

// Saves what the widget draws (QVERIFY fails the shot when the file cannot be written).
void save(QWidget* widget, const QString& name);
void save(const QPixmap& picture, const QString& name);
// Saves a window with the window manager's frame when the program runs on a real display
// (xcb), else the window alone.
void saveFramed(QWidget* window, const QString& name);

// The window with a picture laid over it at a place of the window (centred when none), as a
// dialog shows over its window.
QPixmap over(QWidget* window, const QPixmap& picture, QPoint at = {-1, -1});
// The message box that call shows, with its details unfolded, as a picture; a question titled
// answerYesTo is answered Yes first.
QPixmap messageBoxOf(const std::function<void()>& call, const QString& answerYesTo = {});
// Runs fn on the next modal dialog once it is shown (an exchange may run first).
void onNextModal(QObject* context, std::function<void(QWidget*)> fn);

} // namespace Shots

// The groups of pictures; each runs its cases as a Qt Test run and returns its failures.
int pointWindowShots(const QStringList& args);
int pulseWindowShots(const QStringList& args);
int dialogShots(const QStringList& args);
int editShots(const QStringList& args);
int historyShots(const QStringList& args);
int startupShots(const QStringList& args);
int screenShots(const QStringList& args);
