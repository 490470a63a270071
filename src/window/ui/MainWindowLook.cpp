// How both main windows fit the screen and present their commands: size and place on the
// screen, scrolling panel columns, standard shortcuts, tool tips and readable disabled views.
#include "window/ui/MainWindowBase.h"

#include <QAbstractItemView>
#include <QAction>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeySequence>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>

namespace {
// Text that stays readable on the grid colour and on white while a view is disabled.
const QColor DisabledText(0x40, 0x40, 0x40);
} // namespace

QRect MainWindowBase::fittedFrame(QSize preferred, QSize minimum, QRect free) {
    const QSize frame(FrameWidth, FrameHeight);
    const QSize inside = preferred.boundedTo(free.size() - frame).expandedTo(minimum);
    const QSize outer = inside + frame;
    const int x = free.x() + qMax(0, (free.width() - outer.width()) / 2);
    const int y = free.y() + qMax(0, (free.height() - outer.height()) / 2);
    return {QPoint(x, y), outer};
}

void MainWindowBase::fitToScreen(QSize preferred) {
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen) {
        resize(preferred);
        return;
    }
    const QRect frame = fittedFrame(preferred, minimumSizeHint(), screen->availableGeometry());
    resize(frame.size() - QSize(FrameWidth, FrameHeight));
    move(frame.topLeft());
}

QScrollArea* MainWindowBase::scrollColumn(QWidget* content, QWidget* parent) {
    auto* area = new QScrollArea(parent);
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    area->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    area->setWidget(content);
    area->viewport()->setAutoFillBackground(false);
    content->setAutoFillBackground(false);
    // As wide as the panels with room for the vertical scroll bar, so that only the height
    // scrolls; as low as the window needs.
    area->setMinimumWidth(content->minimumSizeHint().width() +
                          area->verticalScrollBar()->sizeHint().width());
    return area;
}

void MainWindowBase::addStandardShortcuts() {
    struct Standard {
        const char* item;
        QKeySequence::StandardKey key;
        QKeySequence fallback; // where the platform names none
    };
    const Standard standards[] = {
        {"mnuFileOpen", QKeySequence::Open, QKeySequence(Qt::CTRL | Qt::Key_O)},
        {"mnuFileSave", QKeySequence::SaveAs, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)},
        {"mnuFilePrint", QKeySequence::Print, QKeySequence(Qt::CTRL | Qt::Key_P)},
        {"mnuFileExit", QKeySequence::Quit, QKeySequence(Qt::CTRL | Qt::Key_Q)},
    };
    for (const Standard& s : standards) {
        auto* item = findChild<QAction*>(QLatin1String(s.item));
        if (!item)
            continue;
        QList<QKeySequence> keys = QKeySequence::keyBindings(s.key);
        if (keys.isEmpty())
            keys = {s.fallback};
        item->setShortcuts(keys);
    }
}

QString MainWindowBase::toolTipOf(const QAction* item) {
    static const QRegularExpression accessKey(QStringLiteral(R"(\(&.\))"));
    QString caption = item->text();
    caption.remove(accessKey);
    caption.remove(QLatin1Char('&'));
    const QKeySequence shortcut = item->shortcut();
    if (!shortcut.isEmpty())
        caption += QStringLiteral(" (%1)").arg(shortcut.toString(QKeySequence::NativeText));
    return caption;
}

void MainWindowBase::describeKey(QAction* key, const QAction* item) {
    key->setToolTip(toolTipOf(item));
    QObject::connect(item, &QAction::changed, key,
                     [key, item] { key->setToolTip(toolTipOf(item)); });
}

void MainWindowBase::keepReadableWhenDisabled(QAbstractItemView* view) {
    for (QWidget* w : {static_cast<QWidget*>(view), view->viewport()}) {
        QPalette palette = w->palette();
        palette.setColor(QPalette::Disabled, QPalette::Text, DisabledText);
        palette.setColor(QPalette::Disabled, QPalette::WindowText, DisabledText);
        palette.setColor(QPalette::Disabled, QPalette::ButtonText, DisabledText);
        w->setPalette(palette);
    }
}
