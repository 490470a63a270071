#include "window/ui/errorRecord.h"

#include "drive/ErrorHistory.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

errorRecord::errorRecord(const QStringList& entries, OperatorInteraction& op, QWidget* parent)
    : QDialog(parent), m_op(op) {
    setObjectName(QStringLiteral("errorRecord"));
    setWindowTitle(QLatin1String(ErrorHistory::Title));
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);

    auto* layout = new QVBoxLayout(this);
    auto* note =
        new QLabel(QStringLiteral("The oldest error message is shown at the top of lists."), this);
    note->setObjectName(QStringLiteral("Label2"));
    layout->addWidget(note);

    auto* list = new QFrame(this);
    list->setFrameShape(QFrame::StyledPanel);
    list->setFrameShadow(QFrame::Sunken);
    list->setBackgroundRole(QPalette::Base);
    list->setAutoFillBackground(true);
    auto* grid = new QGridLayout(list);
    grid->setVerticalSpacing(2);
    grid->setColumnStretch(1, 1);
    for (int i = 0; i < ErrorHistory::EntryCount; ++i) {
        auto* number = new QLabel(QString::number(i + 1), list);
        number->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        number->setForegroundRole(QPalette::PlaceholderText);
        auto* label = new QLabel(entries.value(i), list);
        label->setObjectName(QStringLiteral("Label1_%1").arg(i));
        // A line from the controller is never markup: "<" and "&" show as they came.
        label->setTextFormat(Qt::PlainText);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 36);
        grid->addWidget(number, i, 0);
        grid->addWidget(label, i, 1);
        m_labels << label;
    }
    layout->addWidget(list);

    auto* saveButton = new QPushButton(QStringLiteral("Save"), this);
    saveButton->setObjectName(QStringLiteral("e_hozon"));
    saveButton->setAutoDefault(false);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OK"));
    ok->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(saveButton);
    buttons->addWidget(ok);
    layout->addLayout(buttons);

    connect(saveButton, &QPushButton::clicked, this, &errorRecord::save);
    // OK closes the window after a short moment, without blocking the event loop.
    connect(ok, &QPushButton::clicked, this,
            [this] { QTimer::singleShot(100, this, &QWidget::close); });
}

errorRecord::~errorRecord() = default;

QStringList errorRecord::entries() const {
    QStringList out;
    for (const QLabel* label : m_labels)
        out << label->text();
    return out;
}

void errorRecord::save() {
    ErrorHistory::save(m_op, entries());
}
