#pragma once
// Searching from "Za&pytanie": the filters ("&Ustaw filtr", shown when the
// catalogue has filters), the elementary queries of the descriptor's
// criteria ("E&lementarne") and the complex query ("&Złożone").

#include "gui/shell/FeatureHost.h"

class QAction;
class QMenu;

namespace velt::gui {

class TOknoElementarne;
class TOknoFiltrow;
class TOknoZlozone;

class SearchFeature : public Feature {
public:
    void Install(FeatureHost& host) override;
    void DescriptorChanged() override;

    QAction* UstawFiltrItem = nullptr;
    QMenu* Elementarne1 = nullptr;
    QAction* ZlozoneItem = nullptr;
    TOknoZlozone* OknoZlozone = nullptr;
    TOknoElementarne* OknoElementarne = nullptr;
    TOknoFiltrow* OknoFiltrow = nullptr;

private:
    FeatureHost* mHost = nullptr;
};

}  // namespace velt::gui
