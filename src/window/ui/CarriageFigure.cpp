#include "window/ui/CarriageFigure.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr int MotorWidth = 26;

int travel(CarriageFigure::Geometry g) {
    return g.farSideLeft - g.cableSideLeft;
}
// The window units the drawing spans: a tenth of the travel beyond either end.
int firstUnit(CarriageFigure::Geometry g) {
    return g.cableSideLeft - travel(g) / 10;
}
int lastUnit(CarriageFigure::Geometry g) {
    return g.farSideLeft + travel(g) / 10 + CarriageFigure::CarriageWidth;
}

} // namespace

CarriageFigure::CarriageFigure(Geometry geometry, QWidget* parent)
    : QWidget(parent), m_geometry(geometry), m_left(geometry.cableSideLeft) {
    setObjectName(QStringLiteral("Shape3"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

int CarriageFigure::carriageLeftFor(double positionMm, double strokeMm, int originDirection,
                                    Geometry g) {
    if (!(strokeMm > 0.0) || !std::isfinite(positionMm))
        return originDirection == 1 ? g.farSideLeft : g.cableSideLeft;
    const int scaled = static_cast<int>(std::lround(positionMm * travel(g) / strokeMm));
    return originDirection == 1 ? g.farSideLeft - scaled : g.cableSideLeft + scaled;
}

void CarriageFigure::setCarriageLeft(int windowUnits) {
    if (m_left == windowUnits)
        return;
    m_left = windowUnits;
    update();
}

QRect CarriageFigure::railRect() const {
    return QRect(MotorWidth + 4, height() / 2 - 2, width() - MotorWidth - 8, height() / 2 - 4);
}

QRect CarriageFigure::carriageRect() const {
    const QRect rail = railRect();
    const int first = firstUnit(m_geometry);
    const int last = lastUnit(m_geometry);
    const double scale = double(rail.width()) / (last - first);
    // Positions far outside the drawing are pinned to its ends rather than painted off it.
    const int left = std::clamp(m_left, first, last - CarriageWidth);
    const int x = rail.left() + int(std::lround((left - first) * scale));
    const int w = std::max(8, int(std::lround(CarriageWidth * scale)));
    return QRect(x, 3, w, height() - 6);
}

void CarriageFigure::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPalette& pal = palette();

    // Slider body: the motor block on the cable side (left), the rail to the right.
    const QRect rail = railRect();
    painter.setPen(QPen(pal.color(QPalette::Shadow), 1));
    painter.setBrush(QColor(0xB8, 0xBC, 0xC2));
    painter.drawRoundedRect(QRectF(2, rail.top() - 2, width() - 4, rail.height() + 4), 3, 3);
    painter.setBrush(QColor(0x60, 0x66, 0x70));
    painter.drawRect(QRectF(2, rail.top() - 6, MotorWidth, rail.height() + 10));
    painter.setPen(QPen(pal.color(QPalette::Mid), 1, Qt::DashLine));
    const double midY = rail.center().y() + 0.5;
    painter.drawLine(QPointF(rail.left() + 2, midY), QPointF(rail.right() - 2, midY));

    // Carriage.
    painter.setPen(QPen(QColor(0x20, 0x30, 0x60), 1));
    painter.setBrush(QColor(0x40, 0x70, 0xD0));
    painter.drawRoundedRect(QRectF(carriageRect()).adjusted(0.5, 0.5, -0.5, -0.5), 2, 2);
}
