#include "CommandServices.h"

#include "catalogue/velt_files.h"
#include "editing/TEdycja.h"
#include "text/CpLiteral.h"
#include "text/utf.h"

#include <charconv>
#include <filesystem>
#include <unistd.h>

namespace velt::cli {

namespace {

constexpr const char* kAnswerKeys[] = {"question", "pick", "file", "font", "text"};

std::optional<int> Integer(const std::string& text) {
    int v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return v;
}

void Say(const char* what, const std::string& text) {
    std::fprintf(stderr, "%s: ", what);
    PrintLine(stderr, text);
}

}  // namespace

bool ScriptedAnswers::Take(CliContext& ctx, std::string& error) {
    std::string answer;
    while (ctx.TakeOption("--answer", answer)) {
        const auto eq = answer.find('=');
        const std::string key = answer.substr(0, eq);
        bool known = false;
        for (const char* k : kAnswerKeys) known = known || key == k;
        if (eq == std::string::npos || !known) {
            error = "velt-cli: --answer takes question=6|7, pick=N, file=PATH, font=SPEC or text=VALUE, not " + answer;
            return false;
        }
        std::string value = answer.substr(eq + 1);
        if (key == "question" && value != "6" && value != "7") {
            error = "velt-cli: --answer question= takes 6 (Tak) or 7 (Nie)";
            return false;
        }
        if (key == "pick" && (!Integer(value) || *Integer(value) < 0)) {
            error = "velt-cli: --answer pick= takes a number from 0";
            return false;
        }
        // Answers come in UTF-8 and are used in the system's code page.
        if (key != "file") value = UtfVeltwin().Convert(value);
        mQueues[key].push_back(std::move(value));
    }
    return true;
}

std::optional<std::string> ScriptedAnswers::Next(const std::string& key) {
    auto& q = mQueues[key];
    if (q.empty()) return std::nullopt;
    std::string v = std::move(q.front());
    q.pop_front();
    return v;
}

CommandServices::CommandServices(ScriptedAnswers& answers, std::string workingDirectory)
    : mAnswers(answers), mWorkingDirectory(std::move(workingDirectory)), mHeadless(*this, *this, mWorkingDirectory),
      mConnector(*this) {}

CommandServices::~CommandServices() {
    mCommands.reset();
    mSession.reset();
}

bool CommandServices::Start(velt_files* files, bool editSession) {
    EditorServices services;
    services.prompts = this;
    services.files = files;
    services.dialogs = this;
    services.authority = this;
    services.labels = this;
    services.orders = this;
    services.opener = this;
    services.connector = &mConnector;
    services.workingDirectory = mWorkingDirectory;
    if (files && editSession) {
        EditingSetup setup;
        setup.services = services;
        mSession = std::make_unique<TEdycja>(*files, *this, mEditor, EditingNotifications{}, setup);
        mSession->StartEditing(mWorkingDirectory);
        if (files->Broken()) {
            if (!files->ErrorReported()) PrintLine(stderr, files->ErrorText);
            return false;
        }
        return true;
    }
    mCommands = std::make_unique<EditorCommands>(services);
    return true;
}

EditorCommands& CommandServices::Commands() { return mSession ? mSession->Commands() : *mCommands; }

DialogResult CommandServices::ask_question(const std::string& text) {
    Say("question", text);
    const auto answer = mAnswers.Next("question");
    return !answer ? kCancel : *answer == "6" ? kYes : kNo;
}

DialogResult CommandServices::ask_question_default(const std::string& text, DialogResult d) {
    Say("question", text);
    const auto answer = mAnswers.Next("question");
    return !answer ? d : *answer == "6" ? kYes : kNo;
}

DialogResult CommandServices::ask_warning(const std::string& text) { return ask_question(text); }
void CommandServices::show_error(const std::string& text) { Say("error", text); }
void CommandServices::show_message(const std::string& text) { Say("message", text); }
void CommandServices::show_notice(const std::string& text) { Say("message", text); }
void CommandServices::plain_message(const std::string& text) { Say("message", text); }

void CommandServices::run_with_gauge(const std::function<void(const GaugeFunction&)>& work) {
    work([](std::int64_t, std::int64_t) { return true; });
}

std::optional<CommandFont> CommandServices::ChooseFont(const CommandFont& font) {
    Say("font", WriteCommandFont(font));
    const auto answer = mAnswers.Next("font");
    if (!answer || answer->empty()) return std::nullopt;
    return ReadCommandFont(*answer);
}

std::optional<std::string> CommandServices::ChooseFileToOpen(const std::string& name, const std::string&,
                                                             const std::string&) {
    Say("file", name);
    auto answer = mAnswers.Next("file");
    if (!answer || answer->empty()) return std::nullopt;
    // A relative answer is taken from the working directory, as a dialog starting there would.
    if ((*answer)[0] != '/') *answer = mWorkingDirectory + *answer;
    return answer;
}

std::optional<std::string> CommandServices::ChooseFileToSave(const std::string& name, const std::string& filter,
                                                             const std::string& directory) {
    return ChooseFileToOpen(name, filter, directory);
}

int CommandServices::NextPick() {
    const auto answer = mAnswers.Next("pick");
    return answer ? *Integer(*answer) : 0;
}

int CommandServices::ShowListChoice(const std::vector<ListChoiceEntry>& entries) {
    for (std::size_t i = 0; i < entries.size(); ++i) {
        std::string text = entries[i].text;
        for (char& c : text)
            if (c == '\r') c = ' ';
        Say(("choice " + std::to_string(i + 1)).c_str(), text);
    }
    const int pick = NextPick();
    return pick >= 1 && static_cast<std::size_t>(pick) <= entries.size() ? pick - 1 : -1;
}

int CommandServices::ShowTreeChoice(const std::vector<StructureNode>& nodes) {
    // The nodes a user can choose are numbered; the others are shown for the shape.
    std::vector<int> choosable;
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const StructureNode& n = nodes[i];
        const std::string indent(static_cast<std::size_t>(n.level) * 2, ' ');
        if (n.identifier.empty()) {
            Say("node", indent + n.caption);
        } else {
            choosable.push_back(static_cast<int>(i));
            Say(("choice " + std::to_string(choosable.size())).c_str(), indent + n.caption);
        }
    }
    const int pick = NextPick();
    return pick >= 1 && static_cast<std::size_t>(pick) <= choosable.size()
               ? choosable[static_cast<std::size_t>(pick - 1)]
               : -1;
}

