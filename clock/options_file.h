// Setting.ini section "Options", the program's registry key and the Run value: the dialog's reader
// LoadOptions and writer SaveOptions, the settings folder, and the small registry routines.
#pragma once
#include <windows.h>

#include <optional>
#include <string>

#include "base/datetime.h"
#include "clock/options_model.h"
#include "clock/settings_names.h"

namespace vt {

inline constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr wchar_t kRunValue[] = L"Vantoric";

// Where the options live. The program uses HKCU and the real key paths; tests point them elsewhere.
struct OptionsStore {
    std::wstring settingsDir;                     // with trailing backslash
    std::wstring appDir;                          // the program folder, no trailing backslash
    HKEY root = HKEY_CURRENT_USER;
    std::wstring programKey = L"Software\\Dorminax\\Vantoric";
    std::wstring runKey = kRunKey;

    std::wstring SettingsFile() const { return settingsDir + kSettingsFileName; }
};

// What LoadOptions found beyond the model.
struct LoadedOptionsExtras {
    bool lastSyncReadable = true;   // false: "LastSync" was there but did not convert
    // False: Setting.ini exists but could not be read (locked, refused): the options are the defaults,
    // and the file must not be written over until it was read.
    bool fileRead = true;
};

LoadedOptionsExtras LoadOptions(const OptionsStore& store, MainOptions& options);

// What SaveOptions could not write. Setting.ini and the registry values fail apart: a registry value that
// security software or a policy guards leaves the file saved.
struct OptionsSaveResult {
    bool fileSaved = true;
    DWORD fileError = 0;
    std::wstring refusedValue;   // the first registry value not written, as its key path and name
    DWORD valueError = 0;
    explicit operator bool() const { return fileSaved && refusedValue.empty(); }
    // One line for each failure with the system's error for it; empty when everything was saved.
    std::wstring Report(const OptionsStore& store) const;
};

// Writes the model in the stored order; what could be written is written (a refused Run value does not
// stop the rest).
OptionsSaveResult SaveOptions(const OptionsStore& store, const MainOptions& options);

// The program key's "AppDataDir", with a trailing backslash added when it lacks one; empty when missing.
std::wstring ReadAppDataDir(const OptionsStore& store);
bool WriteAppDataDir(const OptionsStore& store, const std::wstring& dir);

// The settings folder: "AppDataDir" if set, else %APPDATA%\Vantoric\. The folder is created when
// missing in both cases. Returns the folder with a trailing backslash.
std::wstring ResolveSettingsDir(const OptionsStore& store);
bool CreateFolderTree(const std::wstring& dir);

// "LastSync" and "NextSync" in Setting.ini, as date-time text of the user's locale. False when the
// file could not be saved.
bool RecordSuccessfulSync(const OptionsStore& store, TDateTime now);
bool WriteNextSync(const OptionsStore& store, TDateTime when);

// Takes the system's proxy settings from "Internet Settings" (ProxyEnable, ProxyServer).
ProxyOptions ReadSystemProxy(HKEY root, const std::wstring& internetSettingsKey =
                                            L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings");

// The value written under the Run key: the program folder + "\Vantoric.exe", quoted.
std::wstring RunValueFor(const std::wstring& appDir);

// Moves the settings to another folder: writes the options there, copies alarms.ini over and records
// the folder. Choosing the current folder copies nothing. When a step fails (a copy, saving Setting.ini
// there, recording the folder) the old folder stays in use and the error text is returned; a registry
// value the save could not write changes nothing of that and comes back in `saved`.
struct FolderChangeResult {
    bool changed = false;
    std::wstring error;
    OptionsSaveResult saved;
};
FolderChangeResult ChangeSettingsFolder(OptionsStore& store, const MainOptions& options, const std::wstring& newDir);

}  // namespace vt
