#pragma once
// The authority-file window ("Kartoteka wzorcowa", captioned with the
// file's name): the file's indexes as tabs over one browser, the search
// field whose typing seeks once it pauses for 500 ms, the heading found, the
// record buttons, "+" and "-" for the cell height every opening shares.

#include "authority/AuthorityLookup.h"

#include <QDialog>
#include <QTimer>

#include <memory>

class QLineEdit;
class QPushButton;
class QTabBar;
class QWidget;

namespace velt::gui {

class BrowserView;
class QtCellMeasurer;

class TOknoKHWNowe : public QDialog, public AuthorityLookupView {
    Q_OBJECT
public:
    TOknoKHWNowe(QtCellMeasurer& measurer, QWidget* parent = nullptr);
    ~TOknoKHWNowe() override;

    // Runs the window modally on file in mode from start; the found term,
    // empty when cancelled.
    std::string Lookup(velt_files& files, const velt_KHW& file, char mode, const std::string& start,
                       Prompts& prompts, AuthorityEditing* editing);

    // AuthorityLookupView
    void ShowSearchText(const std::string& text) override;
    void ShowFoundTerm(const std::string& text) override;
    void ShowEntry(const std::string& key) override;
    void ListChanged() override;
    void Accept() override;
    void Reject() override;

    // The cell height every opening shares, kept between 26 and the panel's height.
    static int CellHeight();
    // "+" and "-": the height times factor, kept only when the browser took it.
    void Zoom(double factor);

    AuthorityLookup* Model() const { return mModel.get(); }
    QTabBar* TabControl1 = nullptr;
    QWidget* Panel5 = nullptr;
    QLineEdit* Edit1 = nullptr;  // "Początek szukanego hasła"
    QLineEdit* Edit2 = nullptr;  // "Znalezione hasło"
    QPushButton* OtworzButton = nullptr;
    QPushButton* UsunButton = nullptr;
    QPushButton* PokazButton = nullptr;
    QPushButton* NowyButton = nullptr;
    QPushButton* PlusButton = nullptr;
    QPushButton* MinusButton = nullptr;
    QTimer Timer1;  // 500 ms after the last keystroke
    BrowserView* Browser() const { return mBrowser; }

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    QtCellMeasurer& mMeasurer;
    std::unique_ptr<AuthorityLookup> mModel;
    BrowserView* mBrowser = nullptr;
    bool mUpdatingTabs = false;
};

}  // namespace velt::gui
