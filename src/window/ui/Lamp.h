#pragma once

#include <QColor>
#include <QWidget>

class QLineEdit;
class QPushButton;

// Colours of the controller panels are written as 0xBBGGRR: blue in the high byte, red in
// the low one.
QColor colourFromBgr(quint32 bgr);

// Fills a button with a panel colour, or gives it back the normal button face colour.
void setButtonColour(QPushButton* button, quint32 bgr);
void resetButtonColour(QPushButton* button);

// The background of an entry box.
void setBoxColour(QLineEdit* box, quint32 bgr);

// A small painted indicator: yellow while on, the button face colour while off. While its state
// is unknown (the controller does not answer) it is drawn grey and hatched, on or off alike.
class Lamp final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Lamp)

  public:
    enum class Shape { Round, Square };

    explicit Lamp(Shape shape = Shape::Round, QWidget* parent = nullptr);

    void setOn(bool on);
    bool isOn() const { return m_on; }
    void setUnknown(bool unknown);
    bool isUnknown() const { return m_unknown; }
    // The colour the lamp is painted with right now.
    QColor fillColour() const;

    static QColor onColour() { return QColor(255, 255, 0); }
    static QColor unknownColour() { return QColor(0xB4, 0xB4, 0xB4); }

    QSize sizeHint() const override { return {16, 16}; }
    QSize minimumSizeHint() const override { return {12, 12}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    Shape m_shape;
    bool m_on = false;
    bool m_unknown = false;
};
