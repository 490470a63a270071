#include "dialogs/ui/frmMode.h"

#include "dialogs/ui/DialogButtons.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
struct ModeOption {
    const char* caption; // blanks exactly as the operators know them
    const char* letter;
};
const ModeOption Modes[] = {
    {" A :Positioning operation (Absolute position)", "A"},
    {" I   :Positioning operation (Increment position)", "I"},
    {"O :Pushing operation(- side)", "O"},
    {"C :Pushing operation(+ side)", "C"},
    {"U :Pushing operation during acceleration / deceleration movement", "U"},
};
const char* const LetterProperty = "modeLetter";
} // namespace

frmMode::frmMode(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmMode"));
    setWindowTitle(QStringLiteral("Selection in operation mode"));

    auto* label = new QLabel(QStringLiteral("Please choose the operation mode."), this);
    label->setObjectName(QStringLiteral("Mode_select"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);

    m_options = new QButtonGroup(this);
    int id = 0;
    for (const ModeOption& mode : Modes) {
        auto* option = new QRadioButton(QString::fromLatin1(mode.caption), this);
        option->setObjectName(QStringLiteral("Option1_%1").arg(id));
        option->setProperty(LetterProperty, QString::fromLatin1(mode.letter));
        m_options->addButton(option, id++);
        layout->addWidget(option);
    }
    // Within an option group the focus moves with the selection (arrow keys, clicks), so
    // following the selected option gives the letter of the option that got the focus.
    connect(m_options, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked)
            m_result = m_options->button(id)->property(LetterProperty).toString();
    });
    // The first option holds the focus when the dialog opens, so OK alone gives "A".
    m_options->button(0)->setChecked(true);
    m_options->button(0)->setFocus();

    auto* buttons = okCancelButtons(this);
    layout->addWidget(buttons);
}

frmMode::~frmMode() = default;

void frmMode::reject() {
    m_result.clear();
    QDialog::reject();
}

QString frmMode::GetString(QWidget* parent) {
    frmMode dialog(parent);
    if (!dialog.isEnabled())
        dialog.setEnabled(true);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.result();
}
