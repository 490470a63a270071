#include "window/ui/PanelWidgets.h"

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

} // namespace PanelWidgets
