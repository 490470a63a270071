#pragma once

class QDialog;
class QDialogButtonBox;
class QWidget;

// The OK and Cancel row of the small dialogs: OK is the default button (Enter presses it),
// OK accepts and Cancel rejects the dialog. A Cancel that has the keyboard focus takes Enter
// itself.
QDialogButtonBox* okCancelButtons(QDialog* dialog);

// A modeless dialog that has just appeared takes the keyboard focus, on `button`: the operator
// can answer it by keyboard at once (Escape, Enter, Space), whichever window had the focus
// and whether or not the window manager activates new windows. Call from showEvent().
void takeKeyboardFocus(QDialog* dialog, QWidget* button);
