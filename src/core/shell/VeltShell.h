#pragma once
// The program's start and finish without the windows: the configuration
// file, the catalogue list, choosing and connecting the catalogue (a stored
// login, the previous one, or the first), logging in and out, and writing the
// settings back at exit. The main window shows what the shell decides
// through ShellView.

#include "catalogue/velt_files.h"
#include "common/Prompts.h"
#include "login/LoginFlow.h"
#include "shell/CatalogueMenu.h"
#include "shell/ShellSettings.h"
#include "shell/StoredLogin.h"
#include "text/dll_converter.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velt {

class TMultiIniFile;

// Modes of the main window: 0 no editing in this catalogue, 1 editing
// possible but nobody logged in, 2 logged in (VELT2/VELT3), 3 logged in (VELT1).
enum ShellMode : int { kModeNoEditing = 0, kModeLoggedOut = 1, kModeLoggedIn = 2, kModeLoggedInVelt1 = 3 };

class ShellView {
public:
    virtual ~ShellView() = default;
    // The main window's caption for the connected entry.
    virtual void SetCatalogueCaption(const std::string& caption) = 0;
    // Shows or hides the menus that need a server ("&Format", "Za&pytanie", "&Zestawienie").
    virtual void ShowServerMenus(bool shown) = 0;
    // Shows or hides the reader-account menu.
    virtual void ShowAccountMenu(bool shown) = 0;
    virtual void SetMode(int mode) = 0;
    // The catalogue's descriptor changed (connected, reloaded): rebuild what depends on it.
    virtual void CatalogueChanged() = 0;
    // Asks the user to log in to files (the login window); true on success.
    virtual bool ShowLogin(velt_files& files, const std::string& proposedUser) = 0;
    // The callback for the session's messages (shown with show_error).
    virtual MessageCallback SessionMessageCallback() = 0;
};

class VeltShell {
public:
    VeltShell(ShellView& view, Prompts& prompts, PasswordAsker& passwords);
    ~VeltShell();

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
    // Disconnects the current catalogue.
    void Disconnect();

    const CatalogueMenu& Menu() const { return mMenu; }
    ShellSettings& Settings() { return mSettings; }
    velt_files* Current() const { return mCurrent.get(); }
    int Mode() const { return mMode; }
    LoginFlow& Flow() { return mFlow; }
    const std::string& ConfigFile() const { return mConfigFile; }
    // The converter modules of the "KONWERTER" sections.
    const ConverterModules& Converters() const { return mConverters; }

private:
    // Connects entry as the current catalogue (no stopping, no history).
    void Connect(const KatalogItem& entry);
    void SetMode(int mode);
    // Reloads the descriptor without a login and shows the logged-out state.
    void ReloadLoggedOut();
    int LoggedInMode() const;

    ShellView& mView;
    Prompts& mPrompts;
    LoginFlow mFlow;
    CatalogueMenu mMenu;
    ShellSettings mSettings;
    ConverterModules mConverters;
    ShellSettings mSettingsAsRead;
    std::string mConfigFile;
    bool mConfigComplete = false;
    std::unique_ptr<velt_files> mCurrent;
    const KatalogItem* mEntry = nullptr;
    int mMode = kModeNoEditing;
};

}  // namespace velt
