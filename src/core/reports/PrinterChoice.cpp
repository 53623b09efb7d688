#include "reports/PrinterChoice.h"

#include "files/AtomicFile.h"
#include "text/CpLiteral.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace velt {

namespace {

constexpr const char* kHeader = "[DRUKARKA]";
constexpr std::size_t kMaxFileSize = 4096;
constexpr std::size_t kMaxName = 255;

bool ReadInt(const std::string& text, int low, int high, int& out) {
    int v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size() || v < low || v > high) return false;
    out = v;
    return true;
}

bool PlainName(const std::string& name) {
    if (name.empty() || name.size() > kMaxName) return false;
    return std::none_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

// The installed printer a stored name stands for: the same name, or one
// whose part before " on " begins with it.
const std::string* Installed(const std::string& stored, const std::vector<std::string>& installed) {
    for (const std::string& p : installed)
        if (p == stored) return &p;
    for (const std::string& p : installed) {
        const std::string head = p.substr(0, p.find(" on "));
        if (head.compare(0, stored.size(), stored) == 0) return &p;
    }
    return nullptr;
}

}  // namespace

std::string SettingsPrinterMissingText() { return "Nazwa drukarki zapisanej w pliku nie występuje w systemie"_cp; }

std::string SettingsRecordDiffersText() {
    return "Wielkosc zapisanego i aktualnego bufora jest rozna. Prawdopodobnie podmieniono sterownk drukarki.";
}

const std::vector<std::string>& KnownPaperNames() {
    static const std::vector<std::string> names{"A3", "A4", "A5", "A6", "B4", "B5", "Letter", "Legal",
                                                "Executive", "Tabloid", "DL", "C5", "Custom"};
    return names;
}

std::string FormatPrinterSettings(const PrinterSettings& s) {
    std::string out = std::string(kHeader) + "\n";
    out += "nazwa=" + s.printer + "\n";
    out += "papier=" + s.paper + "\n";
    out += "orientacja=" + std::to_string(s.orientation) + "\n";
    out += "kopie=" + std::to_string(s.copies) + "\n";
    out += "dwustronnie=" + std::to_string(s.duplex) + "\n";
    out += "kolor=" + std::string(s.colour ? "1" : "0") + "\n";
    out += "rozdzielczosc=" + std::to_string(s.resolution) + "\n";
    return out;
}

LoadedPrinterSettings ParsePrinterSettings(std::string_view bytes, const std::vector<std::string>& installed) {
    LoadedPrinterSettings result;
    if (bytes.size() > kMaxFileSize) {
        result.failure = SettingsRecordDiffersText();
        return result;
    }
    std::istringstream lines{std::string(bytes)};
    std::string line;
    std::map<std::string, std::string> values;
    bool header = false;
    bool sound = true;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        if (!header) {
            header = line == kHeader;
            if (!header) sound = false;
            continue;
        }
        const auto eq = line.find('=');
        if (eq == std::string::npos || !values.emplace(line.substr(0, eq), line.substr(eq + 1)).second) sound = false;
    }
    PrinterSettings s;
    static const char* const kKeys[] = {"nazwa", "papier", "orientacja", "kopie", "dwustronnie", "kolor",
                                        "rozdzielczosc"};
    sound = sound && header && values.size() == std::size(kKeys);
    for (const char* key : kKeys) sound = sound && values.count(key) == 1;
    if (sound) {
        s.printer = values["nazwa"];
        s.paper = values["papier"];
        int colour = 0;
        const auto& papers = KnownPaperNames();
        sound = PlainName(s.printer) && std::find(papers.begin(), papers.end(), s.paper) != papers.end() &&
                ReadInt(values["orientacja"], 0, 2, s.orientation) && ReadInt(values["kopie"], 1, 999, s.copies) &&
                ReadInt(values["dwustronnie"], 0, 2, s.duplex) && ReadInt(values["kolor"], 0, 1, colour) &&
                ReadInt(values["rozdzielczosc"], 0, 4800, s.resolution) && (s.resolution == 0 || s.resolution >= 72);
        s.colour = colour == 1;
    }
    if (!sound) {
        result.failure = SettingsRecordDiffersText();
        return result;
    }
    const std::string* printer = Installed(s.printer, installed);
    if (!printer) {
        result.failure = SettingsPrinterMissingText();
        return result;
    }
    s.printer = *printer;
    result.settings = s;
    return result;
}

