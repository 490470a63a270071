#pragma once

#include <QString>

// Small helpers the virtual controller's command handling and motions share: how it reads a
// number from a command or its memory, and its detail lines.
namespace ControllerText {

inline constexpr qint64 NsPerMs = 1000000;

inline QString detail(const char* text) {
    return QString::fromLatin1(text);
}

// A number as the controller reads one; false when the text is none.
inline bool toNumber(const QString& text, double* value) {
    bool ok = false;
    *value = text.trimmed().toDouble(&ok);
    return ok;
}

} // namespace ControllerText
