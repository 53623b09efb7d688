#pragma once
// Which printer prints, with which settings: the settings record of a
// printer, its file, this run's store of settings per printer name, and the
// two ways a printout gets its printer — `SelectPrinter` (a named printer,
// silently) and `ChoosePrinter` (the print dialog). The platform's printers
// and its print dialog are behind `PrinterSystem`.

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velt {

struct PrinterSettings {
    std::string printer;     // the printer's name; empty: the PDF file below
    std::string outputFile;  // a PDF file instead of a printer (never stored)
    std::string paper = "A4";
    int orientation = 0;     // 0 the printer's own, 1 portrait, 2 landscape
    int copies = 1;          // 1..999
    int duplex = 0;          // 0 one side, 1 long edge, 2 short edge
    bool colour = true;
    int resolution = 0;      // dots per inch, 0 the printer's own (else 72..4800)

    bool operator==(const PrinterSettings&) const = default;
};

// The paper names a settings record may carry.
const std::vector<std::string>& KnownPaperNames();

// The settings file's text ("[DRUKARKA]" and key=value lines).
std::string FormatPrinterSettings(const PrinterSettings& settings);

struct LoadedPrinterSettings {
    std::optional<PrinterSettings> settings;
    std::string failure;  // the message when settings is empty
};
// Reads a settings file back, checking every value: the printer must be one
// of installed (equal, or the installed name's part before " on " beginning
// with the stored one), and a record that is not one this program wrote, or
// whose values are out of range, is refused.
LoadedPrinterSettings LoadPrinterSettings(const std::string& path, const std::vector<std::string>& installed);
// The same over the file's bytes.
LoadedPrinterSettings ParsePrinterSettings(std::string_view bytes, const std::vector<std::string>& installed);
// Writes the file whole (its directory made when missing); empty, or the
// failure's text with the old file unchanged.
std::string SavePrinterSettings(const std::string& path, const PrinterSettings& settings);
// The file keeping the settings of one printer in directory (ending with
// "/"): a name made of the printer's letters and digits, never a path.
std::string PrinterSettingsFile(const std::string& directory, const std::string& printer);

// The two failures of loading a settings file.
std::string SettingsPrinterMissingText();
std::string SettingsRecordDiffersText();
// What the printer dialog is preceded by, once a run, when no printer is installed.
std::string NoPrintersText();

// The pages a report offers to the print dialog and the range chosen there
// (from = to = 0: every page).
struct PrintPages {
    int last = 1;  // pages 1..last may be chosen
    int from = 0;
    int to = 0;
    int orientation = 0;  // the report's own (1 portrait, 2 landscape), given to the dialog
};

class PrinterSystem {
public:
    virtual ~PrinterSystem() = default;
    virtual std::vector<std::string> InstalledPrinters() = 0;
    virtual std::string DefaultPrinter() = 0;  // empty when none
    // The settings a printer starts with.
    virtual PrinterSettings DefaultSettings(const std::string& printer) = 0;
    // The print dialog preset with settings (and pages for a report: from 1
    // to last); false when the user cancelled, otherwise settings and pages
    // are what was chosen (from = to = 0 when no range was chosen).
    virtual bool PrintDialog(PrinterSettings& settings, PrintPages* pages) = 0;
};

class PrinterChoice {
public:
    // message shows the settings files' failures as plain messages.
    PrinterChoice(PrinterSystem& system, std::function<void(const std::string&)> message);

    // Makes the default printer current, then the printer called name
    // (false when there is none); applies this run's settings for it, or
    // those of settingsFile (when it exists; a failure to load it is shown
    // and gives false).
    bool SelectPrinter(const std::string& name, const std::string& settingsFile);
    // SelectPrinter, then the print dialog. Confirmed: the chosen printer's
    // name replaces name (unless a PDF file was chosen), its settings go into
    // this run's store and to settingsFile when one is named, and a report's
    // chosen range is in pages. False when the user cancelled.
    bool ChoosePrinter(std::string& name, const std::string& settingsFile, PrintPages* pages);

    // ChoosePrinter keeping one settings file per printer in directory
    // (ending with "/"): read for name, written for the printer chosen.
    bool ChoosePrinterIn(std::string& name, const std::string& directory, PrintPages* pages);

    const PrinterSettings& Current() const { return mCurrent; }
    // This run's settings of a printer, if any.
    const PrinterSettings* Stored(const std::string& printer) const;

private:
    bool Choose(std::string& name, const std::string& settingsFile,
                const std::function<std::string(const std::string&)>& saveTo, PrintPages* pages);

    PrinterSystem& mSystem;
    std::function<void(const std::string&)> mMessage;
    std::map<std::string, PrinterSettings> mStore;
    bool mNoPrintersSaid = false;  // "UWAGA: brak zainstalowanych drukarek" shown this run
    PrinterSettings mCurrent;
};

}  // namespace velt
