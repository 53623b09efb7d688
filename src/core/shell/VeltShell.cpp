#include "shell/VeltShell.h"

#include "lang/IniMacros.h"
#include "lang/TMultiIniFile.h"
#include "net/VrTimer.h"
#include "text/CpLiteral.h"

#include <algorithm>
#include <exception>
#include <sys/stat.h>

namespace velt {

VeltShell::VeltShell(ShellView& view, Prompts& prompts, PasswordAsker& passwords)
    : mView(view), mPrompts(prompts), mFlow(prompts, passwords, nullptr) {
    mFlow.SetReload([this](velt_files& files) {
        Reload(files, true);
        mReloaded = true;
    });
}

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
        // The windows' own sections, before the converter modules.
        for (ConfigurationSection* section : mSections) section->ReadConfiguration(ini);
        std::vector<ConverterModuleSection> modules;
        for (const auto& section : ini.ReadSections()) {
            if (section.rfind("KONWERTER", 0) != 0) continue;
            modules.push_back({section, ExpandMacros(ini.ReadString(section, "dll", "")), ini.ReadString(section, "z", ""),
                               ini.ReadString(section, "do", "")});
        }
        mConverters.Load(modules, fileName, [this](const std::string& text) { mPrompts.plain_message(text); });
        mAssociations.LoadAssociations(ini, mPrompts);
    } catch (const std::exception& e) {
        mPrompts.plain_message(e.what());
    }
}

ShellMode VeltShell::LoggedInMode() const {
    return mCurrent && mCurrent->DatabaseKind == kVelt1 ? ShellMode::LoggedInVelt1 : ShellMode::LoggedIn;
}

void VeltShell::AddListener(CatalogueListener* listener) {
    if (std::find(mListeners.begin(), mListeners.end(), listener) == mListeners.end()) mListeners.push_back(listener);
}

void VeltShell::RemoveListener(CatalogueListener* listener) {
    mListeners.erase(std::remove(mListeners.begin(), mListeners.end(), listener), mListeners.end());
}

ShellState VeltShell::State() const {
    ShellState state;
    state.Mode = mMode;
    state.Caption = mEntry ? mEntry->PlainCaption() + mEntry->NamePath : "Wyszukiwanie i katalogowanie"_cp;
    const velt_files* files = mCurrent.get();
    if (!files) {
        state.ConnectionText = "Brak połączenia"_cp;
        return state;
    }
    state.Connected = files->Ready;
    if (!files->Ready) {
        state.ConnectionText = files->ErrorText;
    } else {
        const std::string where = files->Host + "/" + std::to_string(files->Port);
        if (files->Broken()) {
            // Until the user connects again, the line says the connection is gone.
            state.ConnectionText = "Połączenie z serwerem "_cp + where + " zostało przerwane — "_cp +
                                   files->ConnectionError() + " (wybierz katalog, aby połączyć ponownie)"_cp;
        } else {
            state.ConnectionText = where;
            if (files->LoggedIn()) state.ConnectionText += " — "_cp + files->UserName();
        }
    }
    const bool loggedIn = mMode == ShellMode::LoggedIn || mMode == ShellMode::LoggedInVelt1;
    state.ServerMenus = files->Ready;
    state.AccountMenu = files->Ready && !files->Parameter("zamawianie").empty() && mEntry &&
                        !mEntry->AccountOff();
    state.EditToolbar = mMode != ShellMode::NoEditing;
    state.LoginMenu = mMode != ShellMode::NoEditing;
    state.LogoutEnabled = loggedIn;
    state.RecordMenu = loggedIn;
    state.LinksButton = mMode == ShellMode::LoggedInVelt1;
    state.BlobButton = loggedIn && files->Parameter("blob") == "T";
    state.OperationMenu = mMode == ShellMode::LoggedIn ||
                          (mMode == ShellMode::LoggedInVelt1 && files->VersionAtLeast("2003.10.24"));
    return state;
}

void VeltShell::Publish() { mView.ShowState(State()); }

void VeltShell::SetMode(ShellMode mode) {
    mMode = mode;
    Publish();
}

void VeltShell::Reload(velt_files& files, bool load) {
    // Everything that points into the descriptor lets go before it is freed.
    for (CatalogueListener* l : std::vector<CatalogueListener*>(mListeners)) l->CatalogueClosing(files, false);
    if (load) files.LoadDescriptor();
    for (CatalogueListener* l : std::vector<CatalogueListener*>(mListeners)) l->CatalogueOpened(files);
}

