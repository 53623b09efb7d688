#pragma once
// The stored login of the user: the server ("ip", "port"), the user name
// ("user") and the password ("pwd"), kept in the user's settings file
// ($XDG_CONFIG_HOME/velt/login, mode 0600). The password is stored scrambled
// with the session scrambling under a fixed key and written in hexadecimal,
// so that no scrambled byte can break a line.

#include <optional>
#include <string>

namespace velt {

struct StoredLogin {
    std::string Host;
    int Port = 0;
    std::string User;
    std::string Password;  // in the clear
};

// The settings file: $XDG_CONFIG_HOME/velt/login, or ~/.config/velt/login.
std::string StoredLoginPath();

// The stored login of the file; none when there is no file or it lacks the
// port (a port that is no port gives the default one).
std::optional<StoredLogin> ReadStoredLogin(const std::string& path);

// Writes the file whole (mode 0600, its directories made with 0700); empty
// on success, else the failure's text with the old file unchanged. For
// installers and tools: the program only reads it.
std::string WriteStoredLogin(const std::string& path, const StoredLogin& login);

// The password as stored and back.
std::string ScramblePassword(const std::string& password);
std::string UnscramblePassword(const std::string& stored);

}  // namespace velt
