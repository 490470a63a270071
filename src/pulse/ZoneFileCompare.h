#pragma once

#include "pulse/PulseData.h"
#include "tables/CompareReport.h"

// Compare with file of the pulse-train kind: every zone cell (positions A and B, note) of the
// window against the settings file, then the parameters (FileCompare). The first difference
// is named "Zone_No<n>" or "Parameter_No<n>".
namespace ZoneFileCompare {

CompareReport::Findings findings(const ZoneTableData& zones, const PulseParameterData& parameters,
                                 const ZoneTableData& fileZones,
                                 const PulseParameterData& fileParameters);

} // namespace ZoneFileCompare
