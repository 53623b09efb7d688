// Requests the client may send that this version of the server does not
// serve yet: reader services (38) and record editing (200). Each is read whole and answered in its own reply shape with a text
// saying so, so that the client shows it and the connection goes on.

#include "Session.h"
#include "text/CpLiteral.h"

namespace velt::server {

namespace {

void ReaderServices(Session& s, std::uint8_t, char) {
    (void)s.in.Text();
    s.out.Text("&wynik=N&err="_cp + "Usługi czytelnika nie są dostępne w tym katalogu"_cp);
}

void Edit(Session& s, std::uint8_t, char letter) {
    switch (letter) {
        case 'U':
        case 'T':
        case 'H':
        case 'L':
        case 'S':
            (void)s.in.Text();
            (void)s.in.Text();
            break;
        case 'I':
            (void)s.in.Text();
            (void)s.in.Text();
            (void)s.in.Text();
            break;
        case 'G':
            (void)s.in.Integer();
            (void)s.in.Text();
            break;
        default:  // F A N O X D
            (void)s.in.Text();
            break;
    }
    s.out.Answers({"Edycja rekordów nie jest dostępna w tej wersji serwera"_cp});
}

}  // namespace

void RegisterPendingRequests() {
    RegisterRequest(38, ReaderServices);
    RegisterRequest(200, Edit, "FANOXUTDHIGLS");
}

}  // namespace velt::server
