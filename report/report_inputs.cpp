#include "report/report_inputs.h"

#include "platform/language.h"

ReportIcons StandardReportIcons() {
  return {DrawReportIcon(ReportIcon::Depth),      DrawReportIcon(ReportIcon::Width),
          DrawReportIcon(ReportIcon::Radius),     DrawReportIcon(ReportIcon::FlankAngle),
          DrawReportIcon(ReportIcon::OpeningAngle), DrawReportIcon(ReportIcon::Level)};
}

void ApplyLanguageTexts(const LanguageStore& store, ReportInputs& inputs) {
  if (const int panel = store.IndexOf("MAINPANEL"); panel >= 0) {
    inputs.jobIdLabel = store.GetLanguageString(panel + 1);
    inputs.materialItems = {store.GetLanguageString(panel + 2), store.GetLanguageString(panel + 4),
                            store.GetLanguageString(panel + 3)};
  }
  if (const int hints = store.IndexOf("MAINHINTS"); hints >= 0) {
    for (std::size_t i = 0; i < 3; ++i) inputs.snapshotHeadings[i] = store.GetLanguageString(hints + 7 + static_cast<int>(i));
  }
}
