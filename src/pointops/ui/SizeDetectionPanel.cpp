#include "pointops/ui/SizeDetectionPanel.h"

#include "pointops/SizeDetection.h"
#include "tables/CellText.h"
#include "window/ui/Lamp.h"
#include "window/ui/PanelWidgets.h"

#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

auto* const makeButton = &PanelWidgets::button;
auto* const makeLabel = &PanelWidgets::label;

QLineEdit* makeBox(const QString& name, const QString& sample, int maxLength, QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    box->setMaxLength(maxLength);
    box->setFixedWidth(box->fontMetrics().horizontalAdvance(sample) + 12);
    return box;
}

} // namespace

SizeDetectionPanel::SizeDetectionPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("SizeDetectionPanel"));
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    m_frame = new QGroupBox(QStringLiteral("Size detecting function"), this);
    m_frame->setObjectName(QStringLiteral("Frame_Size"));
    outer->addWidget(m_frame);

    auto* grid = new QGridLayout(m_frame);
    grid->setVerticalSpacing(4);

    m_validButton = makeButton(QStringLiteral("size_yuukou"), QStringLiteral("Valid"), m_frame);
    m_invalidButton = makeButton(QStringLiteral("size_mukou"), QStringLiteral("Invalid"), m_frame);
    auto* switchRow = new QHBoxLayout;
    switchRow->addWidget(m_validButton);
    switchRow->addWidget(m_invalidButton);
    switchRow->addStretch(1);
    grid->addLayout(switchRow, 0, 0, 1, 2);

    // Pushing conditions.
    auto* direction = makeBox(QStringLiteral("size_houkou"), QStringLiteral("WW"), 1, m_frame);
    direction->setAlignment(Qt::AlignCenter);
    auto* speed = makeBox(QStringLiteral("size_sokudo"), QStringLiteral("000"), 3, m_frame);
    auto* level = makeBox(QStringLiteral("size_tikara"), QStringLiteral("000"), 3, m_frame);
    auto* conditions = new QHBoxLayout;
    conditions->setSpacing(3);
    conditions->addWidget(makeLabel(QStringLiteral("Pushing direction"), direction, m_frame));
    conditions->addWidget(direction);
    conditions->addSpacing(10);
    conditions->addWidget(makeLabel(QStringLiteral("Speed"), speed, m_frame));
    conditions->addWidget(speed);
    conditions->addWidget(new QLabel(QStringLiteral("mm/s"), m_frame));
    conditions->addSpacing(10);
    conditions->addWidget(makeLabel(QStringLiteral("Pushing level"), level, m_frame));
    conditions->addWidget(level);
    conditions->addStretch(1);
    grid->addLayout(conditions, 1, 0, 1, 2);

    // Maximum and minimum points with the buttons that teach them; SET sends both.
    auto* points = new QGridLayout;
    points->setHorizontalSpacing(6);
    const struct {
        const char* box;
        const char* label;
        const char* teach;
        const char* teachCaption;
    } rows[] = {{"size_dai", "Maximum point", "size_saidaisettei", "Maximum setting"},
                {"size_syou", "Minimum point", "size_saisyousettei", "Minimum setting"}};
    for (int r = 0; r < 2; ++r) {
        auto* point = makeBox(QLatin1String(rows[r].box), QStringLiteral("-00.000"), 8, m_frame);
        point->setText(QStringLiteral("0.00"));
        m_pointBoxes.append(point);
        points->addWidget(makeLabel(QLatin1String(rows[r].label), point, m_frame), r, 0);
        points->addWidget(point, r, 1);
        points->addWidget(new QLabel(QStringLiteral("mm"), m_frame), r, 2);
        points->addWidget(
            makeButton(QLatin1String(rows[r].teach), QLatin1String(rows[r].teachCaption), m_frame),
            r, 3);
    }
    auto* set = makeButton(QStringLiteral("size_set"), QStringLiteral("SET"), m_frame);
    set->setMinimumWidth(64);
    set->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Expanding);
    points->addWidget(set, 0, 5, 2, 1);
    points->setColumnStretch(4, 1);
    grid->addLayout(points, 2, 0, 1, 2);

    m_boxes = {direction, speed, level, m_pointBoxes[0], m_pointBoxes[1]};
    for (QLineEdit* box : m_boxes) {
        setBoxColour(box, BoxIdleBgr);
        box->installEventFilter(this);
        // Pasting and dropping would go around the key filter.
        box->setContextMenuPolicy(Qt::NoContextMenu);
        box->setAcceptDrops(false);
    }
    for (QLineEdit* box : {direction, speed, level})
        connect(box, &QLineEdit::textEdited, this, [this, box] { emit edited(box->objectName()); });
    showFunctionValid(false);
}

