#pragma once

#include <QString>

// The actuator types both controller kinds serve: 30 to 33 (models QRX-A20, QRX-A40, QRX-B20,
// QRX-B40), carried as two-digit text.
namespace ActuatorType {

inline bool isSupported(const QString& type) {
    return type == u"30" || type == u"31" || type == u"32" || type == u"33";
}

// Stroke in 0.01 mm: 2000 for types 30 and 32, 4000 for every other value.
inline int stroke(const QString& type) {
    return (type == u"30" || type == u"32") ? 2000 : 4000;
}

// Model name, for example "QRX-A20"; empty for an unsupported type.
inline QString model(const QString& type) {
    if (!isSupported(type))
        return {};
    static const char* const names[] = {"QRX-A20", "QRX-A40", "QRX-B20", "QRX-B40"};
    return QString::fromLatin1(names[type.at(1).unicode() - '0']);
}

} // namespace ActuatorType
