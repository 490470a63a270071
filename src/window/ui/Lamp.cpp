#include "window/ui/Lamp.h"

#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

QColor colourFromBgr(quint32 bgr) {
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

void setButtonColour(QPushButton* button, quint32 bgr) {
    QPalette palette = button->palette();
    palette.setColor(QPalette::Button, colourFromBgr(bgr));
    // Panel colours are light: keep the caption dark so it stays readable on them, and grey
    // while the button is disabled, so a coloured button still shows that it cannot be used.
    palette.setColor(QPalette::Active, QPalette::ButtonText, Qt::black);
    palette.setColor(QPalette::Inactive, QPalette::ButtonText, Qt::black);
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x90, 0x90, 0x90));
    button->setPalette(palette);
}

void resetButtonColour(QPushButton* button) {
    // An empty palette carries no colour of its own, so the button inherits the face colour.
    button->setPalette(QPalette());
}

void setBoxColour(QLineEdit* box, quint32 bgr) {
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, colourFromBgr(bgr));
    palette.setColor(QPalette::Text, Qt::black);
    box->setPalette(palette);
}

Lamp::Lamp(Shape shape, QWidget* parent) : QWidget(parent), m_shape(shape) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void Lamp::setOn(bool on) {
    if (m_on == on)
        return;
    m_on = on;
    update();
}

void Lamp::setUnknown(bool unknown) {
    if (m_unknown == unknown)
        return;
    m_unknown = unknown;
    update();
}

QColor Lamp::fillColour() const {
    if (m_unknown)
        return unknownColour();
    return m_on ? onColour() : palette().color(QPalette::Button);
}

void Lamp::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(palette().color(QPalette::Dark), 1));
    painter.setBrush(fillColour());
    const int side = qMin(width(), height()) - 2;
    const QRectF area((width() - side) / 2.0, (height() - side) / 2.0, side, side);
    if (m_shape == Shape::Round)
        painter.drawEllipse(area);
    else
        painter.drawRect(area);
    if (m_unknown) {
        // Hatched over the grey: no colour a lamp could have, so it cannot pass for one.
        painter.setPen(Qt::NoPen);
        painter.setBrush(QBrush(QColor(0x60, 0x60, 0x60), Qt::BDiagPattern));
        if (m_shape == Shape::Round)
            painter.drawEllipse(area);
        else
            painter.drawRect(area);
    }
}
