#pragma once

#include <QHash>
#include <QPointer>
#include <QSet>
#include <QString>
#include <optional>

class QWidget;

// A window's panel controls found by their object names, as the drive sequences address them
// (PanelHost): enabled state, panel colour, text, checked state and focus. Both main windows'
// panel hosts delegate to it. Names are looked up below the root (the central widget, so the
// dialogs owned by the window are not searched). A name that matches no control is reported
// (fatal under QRX5_STRICT_CONTROLS, which the tests set).
class PanelControls final {
  public:
    explicit PanelControls(QWidget* root) : m_root(root) {}

    QWidget* find(const QString& name) const;
    void setEnabled(const QString& name, bool enabled);
    bool isEnabled(const QString& name) const;
    // Buttons take the colour as their face, boxes as their background; std::nullopt gives
    // back the normal colour.
    void setColour(const QString& name, std::optional<quint32> bgr);
    QString text(const QString& name) const;
    void setText(const QString& name, const QString& text);
    // Checks a button without running its click handlers.
    void setChecked(const QString& name, bool checked);
    // Gives a control the focus (after the running event handler) and selects a box's text.
    void focus(const QString& name);
    // Selects a box's whole text, leaving the focus where it is.
    void selectText(const QString& name);

  private:
    void reportUnknown(const QString& name) const;

    QWidget* m_root;
    mutable QSet<QString> m_unknown;
    mutable QHash<QString, QPointer<QWidget>> m_cache;
};
