#include "gui/search/SearchFeature.h"

#include "authority/AuthorityEntries.h"
#include "authority/AuthorityWindows.h"
#include "browse/PresentationTabs.h"
#include "catalogue/velt_files.h"
#include "gui/common/QtText.h"
#include "gui/search/TOknoElementarne.h"
#include "gui/common/GuiPrompts.h"
#include "gui/params/ParameterServices.h"
#include "gui/search/TOknoFiltrow.h"
#include "gui/search/TOknoNoweKryteria.h"
#include "gui/search/TOknoZlozone.h"
#include "search/SearchService.h"
#include "shell/VeltShell.h"
#include "text/CpLiteral.h"

#include <QCursor>
#include <QMainWindow>
#include <QMenu>

namespace velt::gui {

SearchFeature::SearchFeature() = default;

SearchFeature::~SearchFeature() {
    if (mHost) mHost->Shell().RemoveConfigurationSection(this);
}

void SearchFeature::Install(FeatureHost& host) {
    mHost = &host;
    SearchService& search = host.Search();
    OknoNoweKryteria = new TOknoNoweKryteria(&host.Window());
    CriteriaPanel::Services services;
    services.prompts = &GuiPrompts::Instance();
    services.forms = &host.Parameters().Forms();
    services.filters = this;
    mPanel = std::make_unique<CriteriaPanel>(mRemembered, services);
    host.Shell().AddConfigurationSection(this);
    OknoZlozone = new TOknoZlozone(search, &host.Window());
    OknoElementarne = new TOknoElementarne(search, &host.Window());
    OknoFiltrow = new TOknoFiltrow(search, &host.Window());
    // A criterion with an authority link looks its headings up in the authority files.
    OknoElementarne->SetAuthorityAsk([this](const std::string& link, const std::string& text) -> std::string {
        AuthorityWindows* windows = mHost->Find<AuthorityWindows>();
        velt_files* files = mHost->Shell().Current();
        if (!windows || !files || !files->Ready) return {};
        return HeadingText(AuthorityForIndex(*windows, *files, link, true, link, text));
    });
    QMenu* menu = host.Menu(MenuSlot::Query);
    PodstawoweItem = menu->addAction(toQString("Podstawowe"));
    PodstawoweItem->setObjectName("PodstawoweItem");
    PodstawoweItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
    QObject::connect(PodstawoweItem, &QAction::triggered, &host.Window(), [this] { RunCriteriaPanel(); });
    UstawFiltrItem = menu->addAction(toQString("&Ustaw filtr"));
    UstawFiltrItem->setObjectName("UstawFiltrItem");
    UstawFiltrItem->setVisible(false);
    QObject::connect(UstawFiltrItem, &QAction::triggered, OknoFiltrow, [this] {
        if (OknoFiltrow->ShowFilters(QCursor::pos())) mHost->Search().RerunAfterFilters();
    });
    Elementarne1 = menu->addMenu(toQString("E&lementarne"));
    Elementarne1->setObjectName("Elementarne1");
    ZlozoneItem = menu->addAction(toQString("&Złożone"_cp));
    ZlozoneItem->setObjectName("ZlozoneItem");
    QObject::connect(ZlozoneItem, &QAction::triggered, OknoZlozone, [this] { OknoZlozone->Open(); });
}

std::string SearchFeature::AskCriteria(velt_files& files, int& sortIndex) {
    CriteriaPanel::Services& s = mPanel->Settings();
    // The windows and settings of now: the authority files, the editor's zoom, the working directory.
    s.authority = mHost->Find<AuthorityWindows>();
    s.directory = mHost->Shell().Settings().WorkingDirectory;
    s.settings.zoom = mHost->Shell().Settings().EditScale > 0 ? mHost->Shell().Settings().EditScale : 1.0;
    return mPanel->AskCriteria(files, sortIndex, *OknoNoweKryteria);
}

void SearchFeature::RunCriteriaPanel() {
    velt_files* files = mHost->Shell().Current();
    if (!files || !files->Ready) return;
    SearchService& search = mHost->Search();
    int sort = search.SortIndex();
    const std::string query = AskCriteria(*files, sort);
    if (query.empty()) return;
    search.SetSortIndex(sort);
    search.RunPanelQuery(query);  // with the busy cursor
}

void SearchFeature::ReadConfiguration(const TMultiIniFile& ini) { mRemembered.Read(ini); }

void SearchFeature::WriteConfiguration(ProfileFile& file) { mRemembered.Write(file); }

void SearchFeature::ChooseFilters(velt_files&) { OknoFiltrow->ShowFilters(QCursor::pos()); }

void SearchFeature::DescriptorChanged() {
    Elementarne1->clear();
    const velt_files* files = mHost->Shell().Current();
    UstawFiltrItem->setVisible(files && files->Ready && !files->Filters.empty());
    PodstawoweItem->setEnabled(files && files->Ready);
    if (!files || !files->Ready) return;
    for (const velt_criterium& c : files->Criteria) {
        if (c.Options.find('N') != std::string::npos) continue;
        QAction* a = Elementarne1->addAction(toQString(c.Name));
        const velt_criterium criterion = c;  // the item keeps its own copy
        QObject::connect(a, &QAction::triggered, OknoElementarne, [this, criterion] {
            if (criterion.Type != "INDEX")
                mHost->Search().SpecialQuestion(criterion);
            else
                OknoElementarne->question(criterion.Name, criterion.AuthorityLink);
        });
    }
}

}  // namespace velt::gui
