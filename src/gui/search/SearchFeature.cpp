#include "gui/search/SearchFeature.h"

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
                OknoElementarne->question(criterion.Name);
        });
    }
}

}  // namespace velt::gui
