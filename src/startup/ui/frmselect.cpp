#include "startup/ui/frmselect.h"

#include "dialogs/ui/frmbar.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

frmselect::frmselect(StartupSequence& sequence, ShowMain showMain, EndProgram endProgram,
                     QWidget* parent)
    : QWidget(parent), m_sequence(sequence), m_showMain(std::move(showMain)),
      m_endProgram(std::move(endProgram)) {
    setObjectName("frmselect");
    setWindowTitle(QStringLiteral("QRX5 Support-Software"));

    m_label = new QLabel(QStringLiteral("Retrieving controller type"), this);
    m_label->setObjectName("Label1");
    m_label->setAlignment(Qt::AlignCenter);
    QFont f = m_label->font();
    f.setPointSizeF(f.pointSizeF() * 1.3);
    m_label->setFont(f);

    m_detail = new QLabel(this);
    m_detail->setObjectName("lblPortTried");
    m_detail->setAlignment(Qt::AlignCenter);
    m_detail->setWordWrap(true);
    m_detail->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_detail->hide();

    m_iniNote = new QLabel(this);
    m_iniNote->setObjectName("lblIniProblem");
    m_iniNote->setAlignment(Qt::AlignCenter);
    m_iniNote->setWordWrap(true);
    m_iniNote->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_iniNote->setStyleSheet(QStringLiteral("color: #a01818;"));
    m_iniNote->hide();

    m_frame = new QGroupBox(QStringLiteral("Select controller type."), this);
    m_frame->setObjectName("Frame1");
    m_point = new QRadioButton(QStringLiteral("Point input type"), m_frame);
    m_point->setObjectName("Option1_0");
    m_point->setChecked(true);
    m_pulse = new QRadioButton(QStringLiteral("Pulse train input type"), m_frame);
    m_pulse->setObjectName("Option1_1");
    auto* frameLayout = new QVBoxLayout(m_frame);
    frameLayout->addWidget(m_point);
    frameLayout->addWidget(m_pulse);
    m_frame->hide();

    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName("Command1");
    m_ok->setDefault(true);
    m_ok->hide();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 20);
    layout->setSpacing(12);
    layout->addWidget(m_label);
    layout->addWidget(m_detail);
    layout->addWidget(m_iniNote);
    layout->addWidget(m_frame);
    layout->addWidget(m_ok, 0, Qt::AlignHCenter);
    setMinimumWidth(360);

    // The start-up read shows its progress, and takes its Cancel, here.
    m_progress = new frmbar(this);
    m_sequence.setProgress(*m_progress);

    connect(&m_sequence, &StartupSequence::statusText, m_label, &QLabel::setText);
    connect(&m_sequence, &StartupSequence::iniProblemFound, this, [this](const QString& text) {
        m_iniNote->setText(text);
        m_iniNote->show();
        fitHeight();
    });
    // The status stays readable above the choice, with the port that was tried and why it
    // gave no kind, so the operator knows what to check; Enter then confirms the choice.
    connect(&m_sequence, &StartupSequence::manualChoiceOffered, this, [this] {
        m_detail->setText(m_sequence.failure());
        m_detail->show();
        m_frame->show();
        m_ok->show();
        fitHeight();
        (m_point->isChecked() ? m_point : m_pulse)->setFocus();
    });
    connect(&m_sequence, &StartupSequence::openMainWindow, this, &frmselect::handOver);
    connect(m_ok, &QPushButton::clicked, this, [this] {
        m_sequence.choose(m_point->isChecked() ? StartupSequence::Kind::PointInput
                                               : StartupSequence::Kind::PulseTrain);
    });
}

void frmselect::fitHeight() {
    // The wrapped texts need more height at the window's width than its minimum size tells.
    QLayout* box = layout();
    box->activate();
    if (const int needed = box->totalHeightForWidth(width()); needed > height())
        resize(width(), needed);
}

void frmselect::start() {
    show();
    m_sequence.run();
}

void frmselect::handOver(StartupSequence::Kind kind) {
    hide();
    if (m_showMain)
        m_showMain(kind);
}

void frmselect::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && m_ok->isVisible()) {
        m_ok->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void frmselect::closeEvent(QCloseEvent* event) {
    event->accept();
    if (m_endProgram)
        m_endProgram();
}
