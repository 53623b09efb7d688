#include "gui/cards/TKarta5.h"

#include "cards/CardPrinting.h"
#include "cards/CardSettings.h"
#include "gui/common/QtText.h"
#include "text/CpLiteral.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace velt::gui {

TKarta5::TKarta5(int pages, int copies, QWidget* parent) : QDialog(parent), mPages(std::max(pages, 1)) {
    setObjectName("TKarta5");
    setWindowTitle(toQString("Drukowanie bieżącej karty"_cp));
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(toQString("Wydrukować"_cp), this));
    Liczba = new QSpinBox(this);
    Liczba->setObjectName("Liczba");
    Liczba->setRange(1, CardBounds::kMaxCopies);
    Liczba->setValue(std::clamp(copies, 1, CardBounds::kMaxCopies));
    row->addWidget(Liczba);
    row->addWidget(new QLabel("egz.", this));
    row->addStretch();
    layout->addLayout(row);

    if (mPages > 1) {
        auto* boxes = new QWidget;
        auto* grid = new QGridLayout(boxes);
        const int perColumn = PageBoxesPerColumn(mPages);
        for (int k = 1; k <= mPages; ++k) {
            auto* box = new QCheckBox(toQString("Karta " + std::to_string(k)), boxes);
            box->setObjectName(QString("Karta%1").arg(k));
            grid->addWidget(box, (k - 1) % perColumn, (k - 1) / perColumn);
            Strony.push_back(box);
            connect(box, &QCheckBox::toggled, this, [this](bool on) {
                if (on) Wszystkie->setChecked(false);
            });
        }
        if (mPages > 4 * 6) {
            auto* scroll = new QScrollArea(this);
            scroll->setWidget(boxes);
            scroll->setMinimumHeight(std::min(boxes->sizeHint().height() + 4, 400));
            layout->addWidget(scroll);
        } else {
            layout->addWidget(boxes);
        }
        Wszystkie = new QCheckBox("Wszystkie karty", this);
        Wszystkie->setObjectName("Wszystkie");
        Wszystkie->setChecked(true);
        connect(Wszystkie, &QCheckBox::toggled, this, [this](bool on) {
            if (!on) return;
            for (QCheckBox* box : Strony) box->setChecked(false);
        });
        layout->addWidget(Wszystkie);
    }

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    DrukujButton = new QPushButton("&Drukuj", this);
    DrukujButton->setObjectName("DrukujButton");
    DrukujButton->setDefault(true);
    RezygnujButton = new QPushButton("&Rezygnuj", this);
    RezygnujButton->setObjectName("RezygnujButton");
    buttons->addWidget(DrukujButton);
    buttons->addWidget(RezygnujButton);
    layout->addLayout(buttons);
    connect(DrukujButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(RezygnujButton, &QPushButton::clicked, this, &QDialog::reject);
}

std::vector<int> TKarta5::Pages() const {
    std::vector<int> pages;
    for (int k = 1; k <= mPages; ++k)
        if (mPages == 1 || Wszystkie->isChecked() || Strony[static_cast<std::size_t>(k) - 1]->isChecked())
            pages.push_back(k);
    return pages;
}

int TKarta5::Copies() const { return Liczba->value(); }

}  // namespace velt::gui
