// The menus and the toolbar both main windows share: File (with the Edit menu after it), the
// kind's Tool menu with Init, View, Help, the toolbar keys that follow their items, and the
// lock that Operation mode and teaching put on them. Every item and key is an operation the
// operator starts (operatorStarts).
#include "window/ui/MainWindowBase.h"

#include "window/ui/TableHistory.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

QMenu* MainWindowBase::addMenu(const QString& name, const QString& caption) {
    QMenu* menu = menuBar()->addMenu(caption);
    menu->menuAction()->setObjectName(name);
    m_actions.insert(name, menu->menuAction());
    return menu;
}

QMenu* MainWindowBase::addSubmenu(QMenu* parent, const QString& name, const QString& caption) {
    QMenu* menu = parent->addMenu(caption);
    menu->menuAction()->setObjectName(name);
    m_actions.insert(name, menu->menuAction());
    return menu;
}

QAction* MainWindowBase::addItem(QMenu* menu, const QString& name, const QString& caption) {
    auto* a = menu->addAction(caption);
    a->setObjectName(name);
    m_actions.insert(name, a);
    // Before the item's own handler: an operation the operator starts, and what it changes in
    // the tables is a step named after the item.
    connect(a, &QAction::triggered, this, [this, a] {
        operatorStarts();
        m_itemStep = stepNameOf(a);
    });
    return a;
}

void MainWindowBase::addItems(QMenu* menu, std::initializer_list<ItemDef> items) {
    for (const ItemDef& item : items) {
        if (item.caption)
            addItem(menu, QString::fromLatin1(item.name), QString::fromLatin1(item.caption));
        else
            menu->addSeparator()->setObjectName(QString::fromLatin1(item.name));
    }
}

void MainWindowBase::buildToolMenu(std::initializer_list<ItemDef> items,
                                   std::initializer_list<ItemDef> init) {
    QMenu* tools = addMenu(QStringLiteral("mnuTools"), QStringLiteral("Tool(&T)"));
    addItems(tools, items);
    addItems(addSubmenu(tools, QStringLiteral("mnuToolsIni"), QStringLiteral("Init")), init);
    if (QAction* port = action(QStringLiteral("mnuToolsCom")))
        connect(port, &QAction::triggered, this, &MainWindowBase::openPortDialog);
}

namespace {
// The items of either window that open a window or a modal dialog (a question, a file dialog,
// a tool window); Exit is not among them: it stops first.
const QStringList kOpeners{"mnuFileNew",    "mnuFileOpen",   "mnuFileCompare", "mnuFileHistory",
                           "mnuFileSave",   "mnuFilePrint",  "mnuViewTraffic", "mnuToolsTranP",
                           "mnuToolsTranA", "mnuToolsTranZ", "mnuToolsRecP",   "mnuToolsRecA",
                           "mnuToolsRecZ",  "mnuToolsCom",   "mnuToolsBag",    "mnuToolsSpeed",
                           "mnuToolsComp",  "mnuToolsIni",   "mnuHelpAbout"};
} // namespace

void MainWindowBase::applyItemLocks() {
    const auto apply = [this](const QString& name) {
        if (QAction* a = action(name))
            a->setEnabled(!(m_commandsLocked && m_lockedItems.contains(name)) &&
                          !(m_motionLocked && kOpeners.contains(name)));
    };
    for (const QString& name : std::as_const(m_lockedItems))
        apply(name);
    for (const QString& name : kOpeners)
        apply(name);
}

void MainWindowBase::DisableCommands() {
    m_commandsLocked = true;
    DisableToolbar();
    applyItemLocks();
    lockOwnControls(true);
}

void MainWindowBase::EnableCommands() {
    m_commandsLocked = false;
    EnableToolbar();
    applyItemLocks();
    lockOwnControls(false);
    refreshEditItems(); // Paste stays off while an operation changes the tables
}

void MainWindowBase::setLockedItems(const QStringList& names) {
    // Besides the kind's items, what both windows lock alike.
    m_lockedItems = names;
    m_lockedItems << QStringLiteral("mnuFileCompare") << QStringLiteral("mnuEditCopy")
                  << QStringLiteral("mnuEditPaste") << QStringLiteral("mnuViewTraffic");
}

void MainWindowBase::lockWhileMoving(bool moving) {
    if (moving == m_motionLocked)
        return;
    m_motionLocked = moving;
    applyItemLocks();
}

