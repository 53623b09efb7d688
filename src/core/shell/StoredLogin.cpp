#include "shell/StoredLogin.h"

#include "files/AtomicFile.h"
#include "lang/ProfileFile.h"
#include "wire/WireCodec.h"
#include "shell/CatalogueMenu.h"
#include "files/UserDirectories.h"

#include <string>

namespace velt {

namespace {

// "XX" and six key letters.
const char kPasswordKey[] = "XXqmbrzt";

std::string ToHex(const std::string& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char b : bytes) {
        out.push_back(digits[b >> 4]);
        out.push_back(digits[b & 15]);
    }
    return out;
}

std::string FromHex(const std::string& hex) {
    auto value = [](char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        return -1;
    };
    std::string out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        const int hi = value(hex[i]), lo = value(hex[i + 1]);
        if (hi < 0 || lo < 0) return {};
        out.push_back(static_cast<char>(hi * 16 + lo));
    }
    return out;
}

}  // namespace

std::string ScramblePassword(const std::string& password) {
    return ToHex(wire::Scrambled(kPasswordKey, password));
}

std::string UnscramblePassword(const std::string& stored) {
    return wire::Unscrambled(kPasswordKey, FromHex(stored));
}

std::string StoredLoginPath() { return UserConfigDirectory() + "login"; }

std::optional<StoredLogin> ReadStoredLogin(const std::string& path) {
    ProfileFile file(path);
    if (!file.Exists() || !file.ValueExists("login", "port")) return std::nullopt;
    StoredLogin login;
    login.Host = file.ReadString("login", "ip", "");
    login.Port = PortOrDefault(file.ReadString("login", "port", ""));
    login.User = file.ReadString("login", "user", "");
    login.Password = UnscramblePassword(file.ReadString("login", "pwd", ""));
    return login;
}

std::string WriteStoredLogin(const std::string& path, const StoredLogin& login) {
    const auto slash = path.find_last_of('/');
    if (slash != std::string::npos)
        if (const int err = MakeDirectories(path.substr(0, slash)); err != 0) return WriteFailureText(path, err);
    const std::string text = "[login]\nip=" + login.Host + "\nport=" + std::to_string(login.Port) +
                             "\nuser=" + login.User + "\npwd=" + ScramblePassword(login.Password) + "\n";
    // The password, scrambled as it is, is for the user's eyes only.
    return WriteFileAtomically(path, text, kPrivateFileMode);
}

}  // namespace velt
