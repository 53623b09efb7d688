// The file associations: reading and writing "PLIKI", finding a file's
// program, opening files, and the form that edits them.

#include "params/FileAssociations.h"

#include "forms/my_formular.h"
#include "lang/IniMacros.h"
#include "lang/ProfileFile.h"
#include "lang/TMultiIniFile.h"
#include "text/CpLiteral.h"
#include "text/Trim.h"
#include "text/Wildcard.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace velt {

namespace {

constexpr const char* kSection = "PLIKI";

std::string Unquote(std::string_view v) {
    v = TrimBlanks(v);
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) v = v.substr(1, v.size() - 2);
    return std::string(v);
}

std::string BaseName(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The lookup button of a program row chooses the program file; "Wykonaj"
// refuses rows the configuration file could not keep.
class AssociationEvents : public ParameterEvents {
public:
    explicit AssociationEvents(ParameterWindow& window) : mWindow(window) {}

    std::vector<std::string> FieldEvent(int event, my_record& record, const std::string& field) override {
        if (event != kFormHelp) return {};
        if (field == "WYKONAJ") {
            Check(record);
        } else if (MatchWildcard("P.*", field)) {
            const std::string chosen = mWindow.ChooseFile(record.GetValue(field), "Pliki programów (*)"_cp);
            if (!chosen.empty()) {
                record.SetValue(field, chosen);
                if (mForm) mForm->Refresh(field);
            }
        }
        return {};
    }

private:
    static void Check(my_record& record) {
        for (const my_field& f : record.fields()) {
            if (f.key.rfind("R.", 0) != 0) continue;
            const FileAssociation row{std::string(TrimBlanks(f.value)),
                                      std::string(TrimBlanks(record.GetValue("P." + f.key.substr(2))))};
            if (row.pattern.empty() || row.program.empty()) continue;
            const std::string problem = AssociationProblem(row);
            if (!problem.empty()) record.AddError(problem, f.key);
        }
    }

    ParameterWindow& mWindow;
};

}  // namespace

void FileAssociations::SetList(std::vector<FileAssociation> list) {
    if (list != mList) mChanged = true;
    mList = std::move(list);
}

void FileAssociations::LoadAssociations(const TMultiIniFile& configuration, Prompts& prompts) {
    mList.clear();
    mRead.clear();
    for (const std::string& line : configuration.ReadSectionValues(kSection)) {
        const auto eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string written = Unquote(std::string_view(line).substr(eq + 1));
        FileAssociation a{line.substr(0, eq), ExpandMacros(written)};
        if (FindProgram(a.program).empty()) prompts.plain_message("Brak programu "_cp + a.program);
        mRead.push_back({a, written});
        mList.push_back(std::move(a));
    }
    mChanged = false;
}

void FileAssociations::SaveAssociations(ProfileFile& configuration) {
    std::vector<std::pair<std::string, std::string>> entries;
    for (const FileAssociation& a : mList) {
        std::string value = a.program;
        for (const Read& r : mRead)
            if (r.association == a) {
                value = r.written;
                break;
            }
        entries.emplace_back(a.pattern, value);
    }
    configuration.ReplaceSection(kSection, entries);
    mRead.clear();
    for (std::size_t i = 0; i < mList.size(); ++i) mRead.push_back({mList[i], entries[i].second});
    mChanged = false;
}

const FileAssociation* FileAssociations::Find(const std::string& file) const {
    const std::string name = BaseName(file);
    for (const FileAssociation& a : mList)
        if (MatchWildcard(a.pattern, name)) return &a;
    return nullptr;
}

bool RunsAsProgram(const std::string& file) {
    struct stat st {};
    if (::stat(file.c_str(), &st) == 0 && (st.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH))) return true;
    const std::string name = BaseName(file);
    const auto dot = name.find_last_of('.');
    if (dot == std::string::npos) return false;
    std::string ext = name.substr(dot + 1);
    for (auto& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    static const char* const running[] = {"desktop", "sh",  "bash", "csh", "zsh",  "exe", "com", "bat", "cmd",
                                          "msi",     "jar", "run",  "bin", "appimage", "py", "pl",  "rb",
                                          "ps1",     "vbs", "js",   "jnlp", "deb", "rpm", "flatpakref", "scr"};
    return std::find(std::begin(running), std::end(running), ext) != std::end(running);
}

int FileAssociations::OpenWithAssociation(const std::string& file, ProgramLauncher& launcher,
                                          Prompts& prompts) const {
    return Open(file, launcher, prompts, true);
}

int FileAssociations::OpenOwnDocument(const std::string& file, ProgramLauncher& launcher, Prompts& prompts) const {
    return Open(file, launcher, prompts, false);
}

