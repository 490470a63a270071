#include "pointops/ui/IoLamps.h"

#include "pointops/ui/Lamp.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

IoLamps::IoLamps(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("IoLamps"));
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    m_frame = new QGroupBox(QStringLiteral("I/O monitor"), this);
    m_frame->setObjectName(QStringLiteral("Frame_IO"));
    outer->addWidget(m_frame);

    auto* grid = new QGridLayout(m_frame);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(4);

    // Each lamp and its caption sit in one cell pair; inputs are shown Pos 0 first.
    const auto addLamp = [&](int index, const QString& caption, int row, int column) {
        auto* lamp = new Lamp(Lamp::Shape::Round, m_frame);
        lamp->setObjectName(QStringLiteral("Lamp_%1").arg(index));
        auto* label = new QLabel(caption, m_frame);
        label->setObjectName(QStringLiteral("Lbl_Lamp_%1").arg(index));
        m_lamps[index] = lamp;
        m_labels[index] = label;
        grid->addWidget(lamp, row, 1 + 2 * column);
        grid->addWidget(label, row, 2 + 2 * column);
    };

    grid->addWidget(new QLabel(QStringLiteral("Output"), m_frame), 0, 0);
    const QString outputs[] = {QStringLiteral("HOLD"), QStringLiteral("INPOS"),
                               QStringLiteral("BUSY"), QStringLiteral("READY")};
    for (int i = 0; i < 4; ++i)
        addLamp(i, outputs[i], 0, i);

    grid->addWidget(new QLabel(QStringLiteral("Input"), m_frame), 1, 0);
    for (int k = 0; k < 6; ++k)
        addLamp(13 - k, QStringLiteral("Pos %1").arg(k), 1, k);
    grid->setColumnStretch(13, 1);

    m_errorRow = new QHBoxLayout;
    auto* error = new QLabel(QStringLiteral("ERROR"), m_frame);
    error->setObjectName(QStringLiteral("Lbl_Error"));
    m_errorRow->addWidget(error);
    m_errorRow->addStretch(1);
    grid->addLayout(m_errorRow, 2, 0, 1, 14);
}

Lamp* IoLamps::lamp(int index) const {
    return hasLamp(index) ? m_lamps[index] : nullptr;
}

QLabel* IoLamps::label(int index) const {
    return hasLamp(index) ? m_labels[index] : nullptr;
}

void IoLamps::setLamp(int index, bool on) {
    if (Lamp* target = lamp(index))
        target->setOn(on);
}

void IoLamps::resetLamps() {
    for (int i = 0; i < Count; ++i)
        setLamp(i, false);
}

void IoLamps::setNewModel(bool newModel) {
    m_newModel = newModel;
    m_lamps[8]->setVisible(newModel);
    m_labels[8]->setVisible(newModel);
    if (!newModel)
        m_lamps[8]->setOn(false);
}

void IoLamps::placeErrorBox(QWidget* box) {
    box->setParent(m_frame);
    m_errorRow->insertWidget(1, box, 1);
}
