#include "reader/OrderFlow.h"

#include "reader/ReaderParameters.h"
#include "text/CpLiteral.h"

namespace velt {

bool OrderWindow(ReaderServices& services, IdentificationWindow& window, const AccountOpener& openAccount,
                 const std::string& command) {
    const char code = OperationCode(command);
    const std::string caption = OperationCaption(code);
    if (caption.empty()) {
        services.UserPrompts().show_error("Błąd serwera: zły kod operacji"_cp);
        return false;
    }
    IdentificationEntry entry;
    if (!window.Identify(caption, entry)) return false;
    ReaderIdentity reader;
    if (entry.byName) {
        reader.card = services.IdentifyByName(entry.login, entry.password);
        reader.name = entry.login;
    } else if (auto found = services.IdentifyByCard(entry.login, entry.password)) {
        reader = std::move(*found);
    }
    if (reader.card.empty()) return false;
    if (code == 'A') {
        if (openAccount) openAccount(reader, entry.password);
        return false;
    }
    return services.ReaderCommand(reader.card, entry.password, command);
}

}  // namespace velt
