#include "window/ui/ControlPanel.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

QPushButton* ControlPanel::button(const QString& objectName) const {
    return findChild<QPushButton*>(objectName);
}

QLineEdit* ControlPanel::box(const QString& objectName) const {
    return findChild<QLineEdit*>(objectName);
}

QRadioButton* ControlPanel::teachingOption(int index) const {
    return m_options ? qobject_cast<QRadioButton*>(m_options->button(index)) : nullptr;
}

bool ControlPanel::numericInputChosen() const {
    const QRadioButton* numeric = teachingOption(0);
    return numeric && numeric->isChecked();
}

void ControlPanel::focusNumericInput() {
    if (QRadioButton* numeric = teachingOption(0)) {
        numeric->setEnabled(true);
        numeric->setFocus();
    }
}

QHBoxLayout* ControlPanel::makeTeachingOptions(QWidget* frame, const QStringList& captions) {
    m_options = new QButtonGroup(frame);
    auto* row = new QHBoxLayout;
    for (int i = 0; i < captions.size(); ++i) {
        auto* option = new QRadioButton(captions.at(i), frame);
        option->setObjectName(QStringLiteral("Opt_Num_%1").arg(i));
        m_options->addButton(option, i);
        row->addWidget(option);
    }
    row->addStretch(1);
    return row;
}
