#include "login/LoginFlow.h"

#include "catalogue/velt_files.h"
#include "text/CpLiteral.h"

namespace velt {

std::string LoginFlow::RequiredRight() { return "modyfikowanie"; }

LoginFlow::LoginFlow(Prompts& prompts, PasswordAsker& passwords, EditingServiceFactory factory)
    : mPrompts(prompts), mPasswords(passwords), mFactory(std::move(factory)) {}

bool LoginFlow::Login(TVeltClient& session, const std::string& user, const std::string& password) {
    std::string reason;
    {
        BusyCursor busy(mPrompts);
        reason = session.Login(user, password, RequiredRight());
    }
    if (reason.empty()) return true;
    mEditing.reset();
    // A broken connection was reported by the session when it broke.
    if (!session.Broken()) mPrompts.plain_message(reason);
    return false;
}

bool LoginFlow::Accept(velt_files& files, const std::string& user, const std::string& password) {
    TVeltClient& session = files.Connection();
    if (!mEditing) mEditing = mFactory ? mFactory(files) : std::make_unique<EditingService>();
    if (!Login(session, user, password)) return false;
    if (EnsurePassword(session)) {
        if (session.Profile() != files.LoadedProfile) {
            BusyCursor busy(mPrompts);
            Reload(files);
        }
        return true;
    }
    BusyCursor busy(mPrompts);
    session.Logout();
    mEditing.reset();
    return false;
}

bool LoginFlow::AutoLogin(velt_files* files, const std::string& user, const std::string& password) {
    if (!files || !files->Ready) return false;
    TVeltClient& session = files->Connection();
    mEditing = mFactory ? mFactory(*files) : std::make_unique<EditingService>();
    if (!Login(session, user, password)) return false;
    BusyCursor busy(mPrompts);
    if (!session.PasswordNotice().empty()) {
        session.Logout();
        mEditing.reset();
        return false;
    }
    Reload(*files);
    return true;
}

void LoginFlow::Reload(velt_files& files) {
    if (mReload)
        mReload(files);
    else
        files.LoadDescriptor();
}

std::string LoginFlow::AskNewPassword() {
    mMistyped = false;
    const auto first = mPasswords.AskPassword("Nowe hasło:"_cp);
    if (!first) return GaveUp();
    const auto second = mPasswords.AskPassword("Powtórz nowe hasło:"_cp);
    if (!second) return GaveUp();
    if (*first != *second) {
        mPrompts.show_error("Nowe hasło zostało źle powtórzone"_cp);
        mMistyped = true;
        return GaveUp();
    }
    return *second;
}

int LoginFlow::ChangePasswordOnce(TVeltClient& session) {
    if (session.Broken()) return 0;
    const std::string entry = AskNewPassword();
    // A mistyped repetition is asked again; only giving up stops.
    if (entry == GaveUp()) return mMistyped ? kNo : 0;
    std::string result;
    {
        BusyCursor busy(mPrompts);
        result = session.ChangePassword(entry);
    }
    if (result.empty())
        mPrompts.show_message("Hasło zostało zmienione"_cp);
    else if (!session.Broken())
        mPrompts.show_error(result);
    return session.Broken() ? 0 : kNo;
}

bool LoginFlow::EnsurePassword(TVeltClient& session) {
    while (!session.PasswordNotice().empty() && ChangePasswordOnce(session) != 0) {
    }
    return session.PasswordNotice().empty();
}

void LoginFlow::Logout(TVeltClient& session) {
    session.Logout();
    mEditing.reset();
}

}  // namespace velt
