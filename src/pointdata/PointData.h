#pragma once

#include "tables/ParameterRows.h"

#include <QString>
#include <array>

// The point-input kind's two tables as plain data. Every field is the text of its grid cell;
// an empty text means "not set".

struct PointRecord {
    QString mode;     // "A", "I", "O", "C", "U" or empty
    QString position; // mm with two decimals, for example "10.00"
    QString speed;    // whole mm/s
    QString push;     // pushing level 1..10
    QString note;     // free text, never sent to the controller

    bool operator==(const PointRecord&) const = default;
};

inline constexpr int PointCount = 64;
using PointTableData = std::array<PointRecord, PointCount>;

// Rows in fixed order: index 0 is the actuator type row (grid row -1), then the 19 others.
inline constexpr int ParameterCount = 20;
using ParameterTableData = std::array<ParameterRow, ParameterCount>;
