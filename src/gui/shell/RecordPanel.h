#pragma once
// The main window's left panel ("Panel2"): "Idź do" with the record box,
// "Szukaj" with the text to seek in the active index, the zoom buttons "+"
// and "-", and below them the place where features put their buttons.

#include <QWidget>

class QComboBox;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

namespace velt::gui {

class RecordPanel : public QWidget {
    Q_OBJECT
public:
    explicit RecordPanel(QWidget* parent = nullptr);

    QPushButton* Button1 = nullptr;  // "Idź do"
    QComboBox* ComboBox1 = nullptr;  // the record box
    QPushButton* Button2 = nullptr;  // "Szukaj"
    QLineEdit* Edit1 = nullptr;
    QPushButton* Button3 = nullptr;  // "+"
    QPushButton* Button4 = nullptr;  // "-"
    QVBoxLayout* Features = nullptr;  // the features' buttons
};

}  // namespace velt::gui
