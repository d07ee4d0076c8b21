#include "station/report_inputs.h"

ReportIcons StandardReportIcons() {
  return {DrawReportIcon(ReportIcon::Depth),      DrawReportIcon(ReportIcon::Width),
          DrawReportIcon(ReportIcon::Radius),     DrawReportIcon(ReportIcon::FlankAngle),
          DrawReportIcon(ReportIcon::OpeningAngle), DrawReportIcon(ReportIcon::Level)};
}
