#pragma once
// "Dostępne filtry": the server's result filters as check boxes.

#include "search/SearchService.h"

#include <QDialog>
#include <vector>

class QCheckBox;
class QPushButton;
class QWidget;

namespace velt::gui {

class TOknoFiltrow : public QDialog {
    Q_OBJECT
public:
    TOknoFiltrow(SearchService& service, QWidget* parent = nullptr);

    // The window at the position; true when new filters were accepted by the server.
    bool ShowFilters(const QPoint& at);
    // The boxes made from the server's flags (false: its error was shown).
    bool Prepare();
    // The flags of the boxes sent; true when accepted.
    bool Send();

    QWidget* Panel2 = nullptr;
    QPushButton* Button1 = nullptr;  // "Ustaw"
    std::vector<QCheckBox*> Boxes;

private:
    SearchService& mService;
};

}  // namespace velt::gui
