#pragma once
// The settings the shell reads from the configuration at start and writes
// back at exit. Only the values that changed during the run are written, so
// a value read through a macro keeps its macro and a value that came from an
// included file is not copied into the main file.

#include "catalogue/CatalogueContext.h"

#include <cstdint>
#include <string>

namespace velt {

class TMultiIniFile;
class ProfileFile;

// The catalogue's own settings (the working directory, the criteria's
// values, the sorting, the list line height) come from CatalogueSettings.
struct ShellSettings : CatalogueSettings {
    std::string ReportValues;        // ZESTAWIENIA/wartości
    std::string ReportFont;          // ZESTAWIENIA/font
    std::string MediaPath;           // MULTIMEDIA/path, expanded
    std::string LabelFile;           // NAKLEJKI/plik
    std::string LabelProgram;        // NAKLEJKI/program, expanded
    std::string HelpFile;            // POMOC/plik, expanded; empty when the configuration names none
    double EditScale = 1.0;          // EDYCJA/skala
    std::string ListFont;            // LISTA/czcionka
    std::int64_t ListFontSize = 0;   // LISTA/wielkość
    bool NoWrite = false;            // ZESTAWIENIA/zapis = "N"
    std::string LoanForm;            // REZERWACJA/kwit, expanded
    std::string LoanPrinter;         // REZERWACJA/drukarka
    std::string LoanPrinterSettings; // REZERWACJA/ustawienia, expanded
    bool PrintLoanForms = false;     // REZERWACJA/drukuj
    std::string LibraryName;         // BIBLIOTEKA/nazwa: the library identity
    std::string LabelText1;          // BIBLIOTEKA/nalepka1
    std::string LabelText2;          // BIBLIOTEKA/nalepka2
    bool ConfigurationRead = false;  // Read has run
    std::string LastCatalogue;       // HISTORIA/id
    bool AskForLastCatalogue = false;  // HISTORIA/pytaj
    std::int32_t KeepAliveMs = 300000;  // TCP/timeout (s) or TCP/timout (ms)

    // Reads every key in order; programDir and dataDir end with "/".
    void Read(const TMultiIniFile& ini, const std::string& programDir, const std::string& dataDir);
    // Writes the keys kept at exit whose value differs from asRead.
    void WriteChanged(ProfileFile& file, const ShellSettings& asRead) const;
};

// The working directory of a configured path: ".\" and "..\" (or "./",
// "../") are taken from programDir; an empty path is dataDir. Backslashes
// become slashes; the result ends with "/".
std::string ResolveWorkingDirectory(std::string path, const std::string& programDir, const std::string& dataDir);

// What "Podstawy użytkowania" opens: the help file the configuration names
// (helpFile); when it names none, the help file beside the program
// ("velt_tcp.hlp") or else the user's guide that comes with the program
// ("pomoc/index.html" in the directory of its pictures, ProgramImageDirectory).
// Empty when that file does not exist.
std::string HelpDocument(const std::string& helpFile, const std::string& programDir);

}  // namespace velt
