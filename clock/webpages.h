// The program's web pages, the feedback mail and the help file, opened through the shell seam.
#pragma once
#include <windows.h>

#include <optional>
#include <string>

#include "base/shell_launcher.h"

namespace vt {

inline constexpr wchar_t kMakerWebSite[] = L"http://www.dorminax.com";
inline constexpr wchar_t kWeatherProviderWebSite[] = L"http://www.nimbrelweather.com";
inline constexpr wchar_t kFeedbackAddress[] = L"feedback@dorminax.com";
// The browser's switch "AllowWindowReuse" lives here; 0 makes it open a page in a new window.
inline constexpr wchar_t kBrowserMainKeyPath[] = L"Software\\Microsoft\\Internet Explorer\\Main";

enum WebPage {
    kWebPageMoreSkins = 6,
    kWebPageProduct = 7,
    kWebPageWeatherProvider = 8,
    kWebPageFindCity = 9,
    kWebPageDownload = 11,
};

// The address of a page mode; nothing for a mode the program does not have.
std::optional<std::wstring> WebPageUrl(int mode);

// Opens the page maximised in the user's browser, with the browser's window reuse switched off for that
// one call and the switch put back as it was, type and all. A missing browser key is not created and does
// not stop the page from opening. `browserKeyPath` is under HKEY_CURRENT_USER.
void OpenWebPage(int mode, IShellLauncher& launcher, const std::wstring& browserKeyPath = kBrowserMainKeyPath);
void OpenProductPage(IShellLauncher& launcher);

void SendFeedbackMail(IShellLauncher& launcher, HWND owner);

// "<folder>vantoric.chm::/00vantoric.html": the help file is opened by its full path, so that the viewer
// does not depend on the current folder.
std::wstring HelpTopic(const std::wstring& programFolder);
void ShowHelp(IShellLauncher& launcher, HWND owner, const std::wstring& programFolder);
void ShowHelp(IShellLauncher& launcher, HWND owner);   // the help file beside this executable

}  // namespace vt
