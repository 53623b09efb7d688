#pragma once
// Logging a user into the current catalogue: the login window's OK, the
// automatic login of the start-up, and the forced password change. The
// windows are behind small interfaces so the flow runs without a toolkit.

#include "common/Prompts.h"
#include "login/EditingService.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace velt {

class velt_files;
class TVeltClient;

// The password window ("Zmień hasło"): shows prompt and answers the entry,
// or nothing when the user gave up.
class PasswordAsker {
public:
    virtual ~PasswordAsker() = default;
    virtual std::optional<std::string> AskPassword(const std::string& prompt) = 0;
};

class LoginFlow {
public:
    // The right every login asks for.
    static std::string RequiredRight();
    // The one-character text of a given-up password entry.
    static std::string GaveUp() { return std::string(1, '\x1b'); }

    LoginFlow(Prompts& prompts, PasswordAsker& passwords, EditingServiceFactory factory);

    // The login window's OK: logs in to files with user and password; true
    // when the window may close (logged in, new password settled).
    bool Accept(velt_files& files, const std::string& user, const std::string& password);
    // The start-up's login with a stored user and password; true when logged
    // in. No password change is offered here.
    bool AutoLogin(velt_files* files, const std::string& user, const std::string& password);
    // Asks for a new password twice; the entry, or GaveUp().
    std::string AskNewPassword();
    // One attempt at changing the password: 0 to stop, 7 to go on.
    int ChangePasswordOnce(TVeltClient& session);
    // Changes the password while the server demands it and the user goes on;
    // true when no new password is demanded any more.
    bool EnsurePassword(TVeltClient& session);
    // Logs out and frees the editing service.
    void Logout(TVeltClient& session);

    // The way the descriptor is reloaded after a login (by default
    // files.LoadDescriptor()): the shell tells the windows that point into it
    // first.
    void SetReload(std::function<void(velt_files&)> reload) { mReload = std::move(reload); }
    // The way the editing service is made at a login (by default one that does nothing).
    void SetFactory(EditingServiceFactory factory) { mFactory = std::move(factory); }

    bool LoggedIn() const { return mEditing != nullptr; }
    EditingService* Editing() const { return mEditing.get(); }

private:
    // Logs in with the required right; a refusal frees the editing service,
    // restores the cursor and shows the reason.
    bool Login(TVeltClient& session, const std::string& user, const std::string& password);
    void Reload(velt_files& files);
    Prompts& mPrompts;
    PasswordAsker& mPasswords;
    EditingServiceFactory mFactory;
    std::function<void(velt_files&)> mReload;
    std::unique_ptr<EditingService> mEditing;
    bool mMistyped = false;  // the last AskNewPassword ended on differing entries
};

}  // namespace velt
