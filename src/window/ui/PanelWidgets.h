#pragma once

#include <QString>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// The controls the panels are built of; each carries its program name as its object name.
namespace PanelWidgets {

QPushButton* button(const QString& name, const QString& caption, QWidget* parent);
// A numeric entry box just wide enough for the longest value it shows (the sample).
QLineEdit* box(const QString& name, const QString& text, const QString& sample, QWidget* parent);
// A label that names a box (its buddy).
QLabel* label(const QString& text, QWidget* buddy, QWidget* parent);
QGroupBox* frame(const QString& name, const QString& caption, QWidget* parent);

} // namespace PanelWidgets