std::string CommandServices::Lookup(velt_files& files, const velt_KHW& file, char mode, const std::string& start) {
    mHeadless.pick = NextPick();
    return mHeadless.Lookup(files, file, mode, start);
}

std::string CommandServices::TermSearch(velt_files& files, const std::string& start, const std::string& reference) {
    mHeadless.pick = NextPick();
    return mHeadless.TermSearch(files, start, reference);
}

ChosenRecord CommandServices::SelectRecord(velt_files& files, const std::string& startIdentifier,
                                           const std::string& startText, int indexPosition) {
    mHeadless.pick = NextPick();
    return mHeadless.SelectRecord(files, startIdentifier, startText, indexPosition);
}

ChosenRecord CommandServices::SelectInStructure(velt_files& files, const std::string& startIdentifier,
                                                const std::string& formatType) {
    mHeadless.pick = NextPick();
    return mHeadless.SelectInStructure(files, startIdentifier, formatType);
}

void CommandServices::AddLabel(const std::string& identifier, const std::string& rest) {
    PrintLine(stdout, "label=" + identifier + "|" + rest);
}

std::optional<std::string> CommandServices::ChooseClosedOrder(const std::string& argument) {
    Say("closed-orders", argument);
    return mAnswers.Next("text");
}

void CommandServices::OpenFile(const std::string& path) {
    // Nothing is started from the command line: the caller is told what would open.
    PrintLine(stdout, "open=" + path);
}

void CommandServices::PrintSheets() {
    for (const HeadlessSheet* page : mEditor.pages) PrintLine(stdout, "sheet=" + page->caption);
}

std::string CommandWorkingDirectory(CliContext& ctx) {
    std::string config;
    if (ctx.TakeOption("--config", config)) {
        const std::filesystem::path p = std::filesystem::absolute(config);
        std::string dir = (std::filesystem::is_directory(p) ? p : p.parent_path()).string();
        if (dir.empty() || dir.back() != '/') dir += '/';
        return dir;
    }
    std::error_code ec;
    std::string dir = std::filesystem::current_path(ec).string();
    if (dir.empty() || dir.back() != '/') dir += '/';
    return dir;
}

}  // namespace velt::cli
