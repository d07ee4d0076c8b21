#pragma once

// The reports of vqx calibrate and verify: the calibration certificate and
// the verification report, filled from the station's controls and pictures
// as the windows fill them, written into "CALReports" and "VerifyReports" of
// the home folder. Each returns true with the path of the report in
// `message`, or false with the reason.

#include <filesystem>
#include <string>

#include "measure/records.h"
#include "station/calibration_station.h"
#include "station/station_pictures.h"
#include "station/verification_station.h"

bool WriteCalibrationCertificate(CalibrationStation& station, const StationPictures& pictures,
                                 const std::filesystem::path& home, std::string& message);

bool WriteVerificationReport(const VerificationStation& station, const std::string& serial,
                             const StationPictures& pictures, const std::filesystem::path& home,
                             std::string& message);
