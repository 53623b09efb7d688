#pragma once
// Reports from "&Zestawienie": the descriptor's reports in their groups,
// each for the remote collection, the local collection or the highlighted
// record (the scopes of a report without a form) or after its parameter
// form; the report buttons of the side panel; the entries' "RAPORT" and
// "BAR" elements. A report's work file is delivered by its kind
// (reports/ReportDelivery.h) to the report windows.

#include "gui/reports/ShowReport.h"
#include "gui/shell/FeatureHost.h"
#include "reports/ReportRuns.h"

#include <memory>
#include <string>

class QMenu;
class QWidget;

namespace velt::gui {

class ReportsFeature : public Feature {
public:
    void Install(FeatureHost& host) override;
    void DescriptorChanged() override;

    // Runs the report of that name without a form for the scope.
    void RunReportForScope(const std::string& name, ReportScope scope);
    // Runs the report of that name after its parameter form.
    void RunReportWithForm(const std::string& name);
    // What showing a report needs of the main window and the settings.
    ReportShowContext ShowContext(const std::string& plikTarget);

    QWidget* ReportPanel = nullptr;  // the buttons of the reports with a picture
    QMenu* ZestDlaMenu = nullptr;    // the scopes under a report button

private:
    void RunReportWithForm(const velt_report& report, const std::string& given);
    void ShowReportFile(const velt_report& report, const std::string& file, const std::string& plikTarget);

    FeatureHost* mHost = nullptr;
    std::string mCurrentReport;  // the report whose button popped ZestDlaMenu up
    std::shared_ptr<CatalogueCards> mCards;
};

}  // namespace velt::gui
