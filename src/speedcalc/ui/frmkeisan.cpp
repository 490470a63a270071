#include "speedcalc/ui/frmkeisan.h"

#include "tables/ActuatorType.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

QLineEdit* resultBox(const QString& name, const QString& caption, QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setReadOnly(true);
    box->setAlignment(Qt::AlignRight);
    box->setAccessibleName(caption);
    box->setMinimumWidth(90);
    return box;
}

} // namespace

frmkeisan::frmkeisan(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmkeisan"));
    setWindowTitle(QStringLiteral("Slider Operating Speed Calculation"));
    setModal(false);

    auto* types = new QGroupBox(QStringLiteral("Select robot type"), this);
    types->setObjectName(QStringLiteral("Frame1"));
    auto* typeLayout = new QVBoxLayout(types);
    for (int k = 0; k < SpeedCalculation::OptionCount; ++k) {
        const QString type = QString::number(30 + k);
        m_options[k] =
            new QRadioButton(type + QStringLiteral(" : ") + ActuatorType::model(type), types);
        m_options[k]->setObjectName(QStringLiteral("Option1_%1").arg(k));
        typeLayout->addWidget(m_options[k]);
    }
    m_options[0]->setChecked(true);

    auto* results = new QGroupBox(QStringLiteral("Calculation results"), this);
    results->setObjectName(QStringLiteral("Frame2"));
    auto* grid = new QGridLayout(results);
    m_speed = resultBox(QStringLiteral("Text1"), QStringLiteral("Max Speed"), results);
    m_acceleration =
        resultBox(QStringLiteral("Text2"), QStringLiteral("Max Acceleration"), results);
    grid->addWidget(new QLabel(QStringLiteral("Max Speed"), results), 0, 0);
    grid->addWidget(m_speed, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("mm/s"), results), 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("Max Acceleration"), results), 1, 0);
    grid->addWidget(m_acceleration, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("mm/s^2"), results), 1, 2);

    auto* start = new QPushButton(QStringLiteral("Start calculation"), this);
    start->setObjectName(QStringLiteral("Command1"));
    start->setDefault(true);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("Command2"));
    close->setAutoDefault(false);
    connect(start, &QPushButton::clicked, this, &frmkeisan::calculate);
    connect(close, &QPushButton::clicked, this, &frmkeisan::closeTool);

    auto* columns = new QHBoxLayout;
    columns->addWidget(types);
    columns->addWidget(results, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(start);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addLayout(buttons);
}

frmkeisan::~frmkeisan() = default;

void frmkeisan::openFor(const QString& actuatorType) {
    if (const std::optional<int> option = SpeedCalculation::optionOf(actuatorType))
        m_options[*option]->setChecked(true);
    show();
    raise();
    activateWindow();
}

int frmkeisan::selectedOption() const {
    for (int k = 0; k < SpeedCalculation::OptionCount; ++k)
        if (m_options[k]->isChecked())
            return k;
    return -1;
}

void frmkeisan::calculate() {
    m_result = SpeedCalculation::calculate(selectedOption(), m_result);
    m_speed->setText(SpeedCalculation::speedText(m_result.maxSpeed));
    m_acceleration->setText(SpeedCalculation::accelerationText(m_result.maxAcceleration));
}

void frmkeisan::closeTool() {
    hide();
    m_options[0]->setChecked(true);
    m_speed->clear();
    m_acceleration->clear();
    emit closed();
}

QString frmkeisan::speedText() const {
    return m_speed->text();
}

QString frmkeisan::accelerationText() const {
    return m_acceleration->text();
}

void frmkeisan::reject() {
    closeTool();
}

void frmkeisan::closeEvent(QCloseEvent* event) {
    event->ignore(); // the window stays loaded; closing it is Close
    closeTool();
}

void frmkeisan::changeEvent(QEvent* event) {
    // Its opener disables itself while the tool is open: the tool stays usable.
    if (event->type() == QEvent::EnabledChange && !isEnabled() &&
        !testAttribute(Qt::WA_ForceDisabled))
        setEnabled(true);
    QDialog::changeEvent(event);
}
