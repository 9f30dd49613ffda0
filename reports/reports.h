// The three reports of a construction: the parameters report (page 1), the
// curve report and the point blocks appended after it (page 2), as styled
// lines built from the construction record.
#pragma once

#include "engine/construction.h"
#include "reports/display_settings.h"
#include "reports/report_lines.h"

namespace rara {

// Appends the parameters report. Sets the record's U to K·R first, the
// value the report shows.
void ShowParams(TReportLines& lines, TECGF2Data& data,
                const TDisplaySettings& settings = DisplaySettings());

// Appends the curve report: field, root of W (or of the chosen factor) and
// the curve coefficients with their traces.
void ShowCurve(TReportLines& lines, const TECGF2Data& data,
               const TDisplaySettings& settings = DisplaySettings());

// Appends one block for the record's current point.
void ShowPoint(TReportLines& lines, const TECGF2Data& data,
               const TDisplaySettings& settings = DisplaySettings());

}  // namespace rara
