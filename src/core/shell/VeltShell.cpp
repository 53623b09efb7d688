#include "shell/VeltShell.h"

#include "lang/IniMacros.h"
#include "lang/TMultiIniFile.h"
#include "net/VrTimer.h"
#include "text/CpLiteral.h"

#include <exception>
#include <sys/stat.h>

namespace velt {

VeltShell::VeltShell(ShellView& view, Prompts& prompts, PasswordAsker& passwords)
    : mView(view), mPrompts(prompts), mFlow(prompts, passwords, nullptr) {}

VeltShell::~VeltShell() { Disconnect(); }

std::string VeltShell::ConfigFileName(const std::vector<std::string>& args, const std::string& programDir,
                                      const std::string& configDir) {
    auto exists = [](const std::string& f) {
        struct stat st {};
        return ::stat(f.c_str(), &st) == 0;
    };
    std::string name = args.empty() ? "VELT_TCP.INI" : args[0];
    if (name.find('/') != std::string::npos) {
        const auto slash = name.find_last_of('/');
        if (name.find('.', slash) == std::string::npos) name += ".INI";
        return name;
    }
    if (name.find('.') == std::string::npos) name += ".INI";
    // The program directory is read-only once installed: the user's own
    // configuration directory comes first.
    if (!configDir.empty() && exists(configDir + name)) return configDir + name;
    return programDir + name;
}

void VeltShell::ReadConfiguration(const std::string& fileName, const std::string& programDir,
                                  const std::string& dataDir) {
    mConfigFile = fileName;
    try {
        TMultiIniFile ini(fileName);
        mConfigComplete = ini.Main().Complete();
        if (!mConfigComplete) throw std::runtime_error("Nie można odczytać pliku "_cp + fileName);
        mMenu = CatalogueMenu::Build(ini);
        mSettings.Read(ini, programDir, dataDir);
        mSettingsAsRead = mSettings;
        VrTimer::SetKeepAliveInterval(mSettings.KeepAliveMs);
        std::vector<ConverterModuleSection> modules;
        for (const auto& section : ini.ReadSections()) {
            if (section.rfind("KONWERTER", 0) != 0) continue;
            modules.push_back({section, ExpandMacros(ini.ReadString(section, "dll", "")), ini.ReadString(section, "z", ""),
                               ini.ReadString(section, "do", "")});
        }
        mConverters.Load(modules, fileName, [this](const std::string& text) { mPrompts.plain_message(text); });
    } catch (const std::exception& e) {
        mPrompts.plain_message(e.what());
    }
}

int VeltShell::LoggedInMode() const {
    return mCurrent && mCurrent->DatabaseKind == kVelt1 ? kModeLoggedInVelt1 : kModeLoggedIn;
}

void VeltShell::SetMode(int mode) {
    mMode = mode;
    mView.SetMode(mode);
}

void VeltShell::Connect(const KatalogItem& entry) {
    mView.SetCatalogueCaption(entry.PlainCaption() + entry.NamePath);
    mPrompts.busy(true);
    mEntry = &entry;
    mCurrent = std::make_unique<velt_files>(entry.Host, mView.SessionMessageCallback(), true, entry.Port);
    if (mCurrent->Ready) {
        mView.ShowServerMenus(true);
    } else {
        mPrompts.busy(false);
        mPrompts.plain_message(mCurrent->ErrorText);
        mPrompts.busy(true);
    }
    if (mSettings.ListLineHeight < 10) mSettings.ListLineHeight = 10;
    mView.CatalogueChanged();
    mView.ShowAccountMenu(mCurrent->Ready && !mCurrent->Session->Parameter("zamawianie").empty() && !entry.AccountOff());
    if (mCurrent->Ready && mCurrent->EditLevel != 0 && !entry.EditingOff())
        SetMode(kModeLoggedOut);
    else
        SetMode(kModeNoEditing);
    mPrompts.busy(false);
}

void VeltShell::Start(const std::optional<StoredLogin>& stored) {
    if (stored) {
        if (const KatalogItem* entry = mMenu.FindServer(stored->Host, stored->Port)) {
            Connect(*entry);
            if (mCurrent->Ready && mFlow.AutoLogin(mCurrent.get(), stored->User, stored->Password)) {
                mCurrent->LoadedProfile = mCurrent->Session->Profile();
                mView.CatalogueChanged();
                SetMode(LoggedInMode());
            }
            return;
        }
    }
    const KatalogItem* chosen = nullptr;
    if (!mSettings.LastCatalogue.empty()) {
        chosen = mMenu.FindSection(mSettings.LastCatalogue);
        if (chosen && mSettings.AskForLastCatalogue &&
            mPrompts.ask_question("Czy połączyć z \""_cp + chosen->PlainCaption() + chosen->NamePath + "\"?") != kYes)
            chosen = nullptr;
    }
    if (!chosen) chosen = mMenu.FirstTopLevel();
    if (chosen)
        Connect(*chosen);
    else
        SetMode(kModeNoEditing);
}

void VeltShell::Disconnect() {
    if (!mCurrent) return;
    if (mFlow.LoggedIn()) mFlow.Logout(*mCurrent->Session);
    mView.ShowServerMenus(false);
    mCurrent.reset();
    mEntry = nullptr;
    mView.CatalogueChanged();
}

void VeltShell::Click(const KatalogItem& entry) {
    // Record editing stops here once records can be opened.
    mSettings.LastCatalogue = entry.SectionName;
    Disconnect();
    Connect(entry);
}

void VeltShell::Login() {
    if (!mCurrent) return;
    const bool ok = mView.ShowLogin(*mCurrent, mEntry ? mEntry->UserText : std::string());
    mPrompts.busy(true);
    if (ok) {
        mCurrent->LoadedProfile = mCurrent->Session->Profile();
        mView.CatalogueChanged();
        SetMode(LoggedInMode());
    } else {
        ReloadLoggedOut();
    }
    mPrompts.busy(false);
}

void VeltShell::Logout() {
    if (!mCurrent) return;
    mFlow.Logout(*mCurrent->Session);
    mPrompts.busy(true);
    ReloadLoggedOut();
    mPrompts.busy(false);
}

void VeltShell::ReloadLoggedOut() {
    // The descriptor of a session without a login (its profile is gone).
    mCurrent->LoadDescriptor();
    mCurrent->LoadedProfile.clear();
    mView.CatalogueChanged();
    SetMode(kModeLoggedOut);
}

void VeltShell::ChangePassword() {
    if (!mCurrent) return;
    if (!mCurrent->Session->VersionAtLeast("2003.04.18")) {
        mPrompts.plain_message("Operacja nie jest dostępna dla tej wersji serwera"_cp);
        return;
    }
    mFlow.ChangePasswordOnce(*mCurrent->Session);
}

std::string VeltShell::Save() {
    // A file that could not be read whole, or that says it must not be
    // written, is left as it is.
    if (mSettings.NoWrite || !mConfigComplete || mConfigFile.empty()) return {};
    ProfileFile file(mConfigFile);
    if (!file.Complete()) {
        mPrompts.plain_message("Błąd zapisu aktualnej konfiguracji programu"_cp);
        return "incomplete";
    }
    mSettings.WriteChanged(file, mSettingsAsRead);
    if (!file.Modified()) return {};
    const std::string error = file.Save();
    if (!error.empty()) {
        mPrompts.plain_message("Błąd zapisu aktualnej konfiguracji programu"_cp);
        return error;
    }
    mSettingsAsRead = mSettings;
    return {};
}

}  // namespace velt
