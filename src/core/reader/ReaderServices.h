#pragma once
// The reader services' requests: a reader identified by name or by card
// number with a password, and a command carried out for an identified
// reader (reserve or order a copy, cancel a reservation or an order, renew a
// loan, change the password). What the server answers is shown through the
// prompts; a failure of the connection has been told once by the session,
// and nothing more is shown for it.

#include "common/Prompts.h"
#include "net/TVeltClient.h"
#include "reports/LoanForm.h"

#include <functional>
#include <optional>
#include <string>

namespace velt {

class velt_files;

// An identified reader.
struct ReaderIdentity {
    std::string card;
    std::string name;
};

// The loan forms of reservations, printed by the program.
class LoanForms {
public:
    virtual ~LoanForms() = default;
    // Whether reservations print their loan form ("REZERWACJA"/"drukuj").
    virtual bool Enabled() = 0;
    virtual void Print(const LoanFormData& data) = 0;
};

// The date-time text of a loan form for this moment: "YYYYMMDDHH:MM:SS".
std::string LoanFormNow();

class ReaderServices {
public:
    // loanForms may be none: no form is printed.
    ReaderServices(velt_files& files, Prompts& prompts, LoanForms* loanForms = nullptr);

    // The date-time text loan forms get (LoanFormNow by default).
    void SetClock(std::function<std::string()> clock) { mClock = std::move(clock); }

    // Identifies the reader of that name: the card number, or empty when the
    // server refused (its reason shown).
    std::string IdentifyByName(const std::string& name, const std::string& password);
    // Identifies the reader of that card: the card and the reader's name, or
    // none when the server refused (its reason shown).
    std::optional<ReaderIdentity> IdentifyByCard(const std::string& card, const std::string& password);
    // Carries out command for the reader; true when the server did it. What
    // it did is shown; a reservation prints its loan form when asked to.
    bool ReaderCommand(const std::string& card, const std::string& password, const std::string& command);

    // The copy entry of the inventory number sn (kind 6, parameter 3, the
    // format of type "inwentarz"): only an entry whose key is exactly sn, so
    // a loan form never describes another copy; none otherwise.
    RecordPtr CopyEntry(const std::string& sn);

    velt_files& Files() const { return mFiles; }
    Prompts& UserPrompts() const { return mPrompts; }

private:
    // The answer of the request; empty after a failure of the connection.
    std::string Request(const std::string& parameters);
    // True when the answer says "Z"; otherwise the server's reason is shown,
    // unless the connection failed (told already).
    bool Accepted(const std::string& answer);
    void PrintLoanForm(const std::string& card, const std::string& answer);

    velt_files& mFiles;
    Prompts& mPrompts;
    LoanForms* mLoanForms;
    std::function<std::string()> mClock;
};

}  // namespace velt
