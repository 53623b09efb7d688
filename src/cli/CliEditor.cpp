#include "CliEditor.h"

#include "catalogue/velt_files.h"
#include "editing/RecordKinds.h"
#include "text/CpLiteral.h"
#include "lang/IniMacros.h"
#include "lang/TMultiIniFile.h"
#include "text/RecordText.h"
#include "text/dll_converter.h"

#include <cstdio>

namespace velt::cli {

void LoadConverterModules(const TMultiIniFile& ini, const std::string& config, ConverterModules& modules) {
    std::vector<ConverterModuleSection> sections;
    for (const auto& name : ini.ReadSections())
        if (name.rfind("KONWERTER", 0) == 0)
            sections.push_back({name, ExpandMacros(ini.ReadString(name, "dll", "")), ini.ReadString(name, "z", ""),
                                ini.ReadString(name, "do", "")});
    modules.Load(sections, config, [](const std::string& m) { PrintLine(stderr, m); });
}

CliEditor::CliEditor(velt_files& files, Prompts& prompts) : mFiles(files), mRequests(files.Connection(), prompts) {}

bool CliEditor::CanEdit(const std::string& code) {
    for (const auto& [kind, caption] : ServerKindList(mFiles.Connection()))
        if (RecordKinds::SameCode(kind, code)) return true;
    return false;
}

void CliEditor::NewRecord(const std::string& code, const my_record& templateRecord) {
    const RecordAnswer a = mRequests.NewRecord(code);
    if (!a.ok) {
        if (!a.message.empty()) PrintLine(stderr, a.message);
        return;
    }
    my_record r = ParseRecordText(a.text);
    r.kind = code;
    r.CopyFrom(templateRecord);
    mOpened.push_back({"", code, std::move(r)});
}

void CliEditor::ImportRecord(const std::string& source, const std::string& id, const my_record& record) {
    my_record r(id);
    r.CopyFrom(record);
    mOpened.push_back({source, id, std::move(r)});
}

void CliEditor::CheckRecord(my_record& record) { mRequests.Check("", record); }

std::string CliEditor::TemporaryIdentifier() { return "VELT #" + std::to_string(++mTemporary); }

std::optional<my_record> CliEditor::InitialRecord(const std::string& code) {
    const RecordAnswer answer = mRequests.NewRecord(code);
    if (!answer.ok) return std::nullopt;
    my_record r = ParseRecordText(answer.text);
    r.kind = code;
    return r;
}

namespace {

int PrintOpened(const my_record& record) {
    const RecordTextResult text = RecordText(record);
    if (!text.ok()) {
        PrintLine(stderr, text.error);
        return kExitRefused;
    }
    for (std::size_t at = 0; at < text.text.size();) {
        const auto end = text.text.find('\r', at);
        PrintLine(stdout, text.text.substr(at, end - at));
        at = end == std::string::npos ? text.text.size() : end + 1;
    }
    return kExitOk;
}

}  // namespace

int PrintAndSaveOpened(CliEditor& editor, velt_files& files, bool failed, bool save) {
    auto& opened = editor.OpenedRecords();
    int rc = failed ? kExitRefused : kExitOk;
    if (opened.empty() && rc == kExitOk) {
        PrintLine(stderr, "Nie otwarto żadnego rekordu"_cp);
        rc = kExitRefused;
    }
    for (std::size_t i = 0; i < opened.size(); ++i) {
        if (i > 0) std::fputc('\n', stdout);
        if (PrintOpened(opened[i].record) != kExitOk) rc = kExitRefused;
        // What the editor's error list would show (the record still opens).
        for (const my_error& e : opened[i].record.errors()) PrintLine(stderr, e.message + "\t" + e.keys);
    }
    if (!save) return rc;
    for (std::size_t i = 0; i < opened.size(); ++i) {
        CliEditor::Opened& o = opened[i];
        const EditOutcome saved = editor.Requests().Save(o.id, o.record);
        if (!saved.ok) {
            if (!saved.message.empty()) PrintLine(stderr, saved.message);
            for (const my_error& e : o.record.errors()) PrintLine(stderr, e.message + "\t" + e.keys);
            return files.Broken() ? kExitNoConnection : kExitRefused;
        }
        const std::string shown = files.ShownIdentifier(saved.identifier);
        PrintLine(stdout, "zapisano=" + shown);
        // The records after it point at it by its temporary identifier until now.
        if (o.source.rfind("VELT #", 0) == 0)
            for (std::size_t k = i + 1; k < opened.size(); ++k)
                if (opened[k].record.GetValue("DOK_IDO") == o.source) opened[k].record.SetValue("DOK_IDO", shown);
    }
    return rc;
}

}  // namespace velt::cli
