#include "report/report_names.h"

#include <cstdio>
#include <string_view>

ReportClock SystemReportClock() {
  return [] {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
  };
}

std::string FileTimeStamp(const std::tm& t) {
  char text[64];
  std::snprintf(text, sizeof text, "%04d%02d%02d_%02d%02d%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour,
                t.tm_min, t.tm_sec);
  return text;
}

std::string HeaderTimeStamp(const std::tm& t) {
  char text[64];
  std::snprintf(text, sizeof text, "%02d.%02d.%04d-%02d:%02d:%02d", t.tm_mday, t.tm_mon + 1, t.tm_year + 1900, t.tm_hour,
                t.tm_min, t.tm_sec);
  return text;
}

std::string FileNamePart(const std::string& text) {
  constexpr std::string_view kForbidden = "<>:\"/\\|?*";
  std::string part = text;
  for (char& c : part) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F || kForbidden.find(c) != std::string_view::npos) c = '_';
  }
  return part;
}

std::string JobIdFileNamePart(const std::string& jobId) {
  if (jobId.empty() || jobId == "." || jobId == "..") return "DEFAULT";
  return FileNamePart(jobId);
}

std::string ReportFolderName(int kind) {
  switch (kind) {
    case kCalibrationCertificate: return "CALReports";
    case kMeasurementReport:
    case kStoredResultsReport: return "Reports";
    case kVerificationReport: return "VerifyReports";
    default: return {};
  }
}

std::string ReportFileName(int kind, const std::string& serial, const std::string& jobId, const std::string& stamp) {
  if (kind == kMeasurementReport || kind == kStoredResultsReport) {
    return "VQX_" + JobIdFileNamePart(jobId) + "_" + stamp + ".pdf";
  }
  return FileNamePart(serial) + "_VQX_" + stamp + ".pdf";
}
