// Requests the client may send that this version of the server does not
// serve yet: reader services (38). Each is read whole and answered in its
// own reply shape with a text saying so, so that the client shows it and the
// connection goes on.

#include "Session.h"
#include "text/CpLiteral.h"

namespace velt::server {

namespace {

void ReaderServices(Session& s, std::uint8_t, char) {
    (void)s.in.Text();
    s.out.Text("&wynik=N&err="_cp + "Usługi czytelnika nie są dostępne w tym katalogu"_cp);
}

}  // namespace

void RegisterPendingRequests() {
    RegisterRequest(38, ReaderServices);
}

}  // namespace velt::server
