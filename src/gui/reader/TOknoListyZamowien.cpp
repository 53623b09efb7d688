#include "gui/reader/TOknoListyZamowien.h"

#include "gui/browse/BrowserView.h"
#include "gui/common/QtText.h"
#include "text/CpLiteral.h"

#include <QVBoxLayout>

namespace velt::gui {

namespace {

constexpr int kLineHeight = 24;

}  // namespace

TOknoListyZamowien::TOknoListyZamowien(QtCellMeasurer& measurer, QWidget* parent)
    : QDialog(parent), mMeasurer(measurer) {
    setObjectName("OknoListyZamowien");
    setWindowTitle(toQString("Zamknięte zamówienia"_cp));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setModal(true);
    // Wide enough for an order text on its one line (the lines are 24 pixels high).
    resize(900, 420);
    PanelBrowsera = new QWidget(this);
    PanelBrowsera->setObjectName("PanelBrowsera");
    auto* panel = new QVBoxLayout(PanelBrowsera);
    panel->setContentsMargins(0, 0, 0, 0);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(PanelBrowsera);
}

bool TOknoListyZamowien::Choose(zam_server& source) {
    // A browser for this showing: the source lives only as long as the choice.
    Browser = new BrowserView(source, mMeasurer, kLineHeight, PanelBrowsera);
    Browser->setObjectName("Browser");
    PanelBrowsera->layout()->addWidget(Browser);
    source.OnChosen([this] { accept(); });
    const bool chosen = exec() == QDialog::Accepted && source.Choice().has_value();
    source.OnChosen({});
    delete Browser;
    Browser = nullptr;
    return chosen;
}

}  // namespace velt::gui
