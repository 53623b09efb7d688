#include "Descriptor.h"

#include "CardReport.h"
#include "Forms.h"
#include "Indexes.h"
#include "Links.h"
#include "ParameterForms.h"
#include "ReaderRequests.h"
#include "RecordReports.h"
#include "Seeder.h"
#include "Session.h"
#include "text/CpLiteral.h"

namespace velt::server {

namespace {

// One descriptor group: "{" name "=" value "}".
std::string G(const std::string& name, const std::string& value) { return "{" + name + "=" + value + "}"; }

}  // namespace

const std::vector<SortKey>& SortKeys() {
    static const std::vector<SortKey> keys = {
        {"autor"_cp, "sa", false},
        {"tytuł"_cp, "st", false},
        {"rok wydania"_cp, "year", false},
        {"najnowsze"_cp, "year", true},
    };
    return keys;
}

const std::vector<FilterDef>& Filters() {
    static const std::vector<FilterDef> filters = {
        {"wydane po roku 2000"_cp, 'N'},
        {"tylko z okładką"_cp, 'N'},
        {"bez rekordów wzorcowych"_cp, 'T'},
        {"tylko rekordy zatwierdzone"_cp, 'n'},
    };
    return filters;
}

std::string InitialFilterFlags() {
    std::string flags;
    for (const auto& f : Filters()) flags.push_back(f.initial);
    return flags;
}

std::vector<std::string> AttachmentKinds(char letter) {
    if (letter == kBookLetter) return {"okładka"_cp, "spis treści"_cp, "recenzja"_cp};
    if (letter == kPersonLetter) return {"zdjęcie"_cp};
    return {};
}

std::string CriterionCovers() { return "z okładką"_cp; }
std::string CriterionRecent() { return "nowości"_cp; }

namespace {

std::string DescriptorText(const Session& s) {
    std::string d;
    for (const auto& i : AllIndexes()) {
        if (i.kind != IndexKind::Catalogue) continue;
        std::string x = G("nam", i.name) + G("tab", "21") + G("ind", "5") + G("pre", i.code);
        if (!i.authority.empty()) x += G("khw", i.authority);
        d += G("x", x);
    }
    // Authority files: the id is the kind letter of their records.
    for (const auto& [id, name] : {std::pair<std::string, std::string>{"O", "Osoby"_cp}, {"T", "Tematy"_cp}}) {
        std::string w = G("id", id) + G("nam", name);
        for (const auto& i : AllIndexes())
            if (i.kind == IndexKind::Authority && std::string(1, i.letter) == id)
                w += G("x", G("nam", i.name) + G("tab", "9") + G("ind", "2") + G("pre", i.code));
        d += G("w", w);
    }
    // Search criteria: every catalogue index, then two without a parameter
    // form; with --form-criterion-first the language's form comes first.
    if (s.config.formCriterionFirst)
        d += G("q", G("nam", LanguageCriterion().name) + G("typ", "WYBÓR"_cp) + G("par", LanguageCriterion().form) +
                        G("act", LanguageCriterion().script));
    for (const auto& i : AllIndexes()) {
        if (i.kind != IndexKind::Catalogue) continue;
        std::string q = G("nam", i.name) + G("typ", "INDEX");
        if (i.code == "AU") q += G("khw", "OS");
        if (i.code == "TE") q += G("khw", "TH");
        // No authority file has this prefix: its lookup is the index's value list.
        if (i.code == "WY") q += G("khw", "WY");
        if (i.code == "NR") q += G("opt", "N");
        d += G("q", q);
    }
    d += G("q", G("nam", CriterionCovers()) + G("typ", "WYBÓR"_cp));
    d += G("q", G("nam", CriterionRecent()) + G("typ", "WYBÓR"_cp));
    for (const FormItem& c : ParameterCriteria())
        d += G("q", G("nam", c.name) + G("typ", "WYBÓR"_cp) + G("par", c.form) + G("act", c.script));
    for (const auto& k : SortKeys()) d += G("s", G("nam", k.name));
    d += G("sd", G("nam", "numer tomu"_cp));
    d += G("f", G("nam", "Opis skrócony"_cp) + G("typ", "prezentacja") + G("id", "1"));
    d += G("f", G("nam", "Opis pełny"_cp) + G("typ", "prezentacja") + G("id", "2"));
    d += G("f", G("nam", "Drzewo"_cp) + G("typ", "drzewo") + G("id", "3"));
    d += G("f", G("nam", "Hasło wzorcowe"_cp) + G("typ", "KHW") + G("id", "4"));
    d += G("f", G("nam", "Eksport"_cp) + G("typ", "export") + G("id", "5"));
    d += G("f", G("nam", "Referencja"_cp) + G("typ", "referencja") + G("id", "6"));
    d += G("f", G("nam", "Składniki"_cp) + G("typ", "skladniki") + G("id", "9"));
    d += G("f", G("nam", "schemat powiązań"_cp) + G("typ", "struktura") + G("id", std::to_string(kFormatStructure)));
    d += G("f", G("nam", "Konto czytelnika"_cp) + G("typ", "konta") + G("id", std::to_string(kFormatAccount)));
    d += G("f", G("nam", "Inwentarz"_cp) + G("typ", "inwentarz") + G("id", std::to_string(kFormatCopy)));
    // Reports and programs; the ones with a parameter form run (ParameterForms).
    d += G("r", G("nam", "Lista tytułów"_cp) + G("fat", "Wykazy"_cp) + G("lan", "TABELA") + G("id", "1"));
    d += G("r", G("nam", AcquisitionsReport().name) + G("fat", "Wykazy"_cp) + G("lan", "TEXT") +
                    G("id", std::to_string(kAcquisitionsReport)) + G("par", AcquisitionsReport().form) +
                    G("act", AcquisitionsReport().script));
    d += G("r", G("nam", "Opis bibliograficzny"_cp) + G("fat", "Wykazy"_cp) + G("lan", "FORMAT") +
                    G("id", std::to_string(kDescriptionReport)));
    d += G("r", G("nam", "Etykiety grzbietowe"_cp) + G("fat", "Etykiety"_cp) + G("lan", "ETYKIETA") +
                    G("id", std::to_string(kSpineLabelReport)));
    d += G("r", G("nam", "Eksport do pliku CSV"_cp) + G("fat", "Eksport"_cp) + G("lan", "PLIK") +
                    G("opt", "Plik CSV|*.csv") + G("id", std::to_string(kCsvExportReport)));
    d += G("r", G("nam", OrderedListReport().name) + G("fat", "Wykazy"_cp) + G("lan", "TABELA") +
                    G("id", std::to_string(kOrderedListReport)) + G("par", OrderedListReport().form) +
                    G("act", OrderedListReport().script));
    d += G("r", G("nam", "Karta katalogowa"_cp) + G("lan", "KARTA") + G("ico", "karta.bmp") +
                    G("id", std::to_string(kCatalogueCardReport)));
    d += ProgramGroups(s);
    d += LinksProgramGroup(s);
    d += ReaderProgramGroups();
    for (std::size_t f = 0; f < Filters().size(); ++f)
        d += G("c", G("nam", Filters()[f].name) + G("id", std::to_string(f + 1)));
    for (const char letter : {kBookLetter, kPersonLetter}) {
        std::string b = G("id", std::string(1, letter));
        for (const auto& n : AttachmentKinds(letter)) b += G("nam", n);
        d += G("blob", b);
    }
    return d;
}

}  // namespace

std::string StatusText(const Session& s) {
    std::string t = s.config.kind == DbKind::Velt2 ? "VELT2" : "VELT3";
    t += "&wersja=" + s.config.version;
    t += "&message=";
    if (!s.LoggedIn()) t += "Witamy w katalogu demonstracyjnym"_cp;
    t += "&edycja=1";
    t += "&rekordy=" + std::string(kRecordLetters);
    t += "&formularze=" + FormsParameter();
    t += "&zamawianie=T";
    t += "&blob=T";
    t += "&CFG_HELP_N=O&CFG_HELP_W=T";
    if (s.LoggedIn()) t += "&uzytkownik=" + s.user->name;
    t += "&struktura=" + DescriptorText(s);
    return t;
}

}  // namespace velt::server
