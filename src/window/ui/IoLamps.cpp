#include "window/ui/IoLamps.h"

#include "window/ui/Lamp.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

IoLamps::Layout IoLamps::Layout::pointInput() {
    Layout layout;
    layout.title = QStringLiteral("I/O monitor");
    Row outputs{QStringLiteral("Output"), {}};
    const char* const names[] = {"HOLD", "INPOS", "BUSY", "READY"};
    for (int i = 0; i < 4; ++i)
        outputs.lamps.append({i, QString::fromLatin1(names[i])});
    Row inputs{QStringLiteral("Input"), {}};
    for (int k = 0; k < 6; ++k)
        inputs.lamps.append({13 - k, QStringLiteral("Pos %1").arg(k)});
    layout.rows = {outputs, inputs};
    return layout;
}

IoLamps::IoLamps(const Layout& layout, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("IoLamps"));
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    m_frame = new QGroupBox(layout.title, this);
    m_frame->setObjectName(QStringLiteral("Frame_IO"));
    outer->addWidget(m_frame);

    auto* grid = new QGridLayout(m_frame);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(4);

    // Each lamp and its caption sit in one cell pair.
    int columns = 0;
    for (int row = 0; row < layout.rows.size(); ++row) {
        const Layout::Row& r = layout.rows[row];
        if (!r.caption.isEmpty())
            grid->addWidget(new QLabel(r.caption, m_frame), row, 0);
        for (int column = 0; column < r.lamps.size(); ++column) {
            const auto& [index, caption] = r.lamps[column];
            if (index < 0 || index >= Count || m_lamps[index])
                continue;
            auto* lamp = new Lamp(Lamp::Shape::Round, m_frame);
            lamp->setObjectName(QStringLiteral("Lamp_%1").arg(index));
            auto* label = new QLabel(caption, m_frame);
            label->setObjectName(QStringLiteral("Lbl_Lamp_%1").arg(index));
            m_lamps[index] = lamp;
            m_labels[index] = label;
            grid->addWidget(lamp, row, 1 + 2 * column);
            grid->addWidget(label, row, 2 + 2 * column);
        }
        columns = qMax(columns, 1 + 2 * int(r.lamps.size()));
    }
    grid->setColumnStretch(columns, 1);

    m_errorRow = new QHBoxLayout;
    auto* error = new QLabel(QStringLiteral("ERROR"), m_frame);
    error->setObjectName(QStringLiteral("Lbl_Error"));
    m_errorRow->addWidget(error);
    m_errorRow->addStretch(1);
    grid->addLayout(m_errorRow, int(layout.rows.size()), 0, 1, columns + 1);
}

Lamp* IoLamps::lamp(int index) const {
    return (index >= 0 && index < Count) ? m_lamps[index] : nullptr;
}

QLabel* IoLamps::label(int index) const {
    return (index >= 0 && index < Count) ? m_labels[index] : nullptr;
}

void IoLamps::setLamp(int index, bool on) {
    if (Lamp* target = lamp(index))
        target->setOn(on);
}

void IoLamps::resetLamps() {
    for (int i = 0; i < Count; ++i)
        setLamp(i, false);
}

void IoLamps::setUnknown(bool unknown) {
    m_unknown = unknown;
    for (Lamp* lamp : m_lamps)
        if (lamp)
            lamp->setUnknown(unknown);
    m_frame->setToolTip(unknown ? QStringLiteral("The controller does not answer: the state of "
                                                 "the signals is not known.")
                                : QString());
}

void IoLamps::setLampShown(int index, bool shown) {
    Lamp* target = lamp(index);
    if (!target)
        return;
    target->setVisible(shown);
    m_labels[index]->setVisible(shown);
    if (!shown)
        target->setOn(false);
}

void IoLamps::placeErrorBox(QWidget* box) {
    box->setParent(m_frame);
    m_errorRow->insertWidget(1, box, 1);
}
