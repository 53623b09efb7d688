#pragma once
// A TListBrowser on screen: its cells painted in a scrolling area, the mouse
// handed to the model. A list of one cell as tall as its content is the
// record view of a single record (the links windows' display pane). The
// model's callback runs after the mouse event, so it may clear the list.

#include "browse/TListBrowser.h"

#include <QScrollArea>

#include <functional>
#include <memory>

namespace velt::gui {

class QtCellMeasurer;

class ListBrowserView : public QScrollArea {
    Q_OBJECT
public:
    ListBrowserView(QtCellMeasurer& measurer, TListBrowser::Callback callback, int cellHeight,
                    QWidget* parent = nullptr);
    ~ListBrowserView() override;

    TListBrowser& Model() { return *mModel; }
    // The cells shown afresh: one per list of lines.
    void Show(const std::vector<std::vector<std::string>>& cells);
    // A single record's lines as the only cell.
    void ShowRecord(const std::vector<std::string>& lines) { Show({lines}); }

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    class Canvas;
    void Relayout();

    QtCellMeasurer& mMeasurer;
    std::unique_ptr<TListBrowser> mModel;
    Canvas* mCanvas = nullptr;
};

}  // namespace velt::gui
