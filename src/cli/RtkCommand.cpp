// velt-cli rtk: the import from other catalogues without its window. A
// record of a source catalogue taken into this catalogue as the editor would
// open it (with its parents and this catalogue's codes), an attachment of a
// source record copied to a record here, and the list of source catalogues
// fetched over HTTP into the file the configuration includes.

#include "CliContext.h"
#include "CliEditor.h"

#include "catalogue/velt_files.h"
#include "import/RtkImport.h"
#include "lang/TMultiIniFile.h"
#include "net/HttpGet.h"
#include "text/CpLiteral.h"
#include "text/dll_converter.h"
#include "text/utf.h"

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace velt::cli {

namespace {

void RtkUsage() {
    std::fputs(
        "usage: velt-cli --host H --port P --user U --password W [--config INI] rtk --source HOST:PORT take ID [--save]\n"
        "       velt-cli --host H --port P --user U --password W rtk --source HOST:PORT copy-attachment SRCID NAME\n"
        "                --to ID [--as TARGET] [--replace]\n"
        "       velt-cli rtk update --config INI\n"
        "  take             the source record ID as the editor would open it (key=value lines, its parents\n"
        "                   first); --save saves them here and prints zapisano=ID for each\n"
        "  copy-attachment  the source record's attachment NAME added to the record ID here as TARGET (one\n"
        "                   of the names its kind offers; by default NAME when offered, else the first);\n"
        "                   an attachment already there is replaced only with --replace\n"
        "  update           the list of source catalogues fetched from the configuration's \"tarlinex\" into\n"
        "                   its \"aktualizuj\" file: zapisano=FILE bajtów=N; the old file stays on any failure\n",
        stderr);
}

// The window's parts the commands do not draw.
struct CliView : RtkView {
    void ShowCaption(const std::string&) override {}
    void ShowSource(Vrserwer*) override {}
    void ShowFrom(const std::string&) override {}
    void Redraw() override {}
    std::string SelectedKey() override { return {}; }
    void EnableButtons(bool, bool) override {}
    void ShowMenus(const std::vector<std::string>&, const std::vector<std::string>&, bool) override {}
    void PopUpAttachmentMenu(const std::vector<std::string>&) override {}
};

struct CliHost : RtkHost {
    velt_files* local = nullptr;
    ImportEditor* editor = nullptr;
    ConverterModules modules;
    std::string recordBox;
    std::string workDirectory = std::filesystem::temp_directory_path().string() + "/";
    velt_files* Local() override { return local; }
    ImportEditor* Editor() override { return editor; }
    const ConverterModules* Converters() override { return &modules; }
    std::string AskCriteria(velt_files&, int&) override { return {}; }
    void ChooseForImport(velt_files&, const std::string&, const std::string&,
                         std::function<void(const std::string&)>, std::function<void(const std::string&)>) override {}
    void ShowPicture(const std::string& file) override { PrintLine(stdout, "plik=" + file); }
    void OpenFile(const std::string& file) override { PrintLine(stdout, "plik=" + file); }
    void ReloadConfiguration() override {}
    std::string WorkingDirectory() override { return workDirectory; }
    std::string RecordBoxText() override { return recordBox; }
    void RecordChanged(const std::string& identifier) override { PrintLine(stdout, "zmieniono=" + identifier); }
};

// The questions before copying: adding is what the command was asked for;
// replacing an attachment only with --replace.
struct CopyPrompts : StderrPrompts {
    bool replace = false;
    bool refusedReplacing = false;
    DialogResult ask_question(const std::string& text) override {
        if (text.find("Zastąpić"_cp) == std::string::npos) return kYes;
        if (!replace) {
            refusedReplacing = true;
            PrintLine(stderr, text);
        }
        return replace ? kYes : kNo;
    }
};

bool ReadConfiguration(const std::string& config, RtkImport& model, ConverterModules* modules) {
    TMultiIniFile ini(config);
    if (!ini.Main().Exists() || !ini.Main().Complete()) {
        PrintLine(stderr, "Nie można odczytać pliku "_cp + config);
        return false;
    }
    model.ReadConfiguration(ini);
    if (modules) LoadConverterModules(ini, config, *modules);
    return true;
}

int Update(const std::string& config) {
    CliPrompts prompts;
    CliView view;
    CliHost host;
    RtkImport model(view, host, prompts, prompts);
    if (!ReadConfiguration(config, model, nullptr)) return kExitRefused;
    if (!model.Settings().CanUpdate()) {
        PrintLine(stderr, "Konfiguracja nie podaje adresu listy katalogów (\"tarlinex\") i jej pliku (\"aktualizuj\")"_cp);
        return kExitRefused;
    }
    const std::string error = model.DownloadList();
    if (!error.empty()) {
        PrintLine(stderr, error);
        return kExitRefused;
    }
    struct stat st {};
    const std::string& file = model.Settings().ListFile();
    const long long size = ::stat(file.c_str(), &st) == 0 ? static_cast<long long>(st.st_size) : -1;
    PrintLine(stdout, "zapisano=" + file + " bajtów="_cp + std::to_string(size));
    return kExitOk;
}

}  // namespace

int RtkCommand(CliContext& ctx) {
    std::string source, to, config = ctx.config;
    const bool haveSource = ctx.TakeOption("--source", source);
    const bool haveTo = ctx.TakeOption("--to", to);
    std::string as;
    const bool haveAs = ctx.TakeOption("--as", as);
    ctx.TakeOption("--config", config);
    const bool save = ctx.TakeSwitch("--save");
    const bool replace = ctx.TakeSwitch("--replace");
    const std::string mode = ctx.args.empty() ? std::string() : ctx.args[0];

    if (mode == "update") {
        if (ctx.args.size() != 1 || config.empty() || haveSource || haveTo || save || replace) {
            RtkUsage();
            return kExitUsage;
        }
        return Update(config);
    }
    const std::optional<HttpAddress> address = ReadHttpAddress(source);
    const bool take = mode == "take" && ctx.args.size() == 2 && !haveTo && !replace && !haveAs;
    const bool copy = mode == "copy-attachment" && ctx.args.size() == 3 && haveTo && !save;
    if (!haveSource || !address || !(take || copy) || ctx.user.empty()) {
        if (haveSource && !address) std::fputs("velt-cli: --source takes HOST:PORT\n", stderr);
        RtkUsage();
        return kExitUsage;
    }

    CopyPrompts prompts;
    prompts.replace = replace;
    CliView view;
    CliHost host;
    RtkImport model(view, host, prompts, prompts);
    if (!config.empty() && !ReadConfiguration(config, model, &host.modules)) return kExitRefused;

    std::unique_ptr<velt_files> files;
    if (const int rc = ctx.OpenCatalogue(files); rc != kExitOk) return rc;
    CliEditor editor(*files, prompts);
    host.local = files.get();
    host.editor = &editor;
    model.Open();
    if (!model.ConnectTo({"", address->host + ":" + std::to_string(address->port), address->host, address->port}))
        return kExitNoConnection;
    velt_files& from = *model.Source();
    const std::string id = UtfVeltwin().Convert(ctx.args[1]);

    if (take) {
        if (!model.CanTake(from.StoredIdentifier(id))) {
            PrintLine(stderr, "Rekordu "_cp + id + " nie można pobrać"_cp);
            return kExitRefused;
        }
        model.TakeRecord(from.StoredIdentifier(id));
        return PrintAndSaveOpened(editor, *files, prompts.errors > 0, save);
    }

    host.recordBox = UtfVeltwin().Convert(to);
    const std::string name = UtfVeltwin().Convert(ctx.args[2]);
    const std::vector<std::string> targets = model.AttachmentTargets(name, from.StoredIdentifier(id));
    if (targets.empty()) {
        PrintLine(stderr, "Nie ma rekordu "_cp + host.recordBox);
        return kExitRefused;
    }
    // The target named by --as, else that of the attachment's own name when
    // the record offers it, else the first the record offers.
    const std::string wanted = haveAs ? UtfVeltwin().Convert(as) : name;
    int target = haveAs ? -1 : 0;
    for (std::size_t i = 0; i < targets.size(); ++i)
        if (targets[i] == wanted) target = static_cast<int>(i);
    if (target < 0) {
        std::string offered;
        for (const std::string& t : targets) offered += (offered.empty() ? "" : ", ") + t;
        PrintLine(stderr, "Rekord "_cp + host.recordBox + " nie ma załącznika \""_cp + wanted + "\" (są: "_cp + offered + ")");
        return kExitRefused;
    }
    model.CopyAttachment(target);
    if (prompts.refusedReplacing) return kExitRefused;
    return prompts.errors > 0 ? kExitRefused : kExitOk;
}

}  // namespace velt::cli
