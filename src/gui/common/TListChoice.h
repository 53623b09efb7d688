#pragma once
// "Wybór z listy": the entries of a list choice in a scrolling browser; a
// click on an entry closes the window with it, closing it otherwise
// chooses nothing. The rule of the choice (none, one, several) is the
// core's (common/ListChoice.h).

#include "common/ListChoice.h"

#include <QDialog>

#include <memory>

namespace velt {
class ListChoiceSource;
}

namespace velt::gui {

class BrowserView;
class QtCellMeasurer;

class TListChoice : public QDialog, public ListChoiceWindow {
    Q_OBJECT
public:
    TListChoice(QtCellMeasurer& measurer, QWidget* parent = nullptr);
    ~TListChoice() override;

    // ListChoiceWindow: modal; the index clicked, or -1.
    int ShowListChoice(const std::vector<ListChoiceEntry>& entries) override;

    // While shown: the browser over the entries.
    BrowserView* Browser() const { return mBrowser; }
    QWidget* Panel1 = nullptr;

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    QtCellMeasurer& mMeasurer;
    std::unique_ptr<ListChoiceSource> mSource;
    BrowserView* mBrowser = nullptr;
    int mChosen = -1;
};

}  // namespace velt::gui
