#pragma once
// The closed-orders window ("Zamknięte zamówienia"): a browser over the
// closed orders; a double click picks an order and closes the window. It
// stays on top.

#include "reader/ClosedOrders.h"

#include <QDialog>

namespace velt::gui {

class BrowserView;
class QtCellMeasurer;

class TOknoListyZamowien : public QDialog, public ClosedOrdersWindow {
    Q_OBJECT
public:
    TOknoListyZamowien(QtCellMeasurer& measurer, QWidget* parent = nullptr);

    bool Choose(zam_server& source) override;

    QWidget* PanelBrowsera = nullptr;
    // The browser while the window is shown.
    BrowserView* Browser = nullptr;

private:
    QtCellMeasurer& mMeasurer;
};

}  // namespace velt::gui
