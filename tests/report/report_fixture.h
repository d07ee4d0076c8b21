#pragma once

// A report record as the windows would fill it, with pictures that are the
// same on every run, and a clock stopped at 09:05:07 on 8 March 2016.

#include <ctime>
#include <filesystem>

#include "report/report_composer.h"

std::tm FixedReportTime();
ReportEnvironment QuietEnvironment();

// Home folder `home`; the certificate logo from the source tree.
ReportInputs ExampleInputs(const std::filesystem::path& home);
// A picture 1280 x 1024 of a channel as the camera shows it.
Bitmap ExampleResultPicture(int variant);
