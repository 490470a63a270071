#pragma once

#include <QString>
#include <optional>

// The slider operating speed calculation: the highest speed and acceleration at which the
// slider of an actuator model may be run. The result depends on the model alone: option k of
// the tool (k = 0 to 3) stands for actuator type 30 + k.
namespace SpeedCalculation {

inline constexpr int OptionCount = 4;

struct Result {
    float maxSpeed = 0;        // mm/s
    float maxAcceleration = 0; // mm/s^2
};

// The option of an actuator type text ("30" -> 0 ... "33" -> 3); none for any other text.
std::optional<int> optionOf(const QString& type);

// Start calculation: options 0 and 1 (the 20 and 40 mm sliders of the A series) give 50 mm/s
// and 500 mm/s^2, options 2 and 3 (the B series) 120 mm/s and 1400 mm/s^2; with no option
// selected (any other value) the previous result stands.
Result calculate(int option, Result previous);

// The result boxes: the speed in the form "0.0" (50 -> "50.0"), the acceleration in the form
// "0##": a whole number of at least three digits (500 -> "500", 1400 -> "1400").
QString speedText(float mmPerSecond);
QString accelerationText(float mmPerSecondSquared);

} // namespace SpeedCalculation
