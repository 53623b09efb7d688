#pragma once
// Ordering and reserving from a record link (a command beginning with "&")
// and opening a reader's account from the menu ("&op=A"): the reader is
// identified in the identification window, then the command is carried out
// or the account window opens.

#include "reader/ReaderServices.h"

#include <functional>
#include <string>

namespace velt {

// What the reader typed into the identification window.
struct IdentificationEntry {
    bool byName = true;    // "Nazwisko i imię"; false: "Numer legitymacji"
    std::string login;     // the name or the card number
    std::string password;
};

// The identification window ("Zamawianie i rezerwowanie").
class IdentificationWindow {
public:
    virtual ~IdentificationWindow() = default;
    // Shows the window modally under caption with the password emptied and
    // "Nazwisko i imię" checked; true when accepted, entry holding what was typed.
    virtual bool Identify(const std::string& caption, IdentificationEntry& entry) = 0;
};

// Opens the account window of an identified reader.
using AccountOpener = std::function<void(const ReaderIdentity& reader, const std::string& password)>;

// Carries out a link's command for a reader identified in window; for "A"
// the account opens and the result is false. True when the command was
// carried out. An unknown operation code is a server's fault, shown.
bool OrderWindow(ReaderServices& services, IdentificationWindow& window, const AccountOpener& openAccount,
                 const std::string& command);

}  // namespace velt
