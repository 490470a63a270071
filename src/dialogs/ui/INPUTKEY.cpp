#include "dialogs/ui/INPUTKEY.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

INPUTKEY::INPUTKEY(const QString& start, QWidget* parent) : QDialog(parent), m_keypad(start) {
    setObjectName(QStringLiteral("INPUTKEY"));
    setWindowTitle(QStringLiteral("Input a numerical value."));

    m_display = new QLineEdit(this);
    m_display->setObjectName(QStringLiteral("Text1"));
    m_display->setReadOnly(true);
    m_display->setAlignment(Qt::AlignRight);
    m_display->setFocusPolicy(Qt::NoFocus);
    showValue();

    // Calculator layout: 7 8 9 / 4 5 6 / 1 2 3 / 0 . - / CLR
    auto* grid = new QGridLayout;
    auto addKey = [&](int key, int row, int column, int columnSpan = 1) {
        auto* button = new QPushButton(Keypad::caption(key), this);
        button->setObjectName(QStringLiteral("TENKEY_%1").arg(key));
        button->setAutoDefault(false);
        button->setFocusPolicy(Qt::NoFocus);
        button->setMinimumSize(44, 36);
        connect(button, &QPushButton::clicked, this, [this, key] { pressKey(key); });
        grid->addWidget(button, row, column, 1, columnSpan);
    };
    for (int d = 1; d <= 9; ++d)
        addKey(d, 2 - (d - 1) / 3, (d - 1) % 3);
    addKey(0, 3, 0);
    addKey(Keypad::Point, 3, 1);
    addKey(Keypad::Minus, 3, 2);
    addKey(Keypad::Clear, 4, 0, 3);

    auto* kettei = new QPushButton(QStringLiteral("Enter"), this);
    kettei->setObjectName(QStringLiteral("kettei"));
    kettei->setDefault(true);
    connect(kettei, &QPushButton::clicked, this, &INPUTKEY::accept);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("CancelButton"));
    // With the focus (Tab), Cancel takes Enter itself: Enter never returns the value then.
    cancel->setAutoDefault(true);
    connect(cancel, &QPushButton::clicked, this, &INPUTKEY::reject);
    grid->addWidget(kettei, 0, 3, 2, 1);
    grid->addWidget(cancel, 2, 3, 2, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_display);
    layout->addLayout(grid);
}

INPUTKEY::~INPUTKEY() = default;

void INPUTKEY::pressKey(int key) {
    m_keypad.press(key);
    showValue();
}

void INPUTKEY::showValue() {
    m_display->setText(m_keypad.value());
    // The cell's text, still to be replaced, shows in the selection colours. (The display never
    // has the focus, so a text selection of its own would not show.)
    QPalette palette = m_display->parentWidget()->palette();
    if (m_keypad.isSelected()) {
        for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
            palette.setColor(group, QPalette::Base, palette.color(group, QPalette::Highlight));
            palette.setColor(group, QPalette::Text,
                             palette.color(group, QPalette::HighlightedText));
        }
    }
    m_display->setPalette(palette);
}

bool INPUTKEY::valueSelected() const {
    return m_keypad.isSelected();
}

QString INPUTKEY::displayText() const {
    return m_display->text();
}

void INPUTKEY::accept() {
    m_result = m_display->text();
    QDialog::accept();
}

void INPUTKEY::reject() {
    m_result.clear();
    QDialog::reject();
}

void INPUTKEY::keyPressEvent(QKeyEvent* event) {
    const QString text = event->text();
    if (text.size() == 1 && text.at(0).isDigit() && text.at(0).unicode() < 128) {
        pressKey(text.at(0).unicode() - '0');
        return;
    }
    if (text == QLatin1String(".") || event->key() == Qt::Key_Period) {
        pressKey(Keypad::Point);
        return;
    }
    if (text == QLatin1String("-") || event->key() == Qt::Key_Minus) {
        pressKey(Keypad::Minus);
        return;
    }
    if (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete) {
        pressKey(Keypad::Clear);
        return;
    }
    QDialog::keyPressEvent(event); // Enter and Escape
}

QString INPUTKEY::GetString(const QString& start, QWidget* parent) {
    INPUTKEY dialog(start, parent);
    if (!dialog.isEnabled())
        dialog.setEnabled(true);
    dialog.exec();
    return dialog.result();
}
