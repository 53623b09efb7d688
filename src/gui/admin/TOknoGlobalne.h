#pragma once
// "Program globalnej modyfikacji": the administrator's program in a memo,
// "Otwórz" and "Zapisz" of "*.apr" files, "Wykonaj" (the server runs it;
// the window closes once it did) and "Rezygnacja". Made for one command and
// freed after it; everything but the widgets is the core's GlobalProgram.

#include <QDialog>

#include <string>
#include <vector>

class QFileDialog;
class QPlainTextEdit;
class QPushButton;

namespace velt {
class GlobalProgram;
}

namespace velt::gui {

class TOknoGlobalne : public QDialog {
    Q_OBJECT
public:
    TOknoGlobalne(GlobalProgram& program, const std::vector<std::string>& lines, QWidget* parent = nullptr);

    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* Button1 = nullptr;  // "Otwórz"
    QPushButton* Button2 = nullptr;  // "Zapisz"
    QPushButton* Button4 = nullptr;  // "Wykonaj"
    QPushButton* Button3 = nullptr;  // "Rezygnacja"
    QFileDialog* OpenDialog1 = nullptr;
    QFileDialog* SaveDialog1 = nullptr;

    // The memo's lines (Windows-1250), and the memo filled with lines.
    std::vector<std::string> Lines() const;
    void SetLines(const std::vector<std::string>& lines);

    void Button1Click();
    void Button2Click();
    void Button4Click();

private:
    GlobalProgram& mProgram;
};

}  // namespace velt::gui
