#include "history/ui/HistoryWindow.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
enum Column { ColDate, ColOperation, ColKind, ColType, ColResult, ColId, ColumnCount };
} // namespace

HistoryWindow::HistoryWindow(const QString& title, const QString& place,
                             QList<HistoryVersion> versions, QWidget* parent)
    : QDialog(parent), m_versions(std::move(versions)) {
    setObjectName("frmHistory");
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    auto* where = new QLabel(place, this);
    where->setObjectName("Lbl_HistoryPlace");
    where->setWordWrap(true);
    where->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(where);

    m_list = new QTreeWidget(this);
    m_list->setObjectName("Lst_Versions");
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAlternatingRowColors(true);
    m_list->setHeaderLabels({QStringLiteral("Date"), QStringLiteral("Operation"),
                             QStringLiteral("Kind"), QStringLiteral("Type"),
                             QStringLiteral("Result"), QStringLiteral("Id")});
    for (const HistoryVersion& v : std::as_const(m_versions)) {
        auto* item = new QTreeWidgetItem(m_list);
        item->setText(ColDate,
                      v.time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
        item->setText(ColOperation, v.operation);
        item->setText(ColKind, v.kind);
        item->setText(ColType, v.actuatorType);
        item->setText(ColResult, v.result);
        item->setText(ColId, v.shortId());
        const QString tip = QStringLiteral("%1 by %2\nPort %3 (%4)\nTables: %5")
                                .arg(v.id, v.author, v.port, v.leadsTo, v.tables);
        for (int c = 0; c < ColumnCount; ++c)
            item->setToolTip(c, tip);
    }
    for (int c = 0; c < ColumnCount; ++c)
        m_list->resizeColumnToContents(c);
    m_list->setVisible(!m_versions.isEmpty());
    layout->addWidget(m_list, 1);

    auto* buttons = new QDialogButtonBox(this);
    m_compare =
        buttons->addButton(QStringLiteral("Compare with tables"), QDialogButtonBox::ActionRole);
    m_compare->setObjectName("Cmd_HistoryCompare");
    m_open = buttons->addButton(QStringLiteral("Open as new table"), QDialogButtonBox::ActionRole);
    m_open->setObjectName("Cmd_HistoryOpen");
    QPushButton* close = buttons->addButton(QDialogButtonBox::Close);
    close->setObjectName("Cmd_HistoryClose");
    layout->addWidget(buttons);

    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_compare, &QPushButton::clicked, this, [this] {
        if (const int row = chosenRow(); row >= 0)
            emit compareRequested(m_versions[row]);
    });
    connect(m_open, &QPushButton::clicked, this, [this] {
        if (const int row = chosenRow(); row >= 0)
            emit openRequested(m_versions[row]);
    });
    connect(m_list, &QTreeWidget::itemSelectionChanged, this, &HistoryWindow::refreshButtons);
    if (!m_versions.isEmpty())
        choose(0);
    refreshButtons();
    resize(m_versions.isEmpty() ? QSize(560, 160) : QSize(900, 420));
}

int HistoryWindow::chosenRow() const {
    const QTreeWidgetItem* item = m_list->currentItem();
    return item ? m_list->indexOfTopLevelItem(const_cast<QTreeWidgetItem*>(item)) : -1;
}

void HistoryWindow::choose(int row) {
    if (QTreeWidgetItem* item = m_list->topLevelItem(row)) {
        m_list->setCurrentItem(item);
        item->setSelected(true);
    }
}

void HistoryWindow::refreshButtons() {
    const bool chosen = chosenRow() >= 0;
    m_compare->setEnabled(chosen);
    m_open->setEnabled(chosen);
}