int FileAssociations::Open(const std::string& file, ProgramLauncher& launcher, Prompts& prompts,
                           bool askForDesktop) const {
    if (const FileAssociation* a = Find(file)) {
        const std::string found = FindProgram(a->program);
        const std::string program = found.empty() ? a->program : found;
        const int result = RunProgram(launcher, prompts, program, {file}, DirectoryOf(program), kShowNormal,
                                      ProgramOrigin::User);
        if (result <= 32 && result != kProgramRefused)
            prompts.show_error("Błąd uruchomienia programu \""_cp + a->program + "\"");
        return result;
    }
    if (RunsAsProgram(file)) {
        prompts.show_error("Plik \""_cp + BaseName(file) + "\" jest programem i nie zostanie otwarty"_cp);
        return kProgramRefused;
    }
    if (FindProgram("xdg-open").empty()) return kProgramNoAssociation;
    if (askForDesktop &&
        prompts.ask_question("Brak programu skojarzonego z plikiem \""_cp + BaseName(file) +
                             "\" (Ustawienia, Programy zewnętrzne). Otworzyć go programem, którego pulpit używa dla plików tego typu?"_cp) != kYes)
        return kProgramNoAssociation;
    const int result = RunProgram(launcher, prompts, "xdg-open", {file}, DirectoryOf(file), kShowNormal,
                                  ProgramOrigin::User);
    if (result <= 32 && result != kProgramRefused) prompts.show_error("Błąd uruchomienia programu \"xdg-open\""_cp);
    return result;
}

std::unique_ptr<my_formular> AssociationsForm() {
    using E = FormExpression;
    auto root = std::make_unique<act_formular>();
    root->children.push_back(std::make_unique<my_label>(E::Constant(2), E::Constant(2), "Typ pliku:"));
    root->children.push_back(std::make_unique<my_label>(E::Constant(104), E::Constant(2), "Skojarzony program:"));
    auto list = std::make_unique<my_list>(E::Constant(0), E::Constant(16), "*", E::Constant(5), E::Constant(484),
                                          E::Constant(120));
    list->children.push_back(
        std::make_unique<my_lineedit>(E::Constant(2), E::Constant(1), "R.*", E::Constant(100), 0, false));
    list->children.push_back(std::make_unique<my_KHW>(E::Constant(104), E::Constant(1), "P.*", E::Constant(380)));
    root->children.push_back(std::move(list));
    return root;
}

std::string AssociationValues(const std::vector<FileAssociation>& list) {
    std::vector<ParameterPair> pairs;
    for (std::size_t i = 0; i < list.size(); ++i) {
        const std::string n = std::to_string(i + 1);
        pairs.emplace_back("R." + n, list[i].pattern);
        pairs.emplace_back("P." + n, list[i].program);
    }
    return JoinPairs(pairs);
}

std::vector<FileAssociation> AssociationsFromAnswer(const std::string& answer) {
    std::map<std::string, std::string> values;
    int largest = 0;
    for (auto& [name, value] : ReadPairs(answer)) {
        if (name.rfind("R.", 0) == 0) {
            // The row number: the name's characters 3 to 7.
            const std::string digits = name.substr(2, 5);
            int n = 0;
            const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
            if (ec == std::errc() && end == digits.data() + digits.size()) largest = std::max(largest, n);
        }
        values.emplace(std::move(name), std::move(value));
    }
    std::vector<FileAssociation> list;
    for (int n = 1; n <= largest; ++n) {
        const auto r = values.find("R." + std::to_string(n));
        const auto p = values.find("P." + std::to_string(n));
        if (r == values.end() || p == values.end()) continue;
        FileAssociation a{std::string(TrimBlanks(r->second)), std::string(TrimBlanks(p->second))};
        if (!a.pattern.empty() && !a.program.empty()) list.push_back(std::move(a));
    }
    return list;
}

std::string AssociationProblem(const FileAssociation& a) {
    if (a.pattern.empty() || a.program.empty()) return {};
    for (const char c : a.pattern + a.program)
        if (static_cast<unsigned char>(c) < 32) return "Wzorzec i program nie mogą zawierać znaków sterujących"_cp;
    if (a.pattern.find('=') != std::string::npos)
        return "Wzorzec pliku \""_cp + a.pattern + "\" nie może zawierać znaku =";
    if (a.pattern.front() == ';' || a.pattern.front() == '[')
        return "Wzorzec pliku \""_cp + a.pattern + "\" nie może zaczynać się od znaku "_cp + a.pattern.front();
    const char q = a.program.front();
    if ((q == '"' || q == '\'') && a.program.size() >= 2 && a.program.back() == q)
        return "Nazwy programu nie trzeba ujmować w cudzysłów"_cp;
    return {};
}

bool FileAssociations::EditAssociations(ParameterForms& forms) {
    const std::unique_ptr<my_formular> form = AssociationsForm();
    AssociationEvents events(forms.Window());
    const std::string answer =
        forms.AskParameters("Modyfikuj skojarzenia plików"_cp, *form, AssociationValues(mList), &events);
    if (answer.empty()) return false;
    SetList(AssociationsFromAnswer(answer));
    return true;
}

}  // namespace velt
