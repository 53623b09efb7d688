#pragma once
// The search window "Szukaj": the value list of one reference from the text
// typed (each change seeks at once), a click copying a heading into the
// text, a double click taking it. The result is the text as edited.

#include "authority/TermSearch.h"

#include <QDialog>

#include <memory>

class QLineEdit;
class QPushButton;
class QWidget;

namespace velt::gui {

class BrowserView;
class QtCellMeasurer;

class TOknoKHW : public QDialog, public TermSearchView {
    Q_OBJECT
public:
    TOknoKHW(QtCellMeasurer& measurer, QWidget* parent = nullptr);
    ~TOknoKHW() override;

    // Runs the window modally; the text, empty when cancelled.
    std::string Search(velt_files& files, const std::string& start, const std::string& reference);

    // TermSearchView
    void ShowSearchText(const std::string& text) override;
    void ShowEntry(const std::string& key) override;
    void Accept() override { accept(); }

    TermSearch* Model() const { return mModel.get(); }
    BrowserView* Browser() const { return mBrowser; }
    QWidget* Panel1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QPushButton* Button1 = nullptr;  // "OK"

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    QtCellMeasurer& mMeasurer;
    std::unique_ptr<TermSearch> mModel;
    BrowserView* mBrowser = nullptr;
};

}  // namespace velt::gui
