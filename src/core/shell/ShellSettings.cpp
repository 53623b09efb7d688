#include "shell/ShellSettings.h"

#include "lang/IniMacros.h"
#include "lang/ProfileFile.h"
#include "lang/TMultiIniFile.h"
#include "files/UserDirectories.h"
#include "text/CpLiteral.h"

#include <sstream>
#include <sys/stat.h>

namespace velt {

std::string ResolveWorkingDirectory(std::string path, const std::string& programDir, const std::string& dataDir) {
    for (char& c : path)
        if (c == '\\') c = '/';
    if (path.empty()) return dataDir;
    if (path.rfind("./", 0) == 0)
        path = programDir + path.substr(2);
    else if (path.rfind("../", 0) == 0)
        path = programDir + path;
    if (path.back() != '/') path.push_back('/');
    return path;
}

std::string HelpDocument(const std::string& helpFile, const std::string& programDir) {
    auto isFile = [](const std::string& path) {
        struct stat st {};
        return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
    };
    if (!helpFile.empty()) return isFile(helpFile) ? helpFile : std::string();
    for (const std::string& candidate :
         {programDir + "velt_tcp.hlp", ProgramImageDirectory(programDir) + "pomoc/index.html"})
        if (isFile(candidate)) return candidate;
    return {};
}

void ShellSettings::Read(const TMultiIniFile& ini, const std::string& programDir, const std::string& dataDir) {
    const std::string wartosci = "wartości"_cp;
    ReportValues = ini.ReadString("ZESTAWIENIA", wartosci, "");
    ReportFont = ini.ReadString("ZESTAWIENIA", "font", "");
    CriteriaValues = ini.ReadString("KOLEKCJA", wartosci, "");
    SortKey = ini.ReadInteger("KOLEKCJA", "sortowanie", 0);
    WorkingDirectory =
        ResolveWorkingDirectory(ExpandMacros(ini.ReadString("KOLEKCJA", "ścieżka"_cp, "")), programDir, dataDir);
    MediaPath = ExpandMacros(ini.ReadString("MULTIMEDIA", "path", ""));
    LabelFile = ini.ReadString("NAKLEJKI", "plik", "NAKLEJKI.DAT");
    LabelProgram = ExpandMacros(ini.ReadString("NAKLEJKI", "program", ""));
    HelpFile = ExpandMacros(ini.ReadString("POMOC", "plik", ""));
    EditScale = ini.ReadFloat("EDYCJA", "skala", 1.0);
    ListFont = ini.ReadString("LISTA", "czcionka", "");
    ListFontSize = ini.ReadInteger("LISTA", "wielkość"_cp, 0);
    ListLineHeight = ini.ReadInteger("LISTA", "wysokość"_cp, 65);
    NoWrite = ini.ReadString("ZESTAWIENIA", "zapis", "") == "N";
    LoanForm = ExpandMacros(ini.ReadString("REZERWACJA", "kwit", ""));
    LoanPrinter = ini.ReadString("REZERWACJA", "drukarka", "");
    // The loan printer's settings are the user's own: the configuration
    // directory unless the configuration names the file.
    LoanPrinterSettings = ExpandMacros(ini.ReadString("REZERWACJA", "ustawienia", UserConfigDirectory() + "rewersy.prs"));
    LibraryName = ini.ReadString("BIBLIOTEKA", "nazwa", "");
    LabelText1 = ini.ReadString("BIBLIOTEKA", "nalepka1", "");
    LabelText2 = ini.ReadString("BIBLIOTEKA", "nalepka2", "");
    ConfigurationRead = true;
    PrintLoanForms = ini.ReadBool("REZERWACJA", "drukuj", false);
    LastCatalogue = ini.ReadString("HISTORIA", "id", "");
    AskForLastCatalogue = ini.ReadBool("HISTORIA", "pytaj", false);
    const std::int64_t seconds = ini.ReadInteger("TCP", "timeout", 0);
    const std::int64_t millis = ini.ReadInteger("TCP", "timout", 0);
    if (seconds > 0 && seconds <= 2'000'000)
        KeepAliveMs = static_cast<std::int32_t>(seconds * 1000);
    else if (seconds == 0 && millis > 0 && millis <= 2'000'000'000)
        KeepAliveMs = static_cast<std::int32_t>(millis);
}

void ShellSettings::WriteChanged(ProfileFile& file, const ShellSettings& r) const {
    const std::string wartosci = "wartości"_cp;
    auto text = [&](const char* section, const std::string& key, const std::string& now, const std::string& then) {
        if (now != then) file.WriteString(section, key, now);
    };
    auto integer = [&](const char* section, const std::string& key, std::int64_t now, std::int64_t then) {
        if (now != then) file.WriteInteger(section, key, now);
    };
    auto boolean = [&](const char* section, const std::string& key, bool now, bool then) {
        if (now != then) file.WriteBool(section, key, now);
    };
    text("ZESTAWIENIA", wartosci, ReportValues, r.ReportValues);
    text("ZESTAWIENIA", "font", ReportFont, r.ReportFont);
    text("KOLEKCJA", wartosci, CriteriaValues, r.CriteriaValues);
    integer("KOLEKCJA", "sortowanie", SortKey, r.SortKey);
    text("MULTIMEDIA", "path", MediaPath, r.MediaPath);
    if (EditScale != r.EditScale) {
        std::ostringstream s;
        s << EditScale;
        file.WriteString("EDYCJA", "skala", s.str());
    }
    text("LISTA", "czcionka", ListFont, r.ListFont);
    integer("LISTA", "wielkość"_cp, ListFontSize, r.ListFontSize);
    integer("LISTA", "wysokość"_cp, ListLineHeight, r.ListLineHeight);
    text("REZERWACJA", "drukarka", LoanPrinter, r.LoanPrinter);
    boolean("REZERWACJA", "drukuj", PrintLoanForms, r.PrintLoanForms);
    text("HISTORIA", "id", LastCatalogue, r.LastCatalogue);
    boolean("HISTORIA", "pytaj", AskForLastCatalogue, r.AskForLastCatalogue);
}

}  // namespace velt