QPushButton* SizeDetectionPanel::button(const QString& objectName) const {
    return findChild<QPushButton*>(objectName);
}

QLineEdit* SizeDetectionPanel::box(const QString& objectName) const {
    return findChild<QLineEdit*>(objectName);
}

QList<QPushButton*> SizeDetectionPanel::buttons() const {
    return {m_validButton, m_invalidButton, button(QStringLiteral("size_saidaisettei")),
            button(QStringLiteral("size_saisyousettei")), button(QStringLiteral("size_set"))};
}

void SizeDetectionPanel::showFunctionValid(bool valid) {
    m_valid = valid;
    setButtonColour(valid ? m_validButton : m_invalidButton, HighlightBgr);
    resetButtonColour(valid ? m_invalidButton : m_validButton);
}

bool SizeDetectionPanel::handleKey(QLineEdit* box, QKeyEvent* key) {
    const int index = int(m_boxes.indexOf(box));
    const bool point = m_pointBoxes.contains(box);
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Enter ends the entry: the box gives up the focus, and a point box's check runs once,
        // as Enter's, when the focus has gone (not once for Enter and again for leaving).
        if (point && !box->hasFocus()) {
            emit pointLeft(box->objectName(), true);
            return true;
        }
        m_leftByEnter = point ? box : nullptr;
        box->clearFocus();
        m_leftByEnter = nullptr;
        return true;
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (!point) {
            const int step = key->key() == Qt::Key_Right ? 1 : 2;
            m_boxes[(index + step) % 3]->setFocus(Qt::TabFocusReason);
        }
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (point)
            m_pointBoxes[m_pointBoxes[0] == box ? 1 : 0]->setFocus(Qt::TabFocusReason);
        return true;
    default:
        break;
    }
    if (key->matches(QKeySequence::Paste))
        return true;
    // Ctrl with a key is an editing command of the box (select all, copy, undo), no typed
    // character: it is neither checked nor refused. (Ctrl with Alt is AltGr on some systems,
    // which types characters.)
    const Qt::KeyboardModifiers modifiers = key->modifiers();
    if ((modifiers & (Qt::ControlModifier | Qt::MetaModifier)) && !(modifiers & Qt::AltModifier))
        return false;
    for (const QChar ch : key->text()) {
        if (!SizeDetection::acceptsKey(box->objectName(), ch)) {
            emit keyRefused(box->objectName());
            return true;
        }
    }
    return false;
}

bool SizeDetectionPanel::eventFilter(QObject* watched, QEvent* event) {
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (box && m_boxes.contains(box)) {
        if (event->type() == QEvent::KeyPress) {
            if (handleKey(box, static_cast<QKeyEvent*>(event)))
                return true;
        } else if (event->type() == QEvent::FocusIn) {
            setBoxColour(box, BoxFocusedBgr);
            if (m_pointBoxes.contains(box)) {
                if (const auto value = CellText::number(box->text().trimmed()))
                    box->setText(QString::number(*value, 'f', 2));
            }
            // Selecting after the event lets a mouse click's cursor placement happen first.
            QTimer::singleShot(0, box, &QLineEdit::selectAll);
        } else if (event->type() == QEvent::FocusOut) {
            setBoxColour(box, BoxIdleBgr);
            // A message box or menu taking the focus for a moment is no leaving of the box.
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            if (m_pointBoxes.contains(box) && reason != Qt::ActiveWindowFocusReason &&
                reason != Qt::PopupFocusReason)
                emit pointLeft(box->objectName(), box == m_leftByEnter);
        }
    }
    return QWidget::eventFilter(watched, event);
}
