#pragma once

#include <QWidget>

class QGroupBox;
class QLineEdit;
class QPushButton;

// The "Size detecting function" panel of the point-input main window: Valid and Invalid,
// the pushing direction, speed and level boxes, the maximum and minimum point boxes with
// their teaching buttons, and SET. Controls carry their program names as object names
// (size_yuukou, size_dai ...). The five boxes turn pink while they have the focus (whole
// text selected, a point box showing its value with two decimals) and blue otherwise. Keys a
// box does not take are swallowed (keyRefused), Enter ends the entry, and the arrow keys move
// between the boxes: Left and Right cycle through direction, speed and pushing level, Up and
// Down switch between the maximum and minimum point.
class SizeDetectionPanel final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SizeDetectionPanel)

  public:
    // Colours, written as 0xBBGGRR.
    static constexpr quint32 HighlightBgr = 0xFFC0C0;  // the button of the current state
    static constexpr quint32 BoxFocusedBgr = 0xFF80FF; // a box while it has the focus
    static constexpr quint32 BoxIdleBgr = 0xFF8080;    // a box without the focus

    explicit SizeDetectionPanel(QWidget* parent = nullptr);

    QPushButton* button(const QString& objectName) const;
    QLineEdit* box(const QString& objectName) const;
    QGroupBox* frame() const { return m_frame; }
    // The five buttons that are locked while the window runs a long operation.
    QList<QPushButton*> buttons() const;

    // Highlights Valid when the function is switched on, else Invalid.
    void showFunctionValid(bool valid);
    bool functionValidShown() const { return m_valid; }

  signals:
    // A typed character the box does not take was swallowed.
    void keyRefused(const QString& box);
    // The operator changed the text of the direction, speed or pushing level box.
    void edited(const QString& box);
    // A point box took Enter (byEnter) or lost the focus to another control.
    void pointLeft(const QString& box, bool byEnter);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool handleKey(QLineEdit* box, class QKeyEvent* key);

    QPushButton* m_validButton = nullptr;
    QPushButton* m_invalidButton = nullptr;
    QGroupBox* m_frame = nullptr;
    QList<QLineEdit*> m_boxes;
    QList<QLineEdit*> m_pointBoxes;
    QLineEdit* m_leftByEnter = nullptr; // a point box giving up the focus for Enter
    bool m_valid = false;
};
