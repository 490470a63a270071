#include "dialogs/ui/frmsoft.h"

#include "tables/SoftLimit.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

frmsoft::frmsoft(OperatorInteraction& op, const SoftLimits& current, const SoftLimits& tableRows,
                 QWidget* parent)
    : QDialog(parent), m_op(op), m_tableRows(tableRows), m_result(current) {
    setObjectName(QStringLiteral("frmsoft"));
    setWindowTitle(QStringLiteral("Soft limit change"));

    auto* label1 = new QLabel(QStringLiteral("+Soft limit "), this);
    label1->setObjectName(QStringLiteral("Label1"));
    auto* label2 = new QLabel(QStringLiteral("- Soft limit "), this);
    label2->setObjectName(QStringLiteral("Label2"));
    auto* label3 = new QLabel(
        QStringLiteral("Please also change a soft limit by virtual starting point transmission."),
        this);
    label3->setObjectName(QStringLiteral("Label3"));
    label3->setWordWrap(true);
    // Why a suggested value differs from the plain computation, when it does.
    auto* note = new QLabel(current.note, this);
    note->setObjectName(QStringLiteral("lblNote"));
    note->setWordWrap(true);
    note->setVisible(!current.note.isEmpty());

    m_plus = new QLineEdit(this);
    m_plus->setObjectName(QStringLiteral("Text1"));
    m_plus->installEventFilter(this);
    m_minus = new QLineEdit(this);
    m_minus->setObjectName(QStringLiteral("Text2"));
    m_minus->installEventFilter(this);
    // Pasting and dropping would go around the key filters (the check on OK refuses odd text
    // all the same).
    for (QLineEdit* box : {m_plus, m_minus}) {
        box->setContextMenuPolicy(Qt::NoContextMenu);
        box->setAcceptDrops(false);
    }

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("Command1"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &frmsoft::accept);
    auto* cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    cancelButton->setObjectName(QStringLiteral("Command2"));
    cancelButton->setAutoDefault(true); // takes Enter while it has the focus
    connect(cancelButton, &QPushButton::clicked, this, &frmsoft::reject);

    auto* grid = new QGridLayout;
    grid->addWidget(label1, 0, 0);
    grid->addWidget(m_plus, 0, 1);
    grid->addWidget(label2, 1, 0);
    grid->addWidget(m_minus, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(label3);
    layout->addWidget(note);
    layout->addLayout(buttons);

    showValues(current);
}

frmsoft::~frmsoft() = default;

void frmsoft::showValues(const SoftLimits& values) {
    m_plus->setText(SoftLimit::plusText(values.plus));
    m_minus->setText(SoftLimit::minusText(values.minus));
}

bool frmsoft::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && (watched == m_plus || watched == m_minus)) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Paste))
            return true; // pasting would go around the key filter
        const QString text = key->text();
        // Keys without text (arrows, Home, Delete ...) only move or delete within the box.
        if (!text.isEmpty()) {
            const auto field = watched == m_plus ? SoftLimit::Field::Plus : SoftLimit::Field::Minus;
            for (QChar ch : text)
                if (!SoftLimit::acceptsKey(field, ch))
                    return true; // swallowed
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmsoft::accept() {
    const SoftLimit::Result r = SoftLimit::validate(m_plus->text(), m_minus->text());
    if (!r.accepted) {
        m_op.message(SoftLimit::errorCaption(), r.message, OperatorInteraction::Icon::None);
        return;
    }
    m_result = {r.plus, r.minus};
    QDialog::accept();
}

void frmsoft::reject() {
    m_result = m_tableRows;
    showValues(m_tableRows);
    QDialog::reject();
}

frmsoft::SoftLimits frmsoft::GetString(OperatorInteraction& op, const SoftLimits& current,
                                       const SoftLimits& tableRows, QWidget* parent) {
    frmsoft dialog(op, current, tableRows, parent);
    if (!dialog.isEnabled())
        dialog.setEnabled(true);
    dialog.exec();
    return dialog.result();
}
