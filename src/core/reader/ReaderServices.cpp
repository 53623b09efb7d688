#include "reader/ReaderServices.h"

#include "catalogue/velt_files.h"
#include "net/IndexRequests.h"
#include "net/ProgramRequests.h"
#include "reader/ReaderParameters.h"
#include "text/CpLiteral.h"
#include "text/Trim.h"

#include <cstdio>
#include <ctime>

namespace velt {

namespace {

// The index of copies by inventory number, in the format of type "inwentarz".
constexpr std::int32_t kCopyIndexKind = 6;
constexpr std::int32_t kCopyByNumber = 3;
constexpr int kCopyDescriptionItem = 14;
constexpr int kCopyShelfmarkItem = 4;

}  // namespace

std::string LoanFormNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[80];
    std::snprintf(text, sizeof text, "%04d%02d%02d%02d:%02d:%02d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    return text;
}

ReaderServices::ReaderServices(velt_files& files, Prompts& prompts, LoanForms* loanForms)
    : mFiles(files), mPrompts(prompts), mLoanForms(loanForms), mClock(LoanFormNow) {}

std::string ReaderServices::Request(const std::string& parameters) {
    if (mFiles.Broken()) return {};
    return velt::ReaderRequest(mFiles.Connection(), parameters);
}

bool ReaderServices::Accepted(const std::string& answer) {
    if (ReaderValue(answer, "wynik") == "Z") return true;
    // A broken connection answers nothing: the session has said why.
    if (mFiles.Broken()) return false;
    const std::string error = ReaderValue(answer, "err");
    mPrompts.show_error(error.empty() ? "Operacja nie została wykonana"_cp : error);
    return false;
}

std::string ReaderServices::IdentifyByName(const std::string& name, const std::string& password) {
    const std::string answer =
        Request(ReaderParameter("op", "A") + ReaderParameter("nazwisko", name) + ReaderParameter("haslo", password));
    return Accepted(answer) ? ReaderValue(answer, "karta") : std::string();
}

std::optional<ReaderIdentity> ReaderServices::IdentifyByCard(const std::string& card, const std::string& password) {
    const std::string answer =
        Request(ReaderParameter("op", "A") + ReaderParameter("bar", card) + ReaderParameter("haslo", password));
    if (!Accepted(answer)) return std::nullopt;
    return ReaderIdentity{ReaderValue(answer, "karta"), ReaderValue(answer, "nazwisko")};
}

bool ReaderServices::ReaderCommand(const std::string& card, const std::string& password, const std::string& command) {
    const std::string answer =
        Request(command + ReaderParameter("karta", card) + ReaderParameter("haslo", password));
    if (!Accepted(answer)) return false;
    const std::string sn = ReaderValue(answer, "sn");
    switch (OperationCode(command)) {
        case 'R':
        case 'r':
            mPrompts.show_message("Zarezerwowano egzemplarz "_cp + sn);
            PrintLoanForm(card, answer);
            break;
        case 'T':
            mPrompts.show_message(ReaderValue(answer, "ok"));
            break;
        case 'W':
        case 'w':
            mPrompts.show_message(sn.empty() ? "Zamówienie zostało przyjęte"_cp : "Zarezerwowano egzemplarz "_cp + sn);
            break;
        default:
            mPrompts.show_message("Operacja została wykonana"_cp);
            break;
    }
    return true;
}

RecordPtr ReaderServices::CopyEntry(const std::string& sn) {
    if (sn.empty() || mFiles.Broken()) return nullptr;
    const std::int32_t format = mFiles.FormatByType("inwentarz");
    RecordPtr entry = IndexFrom(mFiles.Connection(), kCopyIndexKind, format, kCopyByNumber, sn, "");
    // The index answers the first copy whose number begins with sn: another
    // copy's number may be longer.
    if (!entry || TrimSpaces(entry->Item(1)) != sn) return nullptr;
    return entry;
}

void ReaderServices::PrintLoanForm(const std::string& card, const std::string& answer) {
    if (!mLoanForms || !mLoanForms->Enabled()) return;
    const std::string sn = ReaderValue(answer, "sn");
    const RecordPtr copy = CopyEntry(sn);
    if (!copy) return;
    LoanFormData data;
    data.id = ReaderValue(answer, "bar");
    data.card = card;
    data.readerName = ReaderValue(answer, "nazwisko");
    data.dateTime = mClock ? mClock() : LoanFormNow();
    data.description = copy->Item(kCopyDescriptionItem);
    data.shelfmark = copy->Item(kCopyShelfmarkItem);
    data.sn = sn;
    mLoanForms->Print(data);
}

}  // namespace velt
