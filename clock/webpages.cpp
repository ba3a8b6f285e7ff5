#include "clock/webpages.h"

#include <cstdint>
#include <vector>

#include "base/handles.h"
#include "base/module_path.h"
#include "base/text.h"

namespace vt {

namespace {
constexpr wchar_t kProductWord[] = L"Vantoric";
constexpr wchar_t kWindowReuseValue[] = L"AllowWindowReuse";

// Turns the browser's window reuse off for one scope and then restores the value exactly as it was:
// deleted when it did not exist, else its old bytes with its old type.
class WindowReuseOff {
public:
    explicit WindowReuseOff(const std::wstring& keyPath) {
        HKEY k = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &k) != ERROR_SUCCESS)
            return;
        key_.reset(k);
        LONG rc = ReadRaw();
        if (rc == ERROR_SUCCESS) {
            existed_ = true;
        } else if (rc != ERROR_FILE_NOT_FOUND) {
            key_.reset();   // a value we cannot read we could not put back either: leave it alone
            return;
        }
        DWORD off = 0;
        changed_ = RegSetValueExW(key_.get(), kWindowReuseValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&off),
                                  sizeof off) == ERROR_SUCCESS;
    }
    ~WindowReuseOff() {
        if (!changed_) return;
        if (existed_)
            RegSetValueExW(key_.get(), kWindowReuseValue, 0, type_, data_.empty() ? nullptr : data_.data(),
                           static_cast<DWORD>(data_.size()));
        else
            RegDeleteValueW(key_.get(), kWindowReuseValue);
    }
    WindowReuseOff(const WindowReuseOff&) = delete;
    WindowReuseOff& operator=(const WindowReuseOff&) = delete;

private:
    LONG ReadRaw() {
        for (;;) {
            DWORD size = 0;
            LONG rc = RegQueryValueExW(key_.get(), kWindowReuseValue, nullptr, &type_, nullptr, &size);
            if (rc != ERROR_SUCCESS) return rc;
            data_.resize(size);
            rc = RegQueryValueExW(key_.get(), kWindowReuseValue, nullptr, &type_, size ? data_.data() : nullptr, &size);
            if (rc != ERROR_MORE_DATA) {
                data_.resize(size);
                return rc;
            }
        }
    }

    UniqueKey key_;
    bool existed_ = false;
    bool changed_ = false;
    DWORD type_ = REG_NONE;
    std::vector<BYTE> data_;
};
}  // namespace

std::optional<std::wstring> WebPageUrl(int mode) {
    switch (mode) {
        case kWebPageMoreSkins: return std::wstring(kMakerWebSite) + L"/weatherskins.html";
        case kWebPageProduct: return std::wstring(kMakerWebSite) + L"/vantoric.php";
        case kWebPageWeatherProvider: return std::wstring(kWeatherProviderWebSite) + L"/";
        case kWebPageFindCity: return std::wstring(kWeatherProviderWebSite) + L"/common/drilldown/world.html?from=search";
        case kWebPageDownload: return std::wstring(kMakerWebSite) + L"/plessimor-download.php";
        default: return std::nullopt;
    }
}

void OpenWebPage(int mode, IShellLauncher& launcher, const std::wstring& browserKeyPath) {
    auto url = WebPageUrl(mode);
    if (!url) return;
    WindowReuseOff reuseOff(browserKeyPath);
    launcher.Execute({nullptr, L"open", *url, L"", SW_SHOWMAXIMIZED});
}

void OpenProductPage(IShellLauncher& launcher) { OpenWebPage(kWebPageProduct, launcher); }

void SendFeedbackMail(IShellLauncher& launcher, HWND owner) {
    launcher.Execute({owner, L"open", std::wstring(L"mailto:") + kFeedbackAddress + L"?subject=" + kProductWord, L"",
                      SW_SHOWNORMAL});
}

std::wstring HelpTopic(const std::wstring& programFolder) {
    const std::wstring word = LowerAscii(kProductWord);
    std::wstring folder = programFolder;
    if (!folder.empty() && folder.back() != L'\\') folder.push_back(L'\\');
    return folder + word + L".chm::/00" + word + L".html";
}

void ShowHelp(IShellLauncher& launcher, HWND owner, const std::wstring& programFolder) {
    launcher.ShowHelpTopic(owner, HelpTopic(programFolder));
}

void ShowHelp(IShellLauncher& launcher, HWND owner) { ShowHelp(launcher, owner, ModuleFolder()); }

}  // namespace vt
