// velt-cli ... criteria rows | query --value NAME=VALUETEXT... [--sort KEY] [--run] [--config INI] | label QUERY:
// the criteria panel without its window. `rows` lists the rows the panel
// builds for the catalogue's descriptor (class, criterion, its match kinds,
// its form's fields or the filters); `query` composes the query the panel
// sends when each named row holds the value text given (an index row's
// "C.1|text|C.2|kind|", a chosen criterion's pairs, the form row's fields),
// with --run also searches it; with --config the rows' remembered values
// are read from that file's "KRYTERIA" and written back as the program does;
// `label` prints the readable label the history shows for a query.

#include "CliContext.h"
#include "CommandServices.h"

#include "catalogue/velt_files.h"
#include "criteria/CriteriaPanel.h"
#include "forms/my_formular.h"
#include "lang/ProfileFile.h"
#include "lang/TMultiIniFile.h"
#include "net/SearchRequests.h"
#include "params/HeadlessParameterWindow.h"
#include "params/ParameterForms.h"
#include "search/QueryHistory.h"
#include "search/QueryText.h"
#include "text/CpLiteral.h"
#include "text/utf.h"

#include <algorithm>
#include <filesystem>

namespace velt::cli {

namespace {

const char* ClassName(RowClass c) {
    switch (c) {
        case RowClass::Index: return "IndexItem";
        case RowClass::Criterium: return "CriteriumItem";
        case RowClass::Full: return "FullItem";
        case RowClass::Filter: return "FilterItem";
    }
    return "";
}

std::string Joined(const std::vector<std::string>& parts) {
    std::string out;
    for (const std::string& p : parts) out += (out.empty() ? "" : "|") + p;
    return out;
}

// What a row is filled with: its match kinds, its form's fields, the filters.
std::string Details(const CriteriaRow& row, ParameterForms& forms, const velt_files& files) {
    switch (row.Class()) {
        case RowClass::Index: {
            std::vector<std::string> kinds;
            for (const IndexKindName& k : IndexKinds()) kinds.push_back(k.keyword);
            return Joined(kinds);
        }
        case RowClass::Full: {
            const my_formular* form = static_cast<const FormRow&>(row).Form();
            return form ? Joined(form->FieldIds({})) : std::string();
        }
        case RowClass::Criterium: {
            if (row.Criterion()->Form.empty()) return {};
            const std::unique_ptr<my_formular> form = forms.ReadForm(row.Criterion()->Form);
            return form ? Joined(form->FieldIds({})) : std::string();
        }
        case RowClass::Filter: {
            std::vector<std::string> names;
            for (const velt_filter& f : files.Filters) names.push_back(f.Name);
            return Joined(names);
        }
    }
    return {};
}

int Usage() {
    std::fprintf(stderr, "usage: velt-cli [--host H --port P ...] criteria rows\n"
                         "       velt-cli ... criteria query --value 'NAME=VALUETEXT' [--value ...] [--sort KEY] [--run] [--config INI]\n"
                         "       velt-cli criteria label 'QUERY'\n");
    return kExitUsage;
}

}  // namespace

int CriteriaCommand(CliContext& ctx) {
    if (ctx.args.empty()) return Usage();
    const std::string what = ctx.args[0];
    if (what == "label") {
        if (ctx.args.size() != 2) return Usage();
        PrintLine(stdout, ReadableQueryLabel(UtfVeltwin().Convert(ctx.args[1])));
        return kExitOk;
    }
    if (what != "rows" && what != "query") return Usage();
    std::vector<std::pair<std::string, std::string>> values;
    std::string value, sortKey, config;
    while (ctx.TakeOption("--value", value)) {
        const std::string cp = UtfVeltwin().Convert(value);
        const auto eq = cp.find('=');
        if (eq == std::string::npos || eq == 0) {
            std::fprintf(stderr, "velt-cli: --value takes NAME=VALUETEXT\n");
            return kExitUsage;
        }
        values.emplace_back(cp.substr(0, eq), cp.substr(eq + 1));
    }
    const bool hasSort = ctx.TakeOption("--sort", sortKey);
    const bool run = ctx.TakeSwitch("--run");
    const bool hasConfig = ctx.TakeOption("--config", config);
    if (ctx.args.size() != 1 || (what == "rows" && (!values.empty() || hasSort || run || hasConfig))) return Usage();

    std::unique_ptr<velt_files> files;
    if (const int rc = ctx.OpenCatalogue(files); rc != kExitOk) return rc;
    RememberedValues remembered;
    if (hasConfig) {
        if (!std::filesystem::exists(config)) {
            PrintLine(stderr, "Brak pliku \"" + config + "\"");
            return kExitRefused;
        }
        remembered.Read(TMultiIniFile(config));
    }
    for (const auto& [name, text] : values) remembered.Set(name, text);

    // The form row's scripts command as in the program (no edit session here).
    HeadlessParameterWindow window;
    FormSettings settings;
    ParameterForms forms(window, settings, [] { return std::string("/nonexistent-velt/"); });
    ScriptedAnswers answers;
    std::error_code ec;
    std::string directory = std::filesystem::current_path(ec).string() + "/";
    CommandServices commands(answers, directory);
    commands.Start(files.get(), false);
    forms.SetCommands(commands.Commands().Routine());
    CriteriaPanel::Services services;
    services.prompts = &commands;
    services.forms = &forms;
    services.directory = directory;
    CriteriaPanel panel(remembered, services);
    if (what == "rows") {
        panel.BuildRows(*files);
        if (files->Broken()) return kExitNoConnection;
        for (const auto& row : panel.Rows())
            PrintLine(stdout, std::string(ClassName(row->Class())) + "\t" + row->Caption() + "\t" + Details(*row, forms, *files));
        return kExitOk;
    }
    int sort = 0;
    if (hasSort) {
        const std::string key = UtfVeltwin().Convert(sortKey);
        const auto& keys = files->SortKeys;
        const auto it = std::find(keys.begin(), keys.end(), key);
        if (it == keys.end() && !key.empty()) {
            PrintLine(stderr, "Nieznany klucz sortowania \""_cp + key + "\"");
            return kExitRefused;
        }
        sort = it == keys.end() ? 0 : static_cast<int>(it - keys.begin()) + 1;
    }
    // The panel's rows are built; its sorting is the descriptor's.
    int chosen = sort;
    struct Executed : CriteriaView {
        int sort;
        bool ShowCriteria(CriteriaPanel& p) override {
            p.SetSortChosen(sort);
            return true;
        }
    } view;
    view.sort = sort;
    const std::string query = panel.AskCriteria(*files, chosen, view);
    PrintLine(stdout, query);
    if (hasConfig) {
        ProfileFile file(config);
        remembered.Write(file);
        if (const std::string error = file.Save(); !error.empty()) {
            PrintLine(stderr, "Błąd zapisu pliku "_cp + config + ": " + error);
            return kExitRefused;
        }
    }
    if (!run) return kExitOk;
    const RecordPtr reply = Search(files->Connection(), query);
    if (files->Broken()) return kExitNoConnection;
    const SearchOutcome outcome = InterpretSearchReply(reply.get());
    if (!outcome.error.empty()) {
        PrintLine(stderr, outcome.error);
        return kExitRefused;
    }
    PrintLine(stdout, "kolekcja=" + std::to_string(outcome.collection));
    PrintLine(stdout, "liczba=" + outcome.count);
    return kExitOk;
}

}  // namespace velt::cli
