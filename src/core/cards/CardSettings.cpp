#include "cards/CardSettings.h"

#include "lang/ProfileFile.h"
#include "files/UserDirectories.h"
#include "text/CpLiteral.h"

#include <algorithm>
#include <filesystem>

namespace velt {

namespace {

struct FontSection {
    std::string section;
    CardFont CardSettings::*font;
};

const FontSection kFonts[] = {
    {"Hasło"_cp, &CardSettings::headingFont},      {"Sygnatury", &CardSettings::callFont},
    {"Paragraf", &CardSettings::paragraphFont},    {"UKD", &CardSettings::udcFont},
    {"Inwentarz", &CardSettings::inventoryFont},   {"Filie", &CardSettings::branchFont},
};

int Clamp(std::int64_t v, int low, int high) { return static_cast<int>(std::clamp<std::int64_t>(v, low, high)); }

CardFont BoundedFont(CardFont font, const CardFont& fallback) {
    if (font.face.find_first_not_of(' ') == std::string::npos) font.face = fallback.face;
    if (font.face.size() > CardBounds::kMaxFaceName) font.face.resize(CardBounds::kMaxFaceName);
    font.points = std::clamp(font.points, CardBounds::kMinPoints, CardBounds::kMaxPoints);
    font.charset = std::clamp(font.charset, 0, 255);
    return font;
}

}  // namespace

CardSettings BoundedCardSettings(CardSettings s) {
    using B = CardBounds;
    const CardSettings defaults;
    s.width = std::clamp(s.width, B::kMinWidth, B::kMaxWidth);
    s.height = std::clamp(s.height, B::kMinHeight, B::kMaxHeight);
    for (int* m : {&s.bottom, &s.top, &s.right, &s.left}) *m = std::clamp(*m, 0, B::kMaxMargin);
    // The margins give way, the right before the left and the bottom before
    // the top, until the card keeps room for its text.
    s.right = std::min(s.right, std::max(0, s.width - B::kMinTextWidth - s.left));
    s.left = std::min(s.left, s.width - B::kMinTextWidth - s.right);
    s.bottom = std::min(s.bottom, std::max(0, s.height - B::kMinTextHeight - s.top));
    s.top = std::min(s.top, s.height - B::kMinTextHeight - s.bottom);
    const int textWidth = s.width - s.left - s.right;
    s.callRight = std::clamp(s.callRight, 0, textWidth - 10);
    s.copies = std::clamp(s.copies, 1, B::kMaxCopies);
    s.printTop = std::clamp(s.printTop, 0, B::kMaxOffset);
    s.printLeft = std::clamp(s.printLeft, 0, B::kMaxOffset);
    s.branchColumns = std::clamp(s.branchColumns, 1, B::kMaxColumns);
    s.branchRows = std::clamp(s.branchRows, 1, B::kMaxRows);
    s.branchRowHeight = std::clamp(s.branchRowHeight, B::kMinRowHeight, B::kMaxRowHeight);
    const int tableRoom = (s.height - s.top - s.bottom) / 2;
    while (s.branchRows > 1 && s.branchRows * s.branchRowHeight > tableRoom) --s.branchRows;
    s.branchRowHeight = std::min(s.branchRowHeight, std::max(B::kMinRowHeight, tableRoom / s.branchRows));
    for (const FontSection& f : kFonts) s.*f.font = BoundedFont(s.*f.font, defaults.*f.font);
    return s;
}

CardSettings ReadCardSettings(const std::string& path) {
    const ProfileFile ini(path);
    CardSettings s;
    auto number = [&ini](const std::string& section, const std::string& key, int def) {
        return Clamp(ini.ReadInteger(section, key, def), -1000000, 1000000);
    };
    auto flag = [&ini](const std::string& section, const std::string& key, bool def) {
        return ini.ReadInteger(section, key, def ? 1 : 0) != 0;
    };
    s.bottom = number("Marginesy"_cp, "Dolny"_cp, s.bottom);
    s.top = number("Marginesy"_cp, "Górny"_cp, s.top);
    s.right = number("Marginesy"_cp, "Prawy"_cp, s.right);
    s.left = number("Marginesy"_cp, "Lewy"_cp, s.left);
    s.callRight = number("Marginesy"_cp, "Prawy Sygnatury"_cp, s.callRight);
    s.width = number("Wymiary Karty"_cp, "Szerokość"_cp, s.width);
    s.height = number("Wymiary Karty"_cp, "Wysokość"_cp, s.height);
    s.copies = number("Liczba Kart Do Druku"_cp, "Liczba"_cp, s.copies);
    s.printTop = number("Marginesy Wydruku"_cp, "Górny"_cp, s.printTop);
    s.printLeft = number("Marginesy Wydruku"_cp, "Lewy"_cp, s.printLeft);
    s.landscape = flag("Sposób Wydruku"_cp, "Poziomo"_cp, s.landscape);
    s.printHeading = flag("Hasło"_cp, "Drukowac"_cp, s.printHeading);
    s.printCalls = flag("Sygnatury"_cp, "Drukowac"_cp, s.printCalls);
    s.printUdc = flag("UKD"_cp, "Drukowac"_cp, s.printUdc);
    s.printInventory = flag("Inwentarz"_cp, "Drukowac"_cp, s.printInventory);
    s.callFrame = flag("Sygnatura"_cp, "Podkreslenie"_cp, s.callFrame);
    s.branchColumns = number("Filie"_cp, "Liczba kolumn"_cp, s.branchColumns);
    s.branchRows = number("Filie"_cp, "Liczba wierszy"_cp, s.branchRows);
    s.branchRowHeight = number("Filie"_cp, "Wysokosc wierszy"_cp, s.branchRowHeight);
    for (const FontSection& f : kFonts) {
        CardFont& font = s.*f.font;
        font.face = ini.ReadString(f.section, "Nazwa Czcionki"_cp, font.face);
        font.points = number(f.section, "Wielkosc Czcionki"_cp, font.points);
        font.charset = number(f.section, "Skrypt"_cp, font.charset);
        font.underline = flag(f.section, "Podkreślenie"_cp, font.underline);
        font.bold = flag(f.section, "Pogrubienie"_cp, font.bold);
        font.italic = flag(f.section, "Pochylenie"_cp, font.italic);
    }
    return BoundedCardSettings(s);
}

std::string WriteCardSettings(const std::string& path, const CardSettings& settings) {
    const CardSettings s = BoundedCardSettings(settings);
    ProfileFile ini(path);
    auto number = [&ini](const std::string& section, const std::string& key, int value) {
        ini.WriteInteger(section, key, value);
    };
    number("Marginesy"_cp, "Dolny"_cp, s.bottom);
    number("Marginesy"_cp, "Górny"_cp, s.top);
    number("Marginesy"_cp, "Prawy"_cp, s.right);
    number("Marginesy"_cp, "Lewy"_cp, s.left);
    number("Marginesy"_cp, "Prawy Sygnatury"_cp, s.callRight);
    number("Wymiary Karty"_cp, "Szerokość"_cp, s.width);
    number("Wymiary Karty"_cp, "Wysokość"_cp, s.height);
    number("Liczba Kart Do Druku"_cp, "Liczba"_cp, s.copies);
    number("Marginesy Wydruku"_cp, "Górny"_cp, s.printTop);
    number("Marginesy Wydruku"_cp, "Lewy"_cp, s.printLeft);
    number("Sposób Wydruku"_cp, "Poziomo"_cp, s.landscape);
    number("Hasło"_cp, "Drukowac"_cp, s.printHeading);
    number("Sygnatury"_cp, "Drukowac"_cp, s.printCalls);
    number("UKD"_cp, "Drukowac"_cp, s.printUdc);
    number("Inwentarz"_cp, "Drukowac"_cp, s.printInventory);
    number("Sygnatura"_cp, "Podkreslenie"_cp, s.callFrame);
    // The settings window has always written the branch table as "FILIE";
    // names are compared without regard to case, so it is one section.
    number("FILIE"_cp, "Liczba kolumn"_cp, s.branchColumns);
    number("FILIE"_cp, "Liczba wierszy"_cp, s.branchRows);
    number("FILIE"_cp, "Wysokosc wierszy"_cp, s.branchRowHeight);
    for (const FontSection& f : kFonts) {
        const CardFont& font = s.*f.font;
        ini.WriteString(f.section, "Nazwa Czcionki"_cp, font.face);
        number(f.section, "Wielkosc Czcionki"_cp, font.points);
        number(f.section, "Skrypt"_cp, font.charset);
        number(f.section, "Podkreślenie"_cp, font.underline);
        number(f.section, "Pogrubienie"_cp, font.bold);
        number(f.section, "Pochylenie"_cp, font.italic);
    }
    std::error_code ignored;
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    if (!parent.empty()) std::filesystem::create_directories(parent, ignored);
    const std::string error = ini.Save();
    if (error.empty()) return {};
    return "Nie można zapisać pliku "_cp + path + " (" + error + ")";
}

std::string CardSettingsPath() { return UserConfigDirectory() + "Velt_kar.ini"; }

}  // namespace velt
