#include "gui/search/SearchFeature.h"

#include "authority/AuthorityEntries.h"
#include "authority/AuthorityWindows.h"
#include "browse/PresentationTabs.h"
#include "catalogue/velt_files.h"
#include "gui/common/QtText.h"
#include "gui/search/TOknoElementarne.h"
#include "gui/search/TOknoFiltrow.h"
#include "gui/search/TOknoZlozone.h"
#include "search/SearchService.h"
#include "shell/VeltShell.h"
#include "text/CpLiteral.h"

#include <QCursor>
#include <QMainWindow>
#include <QMenu>

namespace velt::gui {

void SearchFeature::Install(FeatureHost& host) {
    mHost = &host;
    SearchService& search = host.Search();
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

void SearchFeature::DescriptorChanged() {
    Elementarne1->clear();
    const velt_files* files = mHost->Shell().Current();
    UstawFiltrItem->setVisible(files && files->Ready && !files->Filters.empty());
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
