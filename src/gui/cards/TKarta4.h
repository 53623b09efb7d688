#pragma once
// "Parametry wydruku karty katalogowej": every value of Velt_kar.ini — the
// card's size and margins, the copies, the card's place on the paper and
// the orientation, which sections are printed, the frame of the call
// numbers, a font per section and the branch table — within the bounds the
// layout keeps. "&Ustaw" writes the file and applies the values; closing
// with values not set asks whether to save them.

#include "cards/CardSettings.h"
#include "common/Prompts.h"

#include <QDialog>

#include <functional>
#include <optional>
#include <string>

class QCheckBox;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace velt::gui {

class TKarta4 : public QDialog {
    Q_OBJECT
public:
    // settings as the card window has them; path the file written.
    TKarta4(const CardSettings& settings, std::string path, Prompts& prompts, QWidget* parent = nullptr);

    QSpinBox *Szerokosc = nullptr, *Wysokosc = nullptr;
    QSpinBox *Gorny = nullptr, *Dolny = nullptr, *Lewy = nullptr, *Prawy = nullptr, *PrawySygnatury = nullptr;
    QSpinBox *Liczba = nullptr, *WydrukGorny = nullptr, *WydrukLewy = nullptr;
    QRadioButton *Poziomo = nullptr, *Pionowo = nullptr;
    QCheckBox *Haslo = nullptr, *Sygnatury = nullptr, *Ukd = nullptr, *Inwentarz = nullptr, *Filie = nullptr;
    QCheckBox* Podkreslenie = nullptr;
    QPushButton *HasloFont = nullptr, *SygnaturyFont = nullptr, *ParagrafFont = nullptr, *UkdFont = nullptr,
                *InwentarzFont = nullptr, *FilieFont = nullptr;
    QSpinBox *Kolumny = nullptr, *Wiersze = nullptr, *WysokoscWierszy = nullptr;
    QPushButton* UstawButton = nullptr;    // "&Ustaw"
    QPushButton* ZamknijButton = nullptr;  // "&Zamknij"

    // What the fields say.
    CardSettings Values() const;
    // Shows settings in the fields.
    void Show(const CardSettings& settings);
    // "&Ustaw": the values bounded, written, shown again; false (the error
    // shown) when the file could not be written. They apply either way.
    bool Ustaw();
    // Whether "&Ustaw" (or saving on closing) gave new values, and which.
    bool Applied() const { return mApplied; }
    const CardSettings& Result() const { return mResult; }

    // Told the values each time they are set (the card window lays out again).
    std::function<void(const CardSettings&)> onApply;
    // Chooses a font: the platform's font dialog unless replaced.
    std::function<std::optional<CardFont>(const CardFont&)> chooseFont;

protected:
    void done(int result) override;

private:
    void ChooseFont(CardFont CardSettings::*font, QPushButton* button);
    void ShowFont(const CardFont& font, QPushButton* button);

    std::string mPath;
    Prompts& mPrompts;
    CardSettings mFonts;   // the fonts chosen so far
    CardSettings mResult;  // what is set
    bool mApplied = false;
};

// A font as a settings button shows it: "Times New Roman, 14, pogrubiona".
std::string FontCaption(const CardFont& font);

}  // namespace velt::gui
