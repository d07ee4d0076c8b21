#pragma once

// Where a report goes and what it is called.

#include <ctime>
#include <filesystem>
#include <functional>
#include <string>

// The report kinds (the Index of CreatePDF).
enum ReportKind : int {
  kCalibrationCertificate = 0,
  kMeasurementReport = 1,
  kStoredResultsReport = 2,
  kVerificationReport = 3,
};

// The local date and time a report is stamped with; injectable for tests.
using ReportClock = std::function<std::tm()>;
ReportClock SystemReportClock();

// "20160308_090507" for the file name.
std::string FileTimeStamp(const std::tm& time);
// "08.03.2016-09:05:07" for the report header (sdr).
std::string HeaderTimeStamp(const std::tm& time);

// `text` as a part of a file name: every character a file name cannot hold
// here or on Windows (path separators, control characters, < > : " | ? *)
// becomes "_", so a name can neither leave its folder nor fail to be copied.
std::string FileNamePart(const std::string& text);

// The JOB ID as a part of a file name: FileNamePart, and "DEFAULT" for an
// empty ID, "." or "..". The report itself prints the ID as typed.
std::string JobIdFileNamePart(const std::string& jobId);

// "CALReports", "Reports" or "VerifyReports"; empty for other kinds.
std::string ReportFolderName(int kind);

// The file name of a report: serial + "_VQX_" + stamp + ".pdf" for kinds 0
// and 3, "VQX_" + JOB ID part + "_" + stamp + ".pdf" for kinds 1 and 2.
std::string ReportFileName(int kind, const std::string& serial, const std::string& jobId, const std::string& stamp);
