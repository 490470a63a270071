#include "pulse/ui/frmpulseMaindemo.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QVBoxLayout>

frmpulseMaindemo::frmpulseMaindemo(LinkState& state, OperatorInteraction& op,
                                   SerialChannel& channel, QString iniPath, QWidget* parent)
    : MainWindowBase(state, op, channel, std::move(iniPath), parent) {
    setObjectName("frmpulseMaindemo");
    setWindowTitle(QStringLiteral("QR_Series QRX5 Support-Software "));

    QMenu* file = menuBar()->addMenu(QStringLiteral("File(&F)"));
    addItem(file, "mnuFileNew", "New File(&N)")->setEnabled(false);
    addItem(file, "mnuFileOpen", "Open(&O)...")->setEnabled(false);
    addItem(file, "mnuFileSave", "Save As(&A)...")->setEnabled(false);
    addItem(file, "mnuFilePrint", "Print(&P)...")->setEnabled(false);
    file->addSeparator();
    connect(addItem(file, "mnuFileExit", "Exit(&X)"), &QAction::triggered, this, &QWidget::close);

    QMenu* tools = menuBar()->addMenu(QStringLiteral("Tool(&T)"));
    for (const auto& [name, caption] : {std::pair{"mnuToolsTranZ", "Transmit(Zones)"},
                                        {"mnuToolsTranA", "Transmit(Parameters)"},
                                        {"mnuToolsRecZ", "Receive(Zones)"},
                                        {"mnuToolsRecA", "Receive(Parameters)"}})
        addItem(tools, name, caption)->setEnabled(false);
    connect(addItem(tools, "mnuToolsCom", "Com_Setup"), &QAction::triggered, this,
            &MainWindowBase::openPortDialog);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    auto* zones =
        new QGroupBox(QStringLiteral("Zone output range setting  (Set as A<B.)"), central);
    auto* params = new QGroupBox(QStringLiteral("Parameter setting"), central);
    zones->setMinimumHeight(140);
    params->setMinimumHeight(220);
    layout->addWidget(zones);
    layout->addWidget(params);
    layout->addWidget(createMonitorBoxes(central));
    setCentralWidget(central);
    addStandardShortcuts();
    fitToScreen({900, 640});
}

QAction* frmpulseMaindemo::addItem(QMenu* menu, const QString& name, const QString& caption) {
    auto* a = menu->addAction(caption);
    a->setObjectName(name);
    m_actions.insert(name, a);
    return a;
}
