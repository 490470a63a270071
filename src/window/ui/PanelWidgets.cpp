#include "window/ui/PanelWidgets.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace PanelWidgets {

QPushButton* button(const QString& name, const QString& caption, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

QLineEdit* box(const QString& name, const QString& text, const QString& sample, QWidget* parent) {
    auto* b = new QLineEdit(text, parent);
    b->setObjectName(name);
    b->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    b->setMaxLength(8);
    b->setFixedWidth(b->fontMetrics().horizontalAdvance(sample) + 12);
    return b;
}

QLabel* label(const QString& text, QWidget* buddy, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setBuddy(buddy);
    return l;
}

QGroupBox* frame(const QString& name, const QString& caption, QWidget* parent) {
    auto* f = new QGroupBox(caption, parent);
    f->setObjectName(name);
    return f;
}

namespace {
constexpr char MnemonicProperty[] = "panelMnemonic";

// "&" marks the mnemonic; "&&" is a literal "&".
QString plain(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('&') && i + 1 < text.size())
            ++i;
        out += text.at(i);
    }
    return out;
}

QString marked(const QString& caption, QChar letter) {
    QString out = caption;
    out.replace(QLatin1Char('&'), QLatin1String("&&"));
    const qsizetype at = letter.isNull() ? -1 : out.indexOf(letter, 0, Qt::CaseInsensitive);
    if (at >= 0)
        out.insert(at, QLatin1Char('&'));
    return out;
}
} // namespace

void setMnemonics(QWidget* root, const QList<Mnemonic>& mnemonics) {
    for (const Mnemonic& m : mnemonics) {
        auto* b = root->findChild<QAbstractButton*>(QLatin1String(m.name));
        if (!b)
            continue;
        const QString shown = caption(b);
        b->setProperty(MnemonicProperty, QChar(QLatin1Char(m.letter)));
        setCaption(b, shown);
    }
}

QString caption(const QAbstractButton* button) {
    return plain(button->text());
}

void setCaption(QAbstractButton* button, const QString& caption) {
    const QVariant letter = button->property(MnemonicProperty);
    if (!letter.isValid()) {
        button->setText(caption);
        return;
    }
    // Without an accessible name of its own, a button is named by its caption without the mark.
    button->setText(marked(caption, letter.value<QChar>()));
}

} // namespace PanelWidgets
