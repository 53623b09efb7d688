#include "gui/shell/RecordPanel.h"

#include "gui/common/QtText.h"
#include "text/CpLiteral.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace velt::gui {

RecordPanel::RecordPanel(QWidget* parent) : QWidget(parent) {
    setObjectName("Panel2");
    auto* col = new QVBoxLayout(this);
    col->setContentsMargins(0, 0, 0, 0);
    auto button = [this](const char* name, const QString& text, const std::string& hint) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(name);
        b->setToolTip(toQString(hint));
        return b;
    };
    Button1 = button("Button1", toQString("Idź do"_cp), "Wyszukaj podany rekord");
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName("ComboBox1");
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->setMinimumWidth(140);
    Button2 = button("Button2", toQString("Szukaj"), "Szukaj w bieżącym indeksie"_cp);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName("Edit1");
    Button3 = button("Button3", "+", "Powiększ"_cp);
    Button4 = button("Button4", "-", "Zmniejsz");
    auto* zoom = new QHBoxLayout;
    zoom->addWidget(Button3);
    zoom->addWidget(Button4);
    col->addWidget(Button1);
    col->addWidget(ComboBox1);
    col->addSpacing(8);
    col->addWidget(Button2);
    col->addWidget(Edit1);
    col->addSpacing(8);
    col->addLayout(zoom);
    col->addSpacing(8);
    Features = new QVBoxLayout;
    Features->setContentsMargins(0, 0, 0, 0);
    col->addLayout(Features);
    col->addStretch(1);
}

}  // namespace velt::gui
