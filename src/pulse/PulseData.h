#pragma once

#include "tables/ParameterRows.h"

#include <QString>
#include <array>

// The pulse-train kind's two tables as plain data. Every field is the text of its grid cell;
// an empty text means "not set".

struct ZoneRecord {
    QString a;    // zone position A in mm, "0.00" form, or empty
    QString b;    // zone position B in mm, "0.00" form, or empty
    QString note; // free text, never sent to the controller

    bool operator==(const ZoneRecord&) const = default;
};

inline constexpr int ZoneCount = 4;
using ZoneTableData = std::array<ZoneRecord, ZoneCount>;

// Rows in fixed order: the actuator type row (parameter 0) first, then the eleven others.
inline constexpr int PulseParameterCount = 12;
using PulseParameterData = std::array<ParameterRow, PulseParameterCount>;
