#pragma once

#include "pointdata/PointData.h"
#include "tables/CompareReport.h"

// Compare with file of the point-input kind: every point cell (mode, position, speed,
// pushing level, note) of the window against the settings file, then the parameters
// (FileCompare). The first difference is named "Point_No<n>" or "Parameter_No<n>".
namespace PointFileCompare {

CompareReport::Findings findings(const PointTableData& points, const ParameterTableData& parameters,
                                 const PointTableData& filePoints,
                                 const ParameterTableData& fileParameters);

} // namespace PointFileCompare
