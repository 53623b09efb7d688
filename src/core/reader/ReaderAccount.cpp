#include "reader/ReaderAccount.h"

#include "catalogue/velt_files.h"
#include "net/ProgramRequests.h"
#include "params/PairText.h"
#include "reader/ReaderParameters.h"
#include "text/CpLiteral.h"
#include "text/PipeList.h"

namespace velt {

namespace {

bool Starts(const std::string& s, std::string_view prefix) { return s.rfind(prefix, 0) == 0; }

// The account's indexes: kind and the prefix before the card.
struct AccountIndex {
    std::uint8_t kind;
    const char* prefix;
};
constexpr AccountIndex kIndexes[3] = {{16, " "}, {15, " "}, {17, "W"}};

}  // namespace

ReaderAccount::ReaderAccount(ReaderServices& services, ItemRunContext context, ReaderIdentity reader,
                             std::string password)
    : mServices(services), mContext(context), mReader(std::move(reader)), mPassword(std::move(password)) {
    velt_files& files = mServices.Files();
    const std::int32_t format = files.FormatByType("konta");
    for (int t = 0; t < 3; ++t) {
        auto& cursor = mCursors[static_cast<std::size_t>(t)];
        cursor = std::make_unique<velt_order>(&files.Connection(), kIndexes[t].prefix + mReader.card, 1,
                                              kIndexes[t].kind, std::string());
        cursor->Format = format;
        const auto tab = static_cast<AccountTab>(t);
        mSources[static_cast<std::size_t>(t)] = std::make_unique<chooser::velt_serwer>(
            files, *cursor, [this, tab](int code, const std::string& text, const std::string& key) {
                // Selections and double clicks mean nothing here; commands do.
                if (code == 'L') Command(tab, text, key);
            });
    }
    for (const velt_programm& p : files.Programs)
        if (p.Options.empty() && Starts(p.Call, "ZAM")) mPrograms.push_back(p);
}

ReaderAccount::~ReaderAccount() = default;

std::string ReaderAccount::Caption() const { return "Czytelnik: "_cp + mReader.name; }

Vrserwer& ReaderAccount::Source(AccountTab tab) { return *mSources[static_cast<std::size_t>(tab)]; }

void ReaderAccount::Refresh(AccountTab tab, const std::string& key) {
    // The cursor's entry is what the server held before the command: it is
    // asked again.
    mCursors[static_cast<std::size_t>(tab)]->ReleaseCurrent();
    if (!mView) return;
    if (key.empty())
        mView->ShowFirst(tab);
    else
        mView->ShowAgain(tab, key);
}

void ReaderAccount::ShowFirstAll() {
    for (const AccountTab t : {AccountTab::Reservations, AccountTab::Orders, AccountTab::Loans}) Refresh(t, {});
}

std::string ReaderAccount::CallValues(const velt_programm& program) const {
    const PipeSplit call = SplitAtPipe(program.Call);
    const std::string_view text = call.tail;
    const std::pair<std::string_view, std::string> placeholders[] = {
        {"%KARTA%", EscapePairText(mReader.card)},
        {"%HASLO%", EscapePairText(mPassword)},
        {"%NAZWISKO%", EscapePairText(mReader.name)},
    };
    // One pass: a value is never searched for placeholders itself.
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        bool replaced = false;
        for (const auto& [name, value] : placeholders) {
            if (text.compare(i, name.size(), name) == 0) {
                out += value;
                i += name.size();
                replaced = true;
                break;
            }
        }
        if (!replaced) out.push_back(text[i++]);
    }
    return out;
}

void ReaderAccount::RunProgram(std::size_t index) {
    if (index >= mPrograms.size()) return;
    velt_files& files = mServices.Files();
    const velt_programm program = mPrograms[index];
    std::string values = CallValues(program);
    // Every run is followed by the lists from their starts; an answer is
    // shown and, with a form, the form comes back.
    const auto run = [&] {
        std::string answer;
        mContext.longOps.run_with_progress("Trwa realizacja operacji"_cp, [&] {
            answer = ProgramRun(files.Connection(), program.Id, values, {});
        });
        ShowFirstAll();
        if (files.Broken() || answer.empty()) return false;
        mContext.prompts.plain_message(answer);
        return true;
    };
    if (files.Broken()) return;
    if (program.Form.empty()) {
        run();
        return;
    }
    for (;;) {
        if (!mContext.forms.AskItemParameters(program.Name, mContext.workingDirectory, program.Form, values,
                                              program.Action))
            return;
        if (!run()) return;
    }
}

bool ReaderAccount::ChangePassword() {
    if (!mView || mServices.Files().Broken()) return false;
    const auto first = mView->AskPassword("Nowe hasło:"_cp, kReaderPasswordLength);
    if (!first) return false;
    const auto second = mView->AskPassword("Powtórz nowe hasło:"_cp, kReaderPasswordLength);
    if (!second) return false;
    if (*first != *second) {
        mContext.prompts.show_error("Nowe hasło zostało źle powtórzone"_cp);
        return false;
    }
    if (first->size() > kReaderPasswordLength) {
        mContext.prompts.show_error("Hasło może mieć najwyżej 10 znaków"_cp);
        return false;
    }
    bool changed = false;
    {
        BusyCursor busy(mContext.prompts);
        // The new password is a value like any other: "&" or "%" in it stay in it.
        changed = mServices.ReaderCommand(mReader.card, mPassword, ReaderParameter("op", "H") +
                                                                      ReaderParameter("nowe", *first));
    }
    // Every later command is sent with the password the server now holds.
    if (changed) mPassword = *first;
    return changed;
}

bool ReaderAccount::Operation(const std::string& text) {
    velt_files& files = mServices.Files();
    const auto first = text.find_first_not_of(' ');
    const PipeSplit element = SplitAtPipe(first == std::string::npos ? std::string_view() : std::string_view(text).substr(first));
    const velt_programm* found = OperationProgram(files, std::string(element.head));
    if (!found) {
        mContext.prompts.show_error("Operacja nie jest dostępna"_cp);
        return false;
    }
    const velt_programm program = *found;
    std::string values = element.parted ? std::string(element.tail) + "|" : std::string();
    values += CallValues(program);
    if (!RunOperationProgram(files, program, values, mContext)) return false;
    ShowFirstAll();
    return true;
}

bool ReaderAccount::Command(AccountTab tab, const std::string& command, const std::string& key) {
    if (Starts(command, "usuwanie")) {
        if (mContext.prompts.ask_question("Czy rzeczywiście chcesz usunąć ten wiersz?"_cp) != kYes) return false;
        const bool done = mServices.ReaderCommand(mReader.card, mPassword, command.substr(8));
        Refresh(AccountTab::Reservations, {});
        Refresh(AccountTab::Orders, {});
        return done;
    }
    if (Starts(command, "prolongata")) {
        const bool done = mServices.ReaderCommand(mReader.card, mPassword, command.substr(10));
        // The loan is drawn again with its new date.
        Refresh(AccountTab::Loans, key);
        return done;
    }
    if (Starts(command, "Z") || Starts(command, "zamowienia")) {
        mContext.prompts.show_message("Pozycja jest zamówiona"_cp);
        return false;
    }
    if (Starts(command, "OPERACJA")) return Operation(command.substr(8));
    (void)tab;
    return false;
}

}  // namespace velt
