#pragma once

#include <QWidget>

// A drawing of the slider with its carriage (object name "Shape3"). The carriage's left edge
// is given in window units, as the position display computes it: at the origin it stands at
// 2445 when the origin is on the cable side and at 3480 when it is on the opposite side; a
// full stroke spans the distance between the two.
class CarriageFigure final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CarriageFigure)

  public:
    static constexpr int CableSideLeft = 2445;
    static constexpr int FarSideLeft = 3480;
    // Width of the carriage in window units; the drawing leaves a tenth of the stroke of
    // room beyond either end, as positions up to 1.1 times the travel are shown.
    static constexpr int CarriageWidth = 420;

    explicit CarriageFigure(QWidget* parent = nullptr);

    // The carriage's left edge in window units for a position in mm on an actuator with the
    // given stroke in mm; originDirection is parameter 5 (0 cable side, 1 opposite side).
    // A stroke that is not positive leaves the carriage at its origin end.
    static int carriageLeftFor(double positionMm, double strokeMm, int originDirection);

    void setCarriageLeft(int windowUnits);
    int carriageLeft() const { return m_left; }
    // The carriage's rectangle in widget pixels as last laid out (for tests and hit checks).
    QRect carriageRect() const;

    QSize sizeHint() const override { return {180, 46}; }
    QSize minimumSizeHint() const override { return {160, 40}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QRect railRect() const;

    int m_left = CableSideLeft;
};