void VeltShell::Connect(const KatalogItem& entry) {
    BusyCursor busy(mPrompts);
    mEntry = &entry;
    mMode = ShellMode::NoEditing;
    mCurrent = std::make_unique<velt_files>(entry.Host, mView.SessionMessageCallback(), true, entry.Port);
    if (!mCurrent->Ready && !mCurrent->ErrorReported()) {
        BusyPause pause(mPrompts);
        mPrompts.plain_message(mCurrent->ErrorText);
    }
    if (mSettings.ListLineHeight < 10) mSettings.ListLineHeight = 10;
    for (CatalogueListener* l : std::vector<CatalogueListener*>(mListeners)) l->CatalogueOpened(*mCurrent);
    if (mCurrent->Ready && mCurrent->EditLevel != 0 && !entry.EditingOff())
        SetMode(ShellMode::LoggedOut);
    else
        SetMode(ShellMode::NoEditing);
}

void VeltShell::Start(const std::optional<StoredLogin>& stored) {
    if (stored) {
        if (const KatalogItem* entry = mMenu.FindServer(stored->Host, stored->Port)) {
            Connect(*entry);
            mReloaded = false;
            if (mCurrent->Ready && mFlow.AutoLogin(mCurrent.get(), stored->User, stored->Password)) {
                mCurrent->LoadedProfile = mCurrent->Profile();
                if (!mReloaded) Reload(*mCurrent, false);
                SetMode(LoggedInMode());
                StartEditing();
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
        SetMode(ShellMode::NoEditing);
}

void VeltShell::StartEditing() {
    if (EditingService* editing = mFlow.Editing()) editing->StartEditing(mSettings.WorkingDirectory);
}

bool VeltShell::StopEditing(bool force) {
    if (!mCurrent || !mFlow.LoggedIn()) return true;
    if (!mFlow.Editing()->StopEditing(force)) return false;
    mFlow.Logout(mCurrent->Connection());
    return true;
}

void VeltShell::Disconnect() {
    if (!mCurrent) return;
    // Editing goes first: its records point into the catalogue.
    StopEditing(true);
    // The listeners first, while the session still works (the query history
    // releases its collections on the server).
    for (CatalogueListener* l : std::vector<CatalogueListener*>(mListeners)) l->CatalogueClosing(*mCurrent, true);
    if (mFlow.LoggedIn()) mFlow.Logout(mCurrent->Connection());
    mCurrent.reset();
    mEntry = nullptr;
    SetMode(ShellMode::NoEditing);
}

void VeltShell::Click(const KatalogItem& entry) {
    // A refusal (records still open) keeps the catalogue.
    if (!StopEditing()) return;
    mSettings.LastCatalogue = entry.SectionName;
    Disconnect();
    Connect(entry);
}

void VeltShell::Login() {
    if (!mCurrent || !mCurrent->Ready) return;
    // Editing of the login before stops first; a refusal ends the command.
    if (!StopEditing()) return;
    mReloaded = false;
    const bool ok = mView.ShowLogin(*mCurrent, mEntry ? mEntry->UserText : std::string());
    {
        BusyCursor busy(mPrompts);
        if (ok) {
            mCurrent->LoadedProfile = mCurrent->Profile();
            if (!mReloaded) Reload(*mCurrent, false);
            SetMode(LoggedInMode());
        } else {
            ReloadLoggedOut();
        }
    }
    if (ok) StartEditing();
}

void VeltShell::Logout() {
    if (!mCurrent) return;
    if (mFlow.LoggedIn() && !mFlow.Editing()->StopEditing(false)) return;
    mFlow.Logout(mCurrent->Connection());
    BusyCursor busy(mPrompts);
    ReloadLoggedOut();
}

void VeltShell::ReloadLoggedOut() {
    // The descriptor of a session without a login (its profile is gone).
    Reload(*mCurrent, true);
    mCurrent->LoadedProfile.clear();
    SetMode(mCurrent->Ready && mCurrent->EditLevel != 0 && !(mEntry && mEntry->EditingOff()) ? ShellMode::LoggedOut
                                                                                             : ShellMode::NoEditing);
}

void VeltShell::ChangePassword() {
    if (!mCurrent) return;
    if (!mCurrent->VersionAtLeast("2003.04.18")) {
        mPrompts.plain_message("Operacja nie jest dostępna dla tej wersji serwera"_cp);
        return;
    }
    mFlow.ChangePasswordOnce(mCurrent->Connection());
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
    if (mAssociations.Changed()) mAssociations.SaveAssociations(file);
    for (ConfigurationSection* section : mSections) section->WriteConfiguration(file);
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
