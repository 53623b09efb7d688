#pragma once
// The main window, "Wyszukiwanie i katalogowanie": the menu bar with the
// catalogue menu and the connection state.

#include <QMainWindow>

class QLabel;
class QMenu;

namespace velt::gui {

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);

    QMenu* KatalogMenu() const { return mKatalogMenu; }
    // Shows the connection state in the status bar.
    void SetConnectionState(const QString& text);

private:
    QMenu* mKatalogMenu = nullptr;
    QLabel* mConnectionLabel = nullptr;
};

}  // namespace velt::gui
