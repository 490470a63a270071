#pragma once

#include <QList>
#include <QString>
#include <QWidget>
#include <utility>

class Lamp;
class QGroupBox;
class QHBoxLayout;
class QLabel;

// The I/O monitor lamps of a main window. Lamps are numbered as the monitor poll numbers its
// indicators (0 to 13, see DioLayout); which numbers have a lamp and what their captions say
// is the kind's layout. Each lamp's object name is "Lamp_" + its number. The "ERROR" label
// heads a row that can take the window's error box.
class IoLamps final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(IoLamps)

  public:
    static constexpr int Count = 14;

    struct Layout {
        struct Row {
            QString caption;                      // "Output", "Input", or empty
            QList<std::pair<int, QString>> lamps; // lamp number and its caption
        };
        QString title;
        QList<Row> rows;

        // The point-input kind: outputs 0 to 3 "HOLD", "INPOS", "BUSY", "READY"; inputs 8 to
        // 13, lamp 13 - k being "Pos k".
        static Layout pointInput();
    };

    explicit IoLamps(const Layout& layout = Layout::pointInput(), QWidget* parent = nullptr);

    // The lamp with the given number; nullptr for a number without a lamp.
    Lamp* lamp(int index) const;
    QLabel* label(int index) const;
    // Switches a lamp; numbers without a lamp are ignored.
    void setLamp(int index, bool on);
    // Turns every lamp off (button face colour).
    void resetLamps();
    // Shows every lamp's state as unknown (the controller does not answer), or as it is again.
    void setUnknown(bool unknown);
    bool unknown() const { return m_unknown; }
    // Shows or hides a lamp with its caption (a controller model without that signal); a
    // hidden lamp is off.
    void setLampShown(int index, bool shown);

    // Puts the window's error box beside the "ERROR" label.
    void placeErrorBox(QWidget* box);

  private:
    QGroupBox* m_frame = nullptr;
    QHBoxLayout* m_errorRow = nullptr;
    Lamp* m_lamps[Count] = {};
    QLabel* m_labels[Count] = {};
    bool m_unknown = false;
};
