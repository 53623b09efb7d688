#include "Connection.h"

#include "Descriptor.h"
#include "RecordLocks.h"
#include "Seeder.h"
#include "TestControl.h"

#include <array>
#include <mutex>

namespace velt::server {

namespace {

struct RequestDef {
    Handler handler = nullptr;
    std::string letters;
};

std::array<RequestDef, 256>& Table() {
    static std::array<RequestDef, 256> table;
    return table;
}

}  // namespace

void RegisterRequest(std::uint8_t code, Handler handler, std::string letters) {
    Table()[code] = RequestDef{handler, std::move(letters)};
}

void RegisterAllRequests() {
    static std::once_flag once;
    std::call_once(once, [] {
        RegisterSessionRequests();
        RegisterIndexRequests();
        RegisterSearchRequests();
        RegisterFileRequests();
        RegisterEditRequests();
        RegisterReaderRequests();
        RegisterProgramRequests();
    });
}

Session::Session(const ServerConfig& c, TestControl& t, Catalogue& d, RequestReader& r, ReplyWriter& w)
    : config(c),
      control(t),
      id(RecordLocks::NewSession()),
      db(d),
      in(r),
      out(w),
      ids(c.kind, kRecordLetters),
      filters(InitialFilterFlags()),
      random(std::random_device{}()) {}

void Session::SetKey(const std::string& key) {
    in.SetKey(key);
    out.SetKey(key);
}

bool Session::HasRight(const std::string& right) const {
    return user && user->rights.find(right) != std::string::npos;
}

std::string ServeConnection(const ServerConfig& config, TestControl& control, Catalogue& db, ByteSource& source,
                            ByteSink& sink) {
    RegisterAllRequests();
    RequestReader in(source);
    ReplyWriter out(sink);
    Session session(config, control, db, in, out);
    // However the connection ends, its reservations end with it.
    struct ReleaseLocks {
        std::uint64_t session;
        ~ReleaseLocks() { SharedLocks().ReleaseAll(session); }
    } releaseLocks{session.id};
    std::uint8_t code = 0;
    try {
        while (in.NextRequest(code)) {
            const RequestDef& def = Table()[code];
            if (!def.handler) throw ProtocolError("unknown request code " + std::to_string(code));
            char letter = 0;
            if (!def.letters.empty()) {
                letter = static_cast<char>(in.Byte());
                if (def.letters.find(letter) == std::string::npos)
                    throw ProtocolError("unknown request " + std::to_string(code) + " with byte " +
                                        std::to_string(static_cast<unsigned char>(letter)));
            }
            out.Begin(control.Begin(TestControl::RequestName(code, letter)));
            def.handler(session, code, letter);
            out.Flush();
        }
    } catch (const ConnectionEnd&) {
    } catch (const ProtocolError& e) {
        return std::string(e.what()) + " (request " + std::to_string(code) + ")";
    } catch (const std::exception& e) {
        return std::string("failed: ") + e.what() + " (request " + std::to_string(code) + ")";
    }
    return {};
}

std::string ServeConnection(const ServerConfig& config, TestControl& control, ByteSource& source, ByteSink& sink) {
    try {
        Catalogue db(config.dbPath);
        return ServeConnection(config, control, db, source, sink);
    } catch (const std::exception& e) {
        return std::string("failed: ") + e.what();
    }
}

}  // namespace velt::server
