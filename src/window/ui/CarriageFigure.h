#pragma once

#include <QWidget>

// The two ends of the carriage's travel in window units.
struct CarriageGeometry {
    int cableSideLeft;
    int farSideLeft;
};

// A drawing of the slider with its carriage (object name "Shape3"). The carriage's left edge
// is given in window units, as the position display of each kind computes it: at the origin
// it stands at the geometry's cable-side end when the origin is on the cable side and at its
// far end when it is on the opposite side; a full stroke spans the distance between the two.
// The point-input window's ends are 2445 and 3480, the pulse-train window's 1380 and 2400.
class CarriageFigure final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CarriageFigure)

  public:
    using Geometry = CarriageGeometry;
    static constexpr Geometry PointInput{2445, 3480};
    static constexpr int CableSideLeft = PointInput.cableSideLeft;
    static constexpr int FarSideLeft = PointInput.farSideLeft;
    // Width of the carriage in window units; the drawing leaves a tenth of the stroke of
    // room beyond either end, as positions up to 1.1 times the travel are shown.
    static constexpr int CarriageWidth = 420;

    explicit CarriageFigure(QWidget* parent = nullptr) : CarriageFigure(PointInput, parent) {}
    explicit CarriageFigure(Geometry geometry, QWidget* parent = nullptr);

    // The carriage's left edge in window units for a position in mm on an actuator with the
    // given stroke in mm; originDirection is parameter 5 (0 cable side, 1 opposite side).
    // A stroke that is not positive leaves the carriage at its origin end.
    static int carriageLeftFor(double positionMm, double strokeMm, int originDirection,
                               Geometry geometry = PointInput);
    Geometry geometry() const { return m_geometry; }

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

    Geometry m_geometry;
    int m_left;
};
