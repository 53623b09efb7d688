#include "gui/cards/TKarta4.h"

#include "gui/common/QtText.h"
#include "text/CpLiteral.h"

#include <QCheckBox>
#include <QFontDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace velt::gui {

namespace {

QSpinBox* Number(QWidget* parent, const char* name, int low, int high) {
    auto* box = new QSpinBox(parent);
    box->setObjectName(name);
    box->setRange(low, high);
    box->setMinimumWidth(70);
    return box;
}

}  // namespace

std::string FontCaption(const CardFont& font) {
    std::string caption = font.face + ", " + std::to_string(font.points);
    if (font.bold) caption += ", pogrubiona";
    if (font.italic) caption += ", pochylona";
    if (font.underline) caption += ", podkreślona"_cp;
    return caption;
}

TKarta4::TKarta4(const CardSettings& settings, std::string path, Prompts& prompts, QWidget* parent)
    : QDialog(parent), mPath(std::move(path)), mPrompts(prompts), mFonts(settings), mResult(settings) {
    using B = CardBounds;
    setObjectName("TKarta4");
    setWindowTitle(toQString("Parametry wydruku karty katalogowej"_cp));
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    layout->addLayout(top);
    auto label = [this](const char* utf8) { return new QLabel(toQString(std::string(utf8)), this); };

    // The card: its size and margins.
    auto* card = new QGroupBox(toQString("Karta [mm]"), this);
    auto* cardGrid = new QGridLayout(card);
    Szerokosc = Number(card, "Szerokosc", B::kMinWidth, B::kMaxWidth);
    Wysokosc = Number(card, "Wysokosc", B::kMinHeight, B::kMaxHeight);
    Gorny = Number(card, "Gorny", 0, B::kMaxMargin);
    Dolny = Number(card, "Dolny", 0, B::kMaxMargin);
    Lewy = Number(card, "Lewy", 0, B::kMaxMargin);
    Prawy = Number(card, "Prawy", 0, B::kMaxMargin);
    PrawySygnatury = Number(card, "PrawySygnatury", 0, B::kMaxWidth);
    const std::pair<std::string, QSpinBox*> cardFields[] = {
        {"Szerokość"_cp, Szerokosc},          {"Wysokość"_cp, Wysokosc},   {"Margines górny"_cp, Gorny},
        {"Margines dolny", Dolny},            {"Margines lewy", Lewy},     {"Margines prawy", Prawy},
        {"Prawy margines sygnatur", PrawySygnatury}};
    int row = 0;
    for (const auto& [caption, box] : cardFields) {
        cardGrid->addWidget(new QLabel(toQString(caption), card), row, 0);
        cardGrid->addWidget(box, row++, 1);
    }
    top->addWidget(card);

    // Printing.
    auto* print = new QGroupBox("Wydruk", this);
    auto* printGrid = new QGridLayout(print);
    Liczba = Number(print, "Liczba", 1, B::kMaxCopies);
    WydrukGorny = Number(print, "WydrukGorny", 0, B::kMaxOffset);
    WydrukLewy = Number(print, "WydrukLewy", 0, B::kMaxOffset);
    printGrid->addWidget(new QLabel("Liczba kart do druku", print), 0, 0);
    printGrid->addWidget(Liczba, 0, 1);
    printGrid->addWidget(new QLabel(toQString("Odstęp od górnej krawędzi [mm]"_cp), print), 1, 0);
    printGrid->addWidget(WydrukGorny, 1, 1);
    printGrid->addWidget(new QLabel(toQString("Odstęp od lewej krawędzi [mm]"_cp), print), 2, 0);
    printGrid->addWidget(WydrukLewy, 2, 1);
    Poziomo = new QRadioButton("Poziomo", print);
    Poziomo->setObjectName("Poziomo");
    Pionowo = new QRadioButton("Pionowo", print);
    Pionowo->setObjectName("Pionowo");
    printGrid->addWidget(new QLabel("Orientacja", print), 3, 0);
    auto* orientation = new QHBoxLayout;
    orientation->addWidget(Poziomo);
    orientation->addWidget(Pionowo);
    printGrid->addLayout(orientation, 3, 1);
    printGrid->setRowStretch(4, 1);
    top->addWidget(print);

    // The sections: printed or not, and their fonts.
    auto* sections = new QGroupBox("Sekcje karty i czcionki", this);
    auto* sectionGrid = new QGridLayout(sections);
    auto check = [sections](const std::string& caption, const char* name) {
        auto* box = new QCheckBox(toQString(caption), sections);
        box->setObjectName(name);
        return box;
    };
    auto fontButton = [sections](const char* name) {
        auto* button = new QPushButton(sections);
        button->setObjectName(name);
        button->setMinimumWidth(260);
        return button;
    };
    Haslo = check("Hasło"_cp, "Haslo");
    Sygnatury = check("Sygnatury", "Sygnatury");
    Ukd = check("UKD", "Ukd");
    Inwentarz = check("Inwentarz", "Inwentarz");
    Filie = check("Tabela filii", "Filie");
    HasloFont = fontButton("HasloFont");
    SygnaturyFont = fontButton("SygnaturyFont");
    ParagrafFont = fontButton("ParagrafFont");
    UkdFont = fontButton("UkdFont");
    InwentarzFont = fontButton("InwentarzFont");
    FilieFont = fontButton("FilieFont");
    sectionGrid->addWidget(Haslo, 0, 0);
    sectionGrid->addWidget(HasloFont, 0, 1);
    sectionGrid->addWidget(Sygnatury, 1, 0);
    sectionGrid->addWidget(SygnaturyFont, 1, 1);
    sectionGrid->addWidget(label("Paragraf"), 2, 0);
    sectionGrid->addWidget(ParagrafFont, 2, 1);
    sectionGrid->addWidget(Ukd, 3, 0);
    sectionGrid->addWidget(UkdFont, 3, 1);
    sectionGrid->addWidget(Inwentarz, 4, 0);
    sectionGrid->addWidget(InwentarzFont, 4, 1);
    sectionGrid->addWidget(Filie, 5, 0);
    sectionGrid->addWidget(FilieFont, 5, 1);
    Podkreslenie = check("Linia przy sygnaturach", "Podkreslenie");
    sectionGrid->addWidget(Podkreslenie, 6, 0, 1, 2);

    // The branch table of central cards.
    auto* branches = new QGroupBox("Tabela filii (karta centralna)", this);
    auto* branchGrid = new QGridLayout(branches);
    Kolumny = Number(branches, "Kolumny", 1, B::kMaxColumns);
    Wiersze = Number(branches, "Wiersze", 1, B::kMaxRows);
    WysokoscWierszy = Number(branches, "WysokoscWierszy", B::kMinRowHeight, B::kMaxRowHeight);
    branchGrid->addWidget(new QLabel("Liczba kolumn", branches), 0, 0);
    branchGrid->addWidget(Kolumny, 0, 1);
    branchGrid->addWidget(new QLabel("Liczba wierszy", branches), 1, 0);
    branchGrid->addWidget(Wiersze, 1, 1);
    branchGrid->addWidget(new QLabel(toQString("Wysokość wierszy [mm]"_cp), branches), 2, 0);
    branchGrid->addWidget(WysokoscWierszy, 2, 1);
    branchGrid->setRowStretch(3, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(sections, 2);
    bottom->addWidget(branches, 1);
    layout->addLayout(bottom);

    // The branch table's box enables its fields and turns the inventory the other way.
    connect(Filie, &QCheckBox::toggled, this, [this](bool on) {
        for (QWidget* w : {static_cast<QWidget*>(Kolumny), static_cast<QWidget*>(Wiersze),
                           static_cast<QWidget*>(WysokoscWierszy)})
            w->setEnabled(on);
        Inwentarz->setChecked(!on);
    });

    const std::pair<CardFont CardSettings::*, QPushButton*> fonts[] = {
        {&CardSettings::headingFont, HasloFont},     {&CardSettings::callFont, SygnaturyFont},
        {&CardSettings::paragraphFont, ParagrafFont}, {&CardSettings::udcFont, UkdFont},
        {&CardSettings::inventoryFont, InwentarzFont}, {&CardSettings::branchFont, FilieFont}};
    for (const auto& [font, button] : fonts)
        connect(button, &QPushButton::clicked, this, [this, font = font, button = button] { ChooseFont(font, button); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    UstawButton = new QPushButton("&Ustaw", this);
    UstawButton->setObjectName("UstawButton");
    ZamknijButton = new QPushButton("&Zamknij", this);
    ZamknijButton->setObjectName("ZamknijButton");
    buttons->addWidget(UstawButton);
    buttons->addWidget(ZamknijButton);
    layout->addLayout(buttons);
    connect(UstawButton, &QPushButton::clicked, this, [this] { Ustaw(); });
    connect(ZamknijButton, &QPushButton::clicked, this, &QDialog::reject);

    chooseFont = [this](const CardFont& font) -> std::optional<CardFont> {
        QFont current(toQString(font.face), font.points);
        current.setBold(font.bold);
        current.setItalic(font.italic);
        current.setUnderline(font.underline);
        bool ok = false;
        const QFont chosen = QFontDialog::getFont(&ok, current, this);
        if (!ok) return std::nullopt;
        CardFont out = font;
        out.face = fromQString(chosen.family());
        out.points = std::max(1, chosen.pointSize());
        out.bold = chosen.bold();
        out.italic = chosen.italic();
        out.underline = chosen.underline();
        return out;
    };
    Show(settings);
}

void TKarta4::Show(const CardSettings& s) {
    Szerokosc->setValue(s.width);
    Wysokosc->setValue(s.height);
    Gorny->setValue(s.top);
    Dolny->setValue(s.bottom);
    Lewy->setValue(s.left);
    Prawy->setValue(s.right);
    PrawySygnatury->setValue(s.callRight);
    Liczba->setValue(s.copies);
    WydrukGorny->setValue(s.printTop);
    WydrukLewy->setValue(s.printLeft);
    Poziomo->setChecked(s.landscape);
    Pionowo->setChecked(!s.landscape);
    Haslo->setChecked(s.printHeading);
    Sygnatury->setChecked(s.printCalls);
    Ukd->setChecked(s.printUdc);
    Kolumny->setValue(s.branchColumns);
    Wiersze->setValue(s.branchRows);
    WysokoscWierszy->setValue(s.branchRowHeight);
    // The branch table's box shows what the inventory does not.
    {
        const QSignalBlocker block(Filie);
        Filie->setChecked(!s.printInventory);
    }
    for (QWidget* w : {static_cast<QWidget*>(Kolumny), static_cast<QWidget*>(Wiersze),
                       static_cast<QWidget*>(WysokoscWierszy)})
        w->setEnabled(!s.printInventory);
    Inwentarz->setChecked(s.printInventory);
    Podkreslenie->setChecked(s.callFrame);
    mFonts = s;
    ShowFont(s.headingFont, HasloFont);
    ShowFont(s.callFont, SygnaturyFont);
    ShowFont(s.paragraphFont, ParagrafFont);
    ShowFont(s.udcFont, UkdFont);
    ShowFont(s.inventoryFont, InwentarzFont);
    ShowFont(s.branchFont, FilieFont);
}

CardSettings TKarta4::Values() const {
    CardSettings s = mFonts;
    s.width = Szerokosc->value();
    s.height = Wysokosc->value();
    s.top = Gorny->value();
    s.bottom = Dolny->value();
    s.left = Lewy->value();
    s.right = Prawy->value();
    s.callRight = PrawySygnatury->value();
    s.copies = Liczba->value();
    s.printTop = WydrukGorny->value();
    s.printLeft = WydrukLewy->value();
    s.landscape = Poziomo->isChecked();
    s.printHeading = Haslo->isChecked();
    s.printCalls = Sygnatury->isChecked();
    s.printUdc = Ukd->isChecked();
    s.printInventory = Inwentarz->isChecked();
    s.callFrame = Podkreslenie->isChecked();
    s.branchColumns = Kolumny->value();
    s.branchRows = Wiersze->value();
    s.branchRowHeight = WysokoscWierszy->value();
    return s;
}

void TKarta4::ShowFont(const CardFont& font, QPushButton* button) { button->setText(toQString(FontCaption(font))); }

void TKarta4::ChooseFont(CardFont CardSettings::*font, QPushButton* button) {
    if (!chooseFont) return;
    if (const std::optional<CardFont> chosen = chooseFont(mFonts.*font)) {
        mFonts.*font = *chosen;
        ShowFont(mFonts.*font, button);
    }
}

bool TKarta4::Ustaw() {
    mResult = BoundedCardSettings(Values());
    mApplied = true;
    Show(mResult);
    const std::string error = WriteCardSettings(mPath, mResult);
    if (!error.empty()) mPrompts.show_error(error);
    if (onApply) onApply(mResult);
    return error.empty();
}

void TKarta4::done(int result) {
    // Closing with values that were not set asks whether to save them.
    if (BoundedCardSettings(Values()) != mResult) {
        if (mPrompts.ask_question("Nowe ustawienia nie zostały zapisane\r\n            Zapisać?"_cp) == kYes) Ustaw();
    }
    QDialog::done(result);
}

}  // namespace velt::gui
