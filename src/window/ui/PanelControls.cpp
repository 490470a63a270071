#include "window/ui/PanelControls.h"

#include "window/ui/Lamp.h"
#include "window/ui/PanelWidgets.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>

QWidget* PanelControls::find(const QString& name) const {
    auto it = m_cache.constFind(name);
    if (it != m_cache.cend() && it.value())
        return it.value();
    QWidget* w = m_root->findChild<QWidget*>(name);
    if (!w) {
        reportUnknown(name);
        return nullptr;
    }
    m_cache.insert(name, w);
    return w;
}

void PanelControls::reportUnknown(const QString& name) const {
    // A name that matches no control is a mistake in the sequences or the panel, never an
    // operator's doing: the tests run with QRX5_STRICT_CONTROLS set and stop at it; the
    // program says it once and goes on.
    if (qEnvironmentVariableIsSet("QRX5_STRICT_CONTROLS"))
        qFatal("The panel has no control named \"%s\"", qPrintable(name));
    if (!m_unknown.contains(name)) {
        m_unknown.insert(name);
        qWarning("The panel has no control named \"%s\"", qPrintable(name));
    }
}

namespace {
// The control that takes the focus from one about to be disabled: the nearest usable one of
// the same frame, the one before it first (Start after Stop), else none.
QWidget* focusHeirOf(QWidget* w) {
    QWidget* frame = w->parentWidget();
    const auto usable = [frame, w](QWidget* other) {
        return other != w && other->parentWidget() == frame && other->isEnabled() &&
               other->isVisible() && (other->focusPolicy() & Qt::TabFocus);
    };
    for (QWidget* other = w->previousInFocusChain(); other && other != w;
         other = other->previousInFocusChain())
        if (usable(other))
            return other;
    return nullptr;
}
} // namespace

void PanelControls::setEnabled(const QString& name, bool enabled) {
    QWidget* w = find(name);
    if (!w)
        return;
    // A control disabled while it has the focus hands it on within its frame; left to itself
    // the focus would go to the next control of the window (Stop's would land in the size
    // detection boxes).
    if (!enabled && w->window()->focusWidget() == w) {
        if (QWidget* heir = focusHeirOf(w))
            heir->setFocus(Qt::OtherFocusReason);
    }
    w->setEnabled(enabled);
}

bool PanelControls::isEnabled(const QString& name) const {
    const QWidget* w = find(name);
    return w && w->isEnabled();
}

void PanelControls::setColour(const QString& name, std::optional<quint32> bgr) {
    QWidget* w = find(name);
    if (auto* button = qobject_cast<QPushButton*>(w)) {
        if (bgr)
            setButtonColour(button, *bgr);
        else
            resetButtonColour(button);
    } else if (auto* box = qobject_cast<QLineEdit*>(w)) {
        if (bgr)
            setBoxColour(box, *bgr);
        else
            box->setPalette(QPalette());
    }
}

QString PanelControls::text(const QString& name) const {
    QWidget* w = find(name);
    if (auto* box = qobject_cast<QLineEdit*>(w))
        return box->text();
    if (auto* button = qobject_cast<QAbstractButton*>(w))
        return PanelWidgets::caption(button);
    if (auto* label = qobject_cast<QLabel*>(w))
        return label->text();
    return {};
}

void PanelControls::setText(const QString& name, const QString& text) {
    QWidget* w = find(name);
    // A box that already shows the text is left alone: setting it again would drop its
    // selection and repaint it, and the Direct Teaching polling shows the same position over
    // and over.
    if (auto* box = qobject_cast<QLineEdit*>(w)) {
        if (box->text() != text)
            box->setText(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(w))
        PanelWidgets::setCaption(button, text);
    else if (auto* label = qobject_cast<QLabel*>(w))
        label->setText(text);
}

void PanelControls::setChecked(const QString& name, bool checked) {
    if (auto* button = qobject_cast<QAbstractButton*>(find(name))) {
        const QSignalBlocker block(button);
        button->setChecked(checked);
    }
}

void PanelControls::focus(const QString& name) {
    QPointer<QWidget> w = find(name);
    if (!w)
        return;
    // Later, so that a focus change under way (a box being left) has ended first.
    QTimer::singleShot(0, w, [w] {
        if (!w)
            return;
        w->setFocus(Qt::OtherFocusReason);
        if (auto* box = qobject_cast<QLineEdit*>(w.data()))
            box->selectAll();
    });
}

void PanelControls::selectText(const QString& name) {
    // Selecting again what is selected already would only repaint the box.
    if (auto* box = qobject_cast<QLineEdit*>(find(name)); box && box->selectedText() != box->text())
        box->selectAll();
}
