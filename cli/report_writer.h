#pragma once

// Hands a filled report record to the report composer without a window: the
// report goes into its folder under the record's home folder and no viewer
// opens. Kept apart from the station's headers, whose report numbering the
// composer's own does not share a header with.

#include <string>

#include "station/report_inputs.h"

// Writes report `kind` (the composer's numbering). True with the path of the
// report in `message`, false with the reason.
bool ComposeReport(int kind, const ReportInputs& inputs, std::string& message);
