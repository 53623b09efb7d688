#pragma once
// A reader's account: three lists over index cursors of the server in the
// format of type "konta" (reservations, orders, loans), the commands their
// entries carry ("usuwanie...", "prolongata...", "OPERACJA ..."), the
// reader's programs ("Operacja": the programs whose call begins with "ZAM")
// and the password change. The account window shows the lists and asks
// through AccountView; velt-cli drives the same model.

#include "browse/CollectionSources.h"
#include "catalogue/DescriptorItems.h"
#include "catalogue/velt_order.h"
#include "params/ServerItems.h"
#include "reader/ReaderServices.h"

#include <array>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velt {

enum class AccountTab : int { Reservations = 0, Orders = 1, Loans = 2 };

// What the account asks of its window.
class AccountView {
public:
    virtual ~AccountView() = default;
    // The tab's list goes back to its first entry.
    virtual void ShowFirst(AccountTab tab) = 0;
    // The tab's list shows the entry of key again, drawn anew.
    virtual void ShowAgain(AccountTab tab, const std::string& key) = 0;
    // The password window under prompt, its entry at most maxLength
    // characters; nothing when the user gave up.
    virtual std::optional<std::string> AskPassword(const std::string& prompt, std::size_t maxLength) = 0;
};

// The longest password a reader may choose.
inline constexpr std::size_t kReaderPasswordLength = 10;

class ReaderAccount {
public:
    // The account of an identified reader; context runs the reader's
    // programs (forms, prompts, the working directory).
    ReaderAccount(ReaderServices& services, ItemRunContext context, ReaderIdentity reader, std::string password);
    ~ReaderAccount();
    ReaderAccount(const ReaderAccount&) = delete;
    ReaderAccount& operator=(const ReaderAccount&) = delete;

    void SetView(AccountView* view) { mView = view; }

    // "Czytelnik: " and the reader's name.
    std::string Caption() const;
    const ReaderIdentity& Reader() const { return mReader; }
    // The password commands are sent with (the new one after a change).
    const std::string& Password() const { return mPassword; }
    // The list of a tab; its entries report their commands to Command.
    Vrserwer& Source(AccountTab tab);

    // The programs of "Operacja": calls beginning with "ZAM", no options.
    const std::vector<velt_programm>& Programs() const { return mPrograms; }
    // Runs a program of "Operacja" with the reader's values.
    void RunProgram(std::size_t index);
    // "Zmień hasło": the new password asked twice; true when the server took it.
    bool ChangePassword();

    // A command an entry of a tab carries; true when it was carried out.
    bool Command(AccountTab tab, const std::string& command, const std::string& key);

    // The values a program's call gives: the part after its first "|" with
    // "%KARTA%", "%HASLO%" and "%NAZWISKO%" replaced, each value's "|"
    // written as the pair text writes it.
    std::string CallValues(const velt_programm& program) const;

private:
    bool Operation(const std::string& text);
    // The tab's list from its first entry (key empty) or at key, read anew.
    void Refresh(AccountTab tab, const std::string& key);
    void ShowFirstAll();

    ReaderServices& mServices;
    ItemRunContext mContext;
    ReaderIdentity mReader;
    std::string mPassword;
    AccountView* mView = nullptr;
    std::array<std::unique_ptr<velt_order>, 3> mCursors;
    std::array<std::unique_ptr<chooser::velt_serwer>, 3> mSources;
    std::vector<velt_programm> mPrograms;
};

}  // namespace velt
