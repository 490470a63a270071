#pragma once

class QDialog;
class QDialogButtonBox;

// The OK and Cancel row of the small dialogs: OK is the default button (Enter presses it),
// OK accepts and Cancel rejects the dialog.
QDialogButtonBox* okCancelButtons(QDialog* dialog);