LoadedPrinterSettings LoadPrinterSettings(const std::string& path, const std::vector<std::string>& installed) {
    struct stat st {};
    std::ifstream in(path, std::ios::binary);
    if (!in || ::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) ||
        static_cast<std::uint64_t>(st.st_size) > kMaxFileSize)
        return {std::nullopt, SettingsRecordDiffersText()};
    std::string bytes(kMaxFileSize + 1, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return ParsePrinterSettings(bytes, installed);
}

std::string SavePrinterSettings(const std::string& path, const PrinterSettings& settings) {
    PrinterSettings kept = settings;
    kept.outputFile.clear();
    // The user's configuration directory may not be there yet; when it
    // cannot be made, the write says so.
    if (const auto slash = path.find_last_of('/'); slash != std::string::npos && slash > 0)
        MakeDirectories(path.substr(0, slash));
    return WriteFileAtomically(path, FormatPrinterSettings(kept), kSharedFileMode);
}

std::string PrinterSettingsFile(const std::string& directory, const std::string& printer) {
    std::string name;
    for (const char c : printer) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
                           c == '_';
        name += plain ? c : '_';
        if (name.size() >= 64) break;
    }
    if (name.empty()) name = "_";
    return directory + "drukarka-" + name + ".prs";
}

PrinterChoice::PrinterChoice(PrinterSystem& system, std::function<void(const std::string&)> message)
    : mSystem(system), mMessage(std::move(message)) {}

const PrinterSettings* PrinterChoice::Stored(const std::string& printer) const {
    const auto it = mStore.find(printer);
    return it == mStore.end() ? nullptr : &it->second;
}

bool PrinterChoice::SelectPrinter(const std::string& name, const std::string& settingsFile) {
    const std::string fallback = mSystem.DefaultPrinter();
    mCurrent = mSystem.DefaultSettings(fallback);
    mCurrent.printer = fallback;
    const std::vector<std::string> installed = mSystem.InstalledPrinters();
    if (std::find(installed.begin(), installed.end(), name) == installed.end()) return false;
    mCurrent = mSystem.DefaultSettings(name);
    mCurrent.printer = name;
    if (const PrinterSettings* stored = Stored(name)) {
        mCurrent = *stored;
        return true;
    }
    struct stat st {};
    if (settingsFile.empty() || ::stat(settingsFile.c_str(), &st) != 0) return true;
    const LoadedPrinterSettings loaded = LoadPrinterSettings(settingsFile, installed);
    if (!loaded.settings) {
        if (mMessage) mMessage(loaded.failure);
        return false;
    }
    // Settings kept for another printer than the one asked for are not applied.
    if (loaded.settings->printer != name) return true;
    mCurrent = *loaded.settings;
    mStore[name] = mCurrent;
    return true;
}

std::string NoPrintersText() { return "UWAGA: brak zainstalowanych drukarek"; }

bool PrinterChoice::ChoosePrinter(std::string& name, const std::string& settingsFile, PrintPages* pages) {
    return Choose(name, settingsFile, [&](const std::string&) { return settingsFile; }, pages);
}

bool PrinterChoice::ChoosePrinterIn(std::string& name, const std::string& directory, PrintPages* pages) {
    auto file = [&](const std::string& printer) {
        return directory.empty() ? std::string() : PrinterSettingsFile(directory, printer);
    };
    return Choose(name, name.empty() ? std::string() : file(name), file, pages);
}

bool PrinterChoice::Choose(std::string& name, const std::string& settingsFile,
                           const std::function<std::string(const std::string&)>& saveTo, PrintPages* pages) {
    // Without any printer the dialog still writes PDF files; the user is
    // told once a run why there is nothing else to choose.
    if (!mNoPrintersSaid && mSystem.InstalledPrinters().empty()) {
        mNoPrintersSaid = true;
        if (mMessage) mMessage(NoPrintersText());
    }
    SelectPrinter(name, settingsFile);
    PrinterSettings chosen = mCurrent;
    if (pages) {
        pages->last = std::clamp(pages->last, 1, 1000);
        pages->from = 1;
        pages->to = pages->last;
        if (pages->orientation == 1 || pages->orientation == 2) chosen.orientation = pages->orientation;
    }
    if (!mSystem.PrintDialog(chosen, pages)) return false;
    mCurrent = chosen;
    if (chosen.printer.empty()) return true;  // a PDF file: nothing to keep
    name = chosen.printer;
    mStore[name] = chosen;
    if (const std::string file = saveTo(name); !file.empty()) {
        const std::string error = SavePrinterSettings(file, chosen);
        if (!error.empty() && mMessage) mMessage(error);
    }
    return true;
}

}  // namespace velt
