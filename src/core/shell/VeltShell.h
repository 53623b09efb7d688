#pragma once
// The program's start and finish without the windows: the configuration
// file, the catalogue list, choosing and connecting the catalogue (a stored
// login, the previous one, or the first), logging in and out, and writing the
// settings back at exit. The main window shows what the shell decides
// through ShellView.

#include "catalogue/CatalogueContext.h"
#include "catalogue/velt_files.h"
#include "common/Prompts.h"
#include "login/LoginFlow.h"
#include "params/FileAssociations.h"
#include "shell/CatalogueMenu.h"
#include "shell/ShellSettings.h"
#include "shell/ShellState.h"
#include "shell/StoredLogin.h"
#include "text/dll_converter.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velt {

class ProfileFile;
class TMultiIniFile;

// A window's own sections of the configuration (the criteria panel's
// "KRYTERIA", the Z39.50 window's "Z3950…", the other-catalogue window's
// "RTK…"): read with the rest of the configuration, written back at exit.
class ConfigurationSection {
public:
    virtual ~ConfigurationSection() = default;
    // Reads its keys from the configuration just read. An error it throws
    // ends the reading, as any error of the configuration does.
    virtual void ReadConfiguration(const TMultiIniFile& ini) = 0;
    // Writes back the keys that changed during the run.
    virtual void WriteConfiguration(ProfileFile& file) = 0;
};

class ShellView {
public:
    virtual ~ShellView() = default;
    // Shows the state: called whenever anything in it may have changed.
    virtual void ShowState(const ShellState& state) = 0;
    // Asks the user to log in to files (the login window); true on success.
    virtual bool ShowLogin(velt_files& files, const std::string& proposedUser) = 0;
    // The callback for the session's messages (failures with show_error, the
    // server's notices with show_message).
    virtual MessageCallback SessionMessageCallback() = 0;
};

class VeltShell : public CatalogueContext {
public:
    VeltShell(ShellView& view, Prompts& prompts, PasswordAsker& passwords);
    ~VeltShell() override;

    // The configuration file of the command line: the first argument (in the
    // user's configuration directory or the program directory when it has
    // no directory part, ".INI" added without an extension) or "VELT_TCP.INI".
    static std::string ConfigFileName(const std::vector<std::string>& args, const std::string& programDir,
                                      const std::string& configDir);

    // Reads the configuration file: catalogue list, settings, keep-alive
    // interval. Errors are shown and end the reading.
    void ReadConfiguration(const std::string& fileName, const std::string& programDir, const std::string& dataDir);
    // Chooses the first catalogue and connects it (logging in with a stored login).
    void Start(const std::optional<StoredLogin>& stored);
    // The user picked an entry of the catalogue menu.
    void Click(const KatalogItem& entry);
    // "Zaloguj" and "Wyloguj" and "Zmień hasło".
    void Login();
    void Logout();
    void ChangePassword();
    // Writes the changed settings back; empty when written or nothing to do.
    std::string Save();
    // Disconnects the current catalogue (editing stopped first, nothing asked).
    void Disconnect();
    // Stops record editing and logs out: false when the editing service
    // refused (records still open); true when stopped or nothing to stop.
    bool StopEditing(bool force = false);
    // How the editing service is made at each login.
    void SetEditingFactory(EditingServiceFactory factory) { mFlow.SetFactory(std::move(factory)); }

    // The section is read and written with the configuration from now on,
    // after those added before it; it removes itself before it is destroyed.
    void AddConfigurationSection(ConfigurationSection* section) { mSections.push_back(section); }
    void RemoveConfigurationSection(ConfigurationSection* section) { std::erase(mSections, section); }

    // Listeners hear in the order they were added; a listener removes itself
    // before it is destroyed.
    void AddListener(CatalogueListener* listener) override;
    void RemoveListener(CatalogueListener* listener) override;

    // What the main window shows now.
    ShellState State() const;
    // Shows the state again (after the connection broke between requests).
    void Refresh() { Publish(); }

    const CatalogueMenu& Menu() const { return mMenu; }
    ShellSettings& Settings() override { return mSettings; }
    velt_files* Current() const override { return mCurrent.get(); }
    ShellMode Mode() const { return mMode; }
    LoginFlow& Flow() { return mFlow; }
    const std::string& ConfigFile() const { return mConfigFile; }
    // The converter modules of the "KONWERTER" sections.
    const ConverterModules& Converters() const { return mConverters; }
    // The file associations of "PLIKI", written back at exit when changed.
    FileAssociations& Associations() { return mAssociations; }

private:
    // Connects entry as the current catalogue (no stopping, no history).
    void Connect(const KatalogItem& entry);
    void SetMode(ShellMode mode);
    // Shows State() through the view.
    void Publish();
    // Tells the listeners about a descriptor going and coming; reloads it
    // between the two when load is set.
    void Reload(velt_files& files, bool load);
    // Reloads the descriptor without a login and shows the logged-out state.
    void ReloadLoggedOut();
    ShellMode LoggedInMode() const;
    // Starts record editing after a login, with the working directory.
    void StartEditing();

    ShellView& mView;
    Prompts& mPrompts;
    LoginFlow mFlow;
    CatalogueMenu mMenu;
    ShellSettings mSettings;
    ConverterModules mConverters;
    FileAssociations mAssociations;
    ShellSettings mSettingsAsRead;
    std::string mConfigFile;
    bool mConfigComplete = false;
    std::unique_ptr<velt_files> mCurrent;
    const KatalogItem* mEntry = nullptr;
    ShellMode mMode = ShellMode::NoEditing;
    std::vector<CatalogueListener*> mListeners;
    std::vector<ConfigurationSection*> mSections;
    bool mReloaded = false;  // the login flow reloaded the descriptor
};

}  // namespace velt
