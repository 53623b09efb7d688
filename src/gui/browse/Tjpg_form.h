#pragma once
// The picture viewer ("Wyswietlanie pliku JPG"): a JPEG file fitted to the
// screen's work area with its proportions kept; a left click enlarges it
// 1.5 times about the clicked point, a right click shrinks it; "Drukuj"
// prints it fitted to the page, through the print dialog (a PDF file is one
// of the printers).

#include <QDialog>
#include <QImage>

class QLabel;
class QScrollArea;

namespace velt::gui {

class Tjpg_form : public QDialog {
    Q_OBJECT
public:
    explicit Tjpg_form(QWidget* parent = nullptr);

    // Loads the file and lays it out; false (with a message) when it is no picture.
    bool Load(const std::string& path);
    // Load and show modally.
    void ShowFile(const std::string& path);
    // The zoom of a click at (x, y) of the picture: 1.5 times bigger, or smaller.
    void ZoomAt(const QPoint& at, bool enlarge);
    // Prints the picture fitted to the page (the print dialog first).
    void Print();

    QScrollArea* ScrollBox = nullptr;
    QLabel* Image1 = nullptr;
    QAction* Drukuj1 = nullptr;
    const QImage& Picture() const { return mPicture; }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;
    // The picture is fitted to the window as it is shown and resized, until
    // the user zooms.
    void showEvent(QShowEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void Fit();
    void Resize(const QSize& size);

    QImage mPicture;
    bool mZoomed = false;
};

}  // namespace velt::gui
