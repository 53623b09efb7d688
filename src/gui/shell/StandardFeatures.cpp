// The features of the program, in the order they are installed (which is
// the order of their items where two share a menu).

#include "gui/admin/GlobalFeature.h"
#include "gui/authority/AuthorityFeature.h"
#include "gui/browse/AttachmentsFeature.h"
#include "gui/editing/EditingFeature.h"
#include "gui/import/MarcExportFeature.h"
#include "gui/import/RtkFeature.h"
#include "gui/import/Z3950Feature.h"
#include "gui/links/LinksFeature.h"
#include "gui/params/ProgramsFeature.h"
#include "gui/reader/ReaderFeature.h"
#include "gui/reports/ReportsFeature.h"
#include "gui/search/CollectionsFeature.h"
#include "gui/search/SearchFeature.h"
#include "gui/shell/SettingsFeature.h"

namespace velt::gui {

FeatureList StandardFeatures() {
    FeatureList features;
    features.push_back(std::make_unique<SettingsFeature>());
    features.push_back(std::make_unique<EditingFeature>());
    features.push_back(std::make_unique<SearchFeature>());
    features.push_back(std::make_unique<CollectionsFeature>());
    features.push_back(std::make_unique<MarcExportFeature>());
    // The authority files' button stands first on the side panel.
    features.push_back(std::make_unique<AuthorityFeature>());
    features.push_back(std::make_unique<ReportsFeature>());
    features.push_back(std::make_unique<ProgramsFeature>());
    // "Program (administrator)" and "Usuń globalnie" follow the server's programs.
    features.push_back(std::make_unique<GlobalFeature>());
    features.push_back(std::make_unique<AttachmentsFeature>());
    features.push_back(std::make_unique<ReaderFeature>());
    features.push_back(std::make_unique<Z3950Feature>());
    features.push_back(std::make_unique<LinksFeature>());
    features.push_back(std::make_unique<RtkFeature>());
    return features;
}

}  // namespace velt::gui
