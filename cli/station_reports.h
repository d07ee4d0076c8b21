#pragma once

// The reports of vqx calibrate and verify: the calibration certificate and
// the verification report, filled from the station's controls and pictures
// as the windows fill them. Each returns false with the reason when the
// report is not written, and true with the path of the report in `message`.

#include <filesystem>
#include <string>

#include "measure/records.h"
#include "station/calibration_station.h"
#include "station/station_pictures.h"
#include "station/verification_station.h"

bool WriteCalibrationCertificate(CalibrationStation& station, const MeasureState& state,
                                 const StationPictures& pictures, const std::filesystem::path& home, ReportKind kind,
                                 std::string& message);

bool WriteVerificationReport(const VerificationStation& station, const std::string& serial, const MeasureState& state,
                             const StationPictures& pictures, const std::filesystem::path& home, ReportKind kind,
                             std::string& message);
