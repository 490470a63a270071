#pragma once

#include <QWidget>

class Lamp;
class QGroupBox;
class QHBoxLayout;
class QLabel;

// The I/O monitor lamps of the point-input main window. Lamps are numbered as the monitor
// poll numbers its indicators: 0 to 3 are outputs ("HOLD", "INPOS", "BUSY", "READY") and 8 to
// 13 are inputs (lamp 13 - k is "Pos k"); numbers 4 to 7 have no lamp. Each lamp's object
// name is "Lamp_" + its number. An older controller reports one input fewer, so lamp 8
// ("Pos 5") is hidden for it. The "ERROR" label heads a row that can take the window's error
// box.
class IoLamps final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(IoLamps)

  public:
    static constexpr int Count = 14;
    static bool hasLamp(int index) {
        return (index >= 0 && index <= 3) || (index >= 8 && index <= 13);
    }

    explicit IoLamps(QWidget* parent = nullptr);

    // The lamp with the given number; nullptr for a number without a lamp.
    Lamp* lamp(int index) const;
    QLabel* label(int index) const;
    // Switches a lamp; numbers without a lamp are ignored.
    void setLamp(int index, bool on);
    // Turns every lamp off (button face colour).
    void resetLamps();

    // Shows the lamps the controller model has: all for the new model, without lamp 8 for
    // the old one.
    void setNewModel(bool newModel);
    bool isNewModel() const { return m_newModel; }

    // Puts the window's error box beside the "ERROR" label.
    void placeErrorBox(QWidget* box);

  private:
    QGroupBox* m_frame = nullptr;
    QHBoxLayout* m_errorRow = nullptr;
    Lamp* m_lamps[Count] = {};
    QLabel* m_labels[Count] = {};
    bool m_newModel = true;
};
