#pragma once

#include "pointdata/PointData.h"

#include <QString>

// The displays of the main window that mirror parameter values: the low-speed movement boxes
// of the drive panel, the size detection panel and the second panel of the status bar.
struct DependentDisplays {
    QString pushingSpeed;            // Txt_spd: parameter 7 as it stands
    QString distance;                // Txt_Dist: parameter 8 / 100, "0.00"
    QString limitWidth;              // Txt_Limit: parameter 9 / 100, "0.00"
    QString maxPoint;                // size_dai: parameter 31 / 100, "0.00"
    QString minPoint;                // size_syou: parameter 32 / 100, "0.00"
    bool sizeDetectionValid = false; // parameter 33 is 1: "Valid" highlighted, else "Invalid"
    QString originShift; // status bar panel 2: "Origin point shift: " + parameter 35 / 100

    bool operator==(const DependentDisplays&) const = default;

    // Reads the Setting Values of the table. A value that is not a number shows as 0.00.
    static DependentDisplays compute(const ParameterTableData& table);
    // The status bar text for an origin point shift given in 0.01 mm.
    static QString originShiftText(const QString& hundredths);
};