void MainWindowBase::buildFileMenu() {
    QMenu* file = addMenu(QStringLiteral("mnuFile"), QStringLiteral("File(&F)"));
    // What New File, Open, Save As and Exit change in the tables is one step each.
    const auto asStep = [this](void (MainWindowBase::*run)()) {
        return [this, run] {
            TableHistory::Scope step(m_history, m_itemStep);
            (this->*run)();
        };
    };
    connect(addItem(file, "mnuFileNew", "New File(&N)"), &QAction::triggered, this,
            asStep(&MainWindowBase::NewFile));
    connect(addItem(file, "mnuFileOpen", "Open(&O)..."), &QAction::triggered, this, [this] {
        TableHistory::Scope step(m_history, m_itemStep);
        m_history->markOpened();
        OpenFile();
    });
    connect(addItem(file, "mnuFileCompare", "Compare with file..."), &QAction::triggered, this,
            &MainWindowBase::CompareWithFile);
    connect(addItem(file, "mnuFileHistory", "History..."), &QAction::triggered, this,
            &MainWindowBase::OpenHistory);
    connect(addItem(file, "mnuFileSave", "Save As(&A)..."), &QAction::triggered, this, [this] {
        TableHistory::Scope step(m_history, m_itemStep);
        SaveAs();
    });
    file->addSeparator()->setObjectName("mnuFileBar1");
    connect(addItem(file, "mnuFilePrint", "Print(&P)..."), &QAction::triggered, this,
            &MainWindowBase::PrintLists);
    file->addSeparator()->setObjectName("mnuFileBar2");
    connect(addItem(file, "mnuFileExit", "Exit(&X)"), &QAction::triggered, this,
            asStep(&MainWindowBase::Exit));
    addStandardShortcuts();
    buildEditMenu();
}

void MainWindowBase::addViewToggles(QMenu* view) {
    auto* tb = addItem(view, "mnuViewToolbar", "Toolbar(&T)");
    auto* sb = addItem(view, "mnuViewStatusBar", "Statusbar(&B)");
    for (QAction* toggle : {tb, sb}) {
        toggle->setCheckable(true);
        toggle->setChecked(true);
    }
    connect(tb, &QAction::toggled, this, [this](bool on) { m_toolbar->setVisible(on); });
    connect(sb, &QAction::toggled, this, [this](bool on) { statusBar()->setVisible(on); });
    view->addSeparator();
    connect(addItem(view, "mnuViewTraffic", "Traffic Log(&L)..."), &QAction::triggered, this,
            &MainWindowBase::openTrafficLog);
}

void MainWindowBase::buildHelpMenu() {
    QMenu* help = addMenu(QStringLiteral("mnuHelp"), QStringLiteral("Help(&H)"));
    connect(addItem(help, "mnuHelpAbout", "Version(&A)"), &QAction::triggered, this,
            &MainWindowBase::About);
}

void MainWindowBase::buildToolbar(std::initializer_list<KeyDef> kindKeys) {
    QList<KeyDef> keys{{"NewFile", "mnuFileNew"},
                       {"Open", "mnuFileOpen"},
                       {"SaveAS", "mnuFileSave"},
                       {"Print", "mnuFilePrint"},
                       {"ComSetup", "mnuToolsCom"}};
    keys.append(QList<KeyDef>(kindKeys));
    keys.append(KeyDef{"Exit", "mnuFileExit"});
    m_toolbar = addToolBar(QStringLiteral("Toolbar"));
    m_toolbar->setObjectName("Toolbar1");
    m_toolbar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_toolbar->setMovable(false);
    for (const KeyDef& def : keys) {
        const QString key = QString::fromLatin1(def.key);
        auto* a = m_toolbar->addAction(key);
        a->setObjectName(key);
        m_keys.insert(key, a);
        QAction* target = def.item ? action(QString::fromLatin1(def.item)) : nullptr;
        if (target) {
            describeKey(a, target);
            a->setEnabled(target->isEnabled());
            connect(target, &QAction::changed, a,
                    [a, target] { a->setEnabled(target->isEnabled()); });
        }
        // Every toolbar click marks a user action before it dispatches; its item (or the key's
        // own action) is an operation the operator starts.
        connect(a, &QAction::triggered, this, [this, target, key] {
            operatorStarts();
            m_userAction = true;
            if (target)
                target->trigger();
            else
                runOwnKey(key);
            m_userAction = false;
        });
    }
}

void MainWindowBase::EnableToolbar() {
    if (m_toolbar)
        m_toolbar->setEnabled(true);
}

void MainWindowBase::enableToolbar() {
    if (!m_commandsLocked)
        EnableToolbar();
}

void MainWindowBase::DisableToolbar() {
    if (m_toolbar)
        m_toolbar->setEnabled(false);
}
