#include "gui/search/TOknoFiltrow.h"

#include "gui/common/QtText.h"
#include "text/CpLiteral.h"

#include <QCheckBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace velt::gui {

TOknoFiltrow::TOknoFiltrow(SearchService& service, QWidget* parent) : QDialog(parent), mService(service) {
    setObjectName("OknoFiltrow");
    setWindowTitle(toQString("Dostępne filtry"_cp));
    auto* layout = new QVBoxLayout(this);
    Panel2 = new QWidget(this);
    Panel2->setObjectName("Panel2");
    new QVBoxLayout(Panel2);
    layout->addWidget(Panel2);
    Button1 = new QPushButton(toQString("&Ustaw"), this);
    Button1->setObjectName("Button1");
    Button1->setDefault(true);
    layout->addWidget(Button1, 0, Qt::AlignRight);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
}

bool TOknoFiltrow::Prepare() {
    for (QCheckBox* b : Boxes) delete b;
    Boxes.clear();
    std::vector<FilterBox> boxes;
    if (!mService.ReadFilters(boxes)) return false;
    for (const FilterBox& f : boxes) {
        auto* b = new QCheckBox(toQString(f.name), Panel2);
        b->setChecked(f.ticked);
        b->setEnabled(f.enabled);
        Panel2->layout()->addWidget(b);
        Boxes.push_back(b);
    }
    adjustSize();
    return true;
}

bool TOknoFiltrow::Send() {
    std::vector<FilterBox> boxes;
    for (QCheckBox* b : Boxes) boxes.push_back({fromQString(b->text()), b->isChecked(), b->isEnabled()});
    return mService.WriteFilters(boxes);
}

bool TOknoFiltrow::ShowFilters(const QPoint& at) {
    if (!Prepare()) return false;
    move(at);
    const bool accepted = exec() == QDialog::Accepted;
    const bool sent = accepted && Send();
    for (QCheckBox* b : Boxes) delete b;
    Boxes.clear();
    return sent;
}

}  // namespace velt::gui
