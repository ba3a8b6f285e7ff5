#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "base/handles.h"
#include "clock/webpages.h"
#include "support/test_support.h"

using namespace vt;

namespace {
const wchar_t kValue[] = L"AllowWindowReuse";

struct RawValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
    bool operator==(const RawValue&) const = default;
};

// A stand-in for the browser's key under the test prefix's HKCU, removed again by the destructor.
class BrowserKey {
public:
    BrowserKey() : path_(L"Software\\Dorminax\\VantoricTests\\Browser" + std::to_wstring(GetCurrentProcessId())) {
        RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
    }
    ~BrowserKey() {
        RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
        RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Dorminax\\VantoricTests");   // only when left empty
    }
    const std::wstring& path() const { return path_; }
    void Create() {
        HKEY k = nullptr;
        RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr);
        UniqueKey owner(k);
    }
    bool Exists() const {
        HKEY k = nullptr;
        bool ok = RegOpenKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, KEY_READ, &k) == ERROR_SUCCESS;
        UniqueKey owner(k);
        return ok;
    }
    void Set(DWORD type, const void* data, DWORD size) {
        Create();
        RegSetKeyValueW(HKEY_CURRENT_USER, path_.c_str(), kValue, type, data, size);
    }
    std::optional<RawValue> Get() const {
        RawValue v;
        DWORD size = 0;
        if (RegGetValueW(HKEY_CURRENT_USER, path_.c_str(), kValue, RRF_RT_ANY | RRF_NOEXPAND, &v.type, nullptr,
                         &size) != ERROR_SUCCESS)
            return std::nullopt;
        v.data.resize(size);
        RegGetValueW(HKEY_CURRENT_USER, path_.c_str(), kValue, RRF_RT_ANY | RRF_NOEXPAND, &v.type, v.data.data(),
                     &size);
        return v;
    }
private:
    std::wstring path_;
};

RawValue Dword(DWORD d) {
    RawValue v{REG_DWORD, std::vector<BYTE>(4)};
    std::memcpy(v.data.data(), &d, 4);
    return v;
}

// Records what would have been launched, and the browser switch as it stood at that moment.
class RecordingLauncher final : public IShellLauncher {
public:
    explicit RecordingLauncher(const BrowserKey* key = nullptr) : key_(key) {}
    void Execute(const ShellCommand& command) override {
        commands.push_back(command);
        if (key_) switchDuringLaunch = key_->Get();
    }
    void ShowHelpTopic(HWND owner, const std::wstring& topic) override {
        helpOwner = owner;
        helpTopics.push_back(topic);
    }
    std::vector<ShellCommand> commands;
    std::optional<RawValue> switchDuringLaunch;
    HWND helpOwner = nullptr;
    std::vector<std::wstring> helpTopics;
private:
    const BrowserKey* key_;
};
}  // namespace

TEST(WebPageUrl, EachModeHasItsPageAndOthersNone) {
    EXPECT_EQ(WebPageUrl(6), std::wstring(kMakerWebSite) + L"/weatherskins.html");
    EXPECT_EQ(WebPageUrl(7), std::wstring(kMakerWebSite) + L"/vantoric.php");
    EXPECT_EQ(WebPageUrl(8), std::wstring(kWeatherProviderWebSite) + L"/");
    EXPECT_EQ(WebPageUrl(9), std::wstring(kWeatherProviderWebSite) + L"/common/drilldown/world.html?from=search");
    EXPECT_EQ(WebPageUrl(11), std::wstring(kMakerWebSite) + L"/plessimor-download.php");
    for (int mode : {-1, 0, 5, 10, 12}) EXPECT_FALSE(WebPageUrl(mode)) << mode;
}

TEST(OpenWebPage, OpensMaximisedWithoutOwnerAndRemovesASwitchItAdded) {
    BrowserKey key;
    key.Create();
    RecordingLauncher launcher(&key);
    OpenWebPage(kWebPageDownload, launcher, key.path());
    ASSERT_EQ(launcher.commands.size(), 1u);
    EXPECT_EQ(launcher.commands[0],
              (ShellCommand{nullptr, L"open", *WebPageUrl(kWebPageDownload), L"", SW_SHOWMAXIMIZED}));
    EXPECT_EQ(launcher.switchDuringLaunch, Dword(0));
    EXPECT_FALSE(key.Get());
}

TEST(OpenWebPage, RestoresAnExistingSwitchWithItsType) {
    BrowserKey key;
    DWORD one = 1;
    key.Set(REG_DWORD, &one, sizeof one);
    RecordingLauncher launcher(&key);
    OpenWebPage(kWebPageMoreSkins, launcher, key.path());
    EXPECT_EQ(launcher.switchDuringLaunch, Dword(0));
    EXPECT_EQ(key.Get(), Dword(1));

    const wchar_t yes[] = L"yes";
    key.Set(REG_SZ, yes, sizeof yes);
    const RawValue before = *key.Get();
    OpenWebPage(kWebPageFindCity, launcher, key.path());
    EXPECT_EQ(launcher.switchDuringLaunch, Dword(0));
    EXPECT_EQ(key.Get(), before);
    EXPECT_EQ(key.Get()->type, static_cast<DWORD>(REG_SZ));
}

TEST(OpenWebPage, MissingBrowserKeyIsNotCreatedAndThePageStillOpens) {
    BrowserKey key;
    RecordingLauncher launcher(&key);
    OpenWebPage(kWebPageWeatherProvider, launcher, key.path());
    ASSERT_EQ(launcher.commands.size(), 1u);
    EXPECT_EQ(launcher.commands[0].file, *WebPageUrl(kWebPageWeatherProvider));
    EXPECT_FALSE(key.Exists());
}

TEST(OpenWebPage, UnknownModeOpensNothingAndLeavesTheSwitch) {
    BrowserKey key;
    DWORD one = 1;
    key.Set(REG_DWORD, &one, sizeof one);
    RecordingLauncher launcher(&key);
    OpenWebPage(10, launcher, key.path());
    EXPECT_TRUE(launcher.commands.empty());
    EXPECT_EQ(key.Get(), Dword(1));
}

TEST(SendFeedbackMail, OpensTheMailProgramOwnedByTheWindow) {
    RecordingLauncher launcher;
    HWND owner = reinterpret_cast<HWND>(0x1234);
    SendFeedbackMail(launcher, owner);
    ASSERT_EQ(launcher.commands.size(), 1u);
    EXPECT_EQ(launcher.commands[0], (ShellCommand{owner, L"open",
                                                   std::wstring(L"mailto:") + kFeedbackAddress + L"?subject=Vantoric",
                                                   L"", SW_SHOWNORMAL}));
}

TEST(ShowHelp, OpensTheStartTopicByTheHelpFilesFullPath) {
    EXPECT_EQ(HelpTopic(L"C:\\Program Files\\Vantoric\\"), L"C:\\Program Files\\Vantoric\\vantoric.chm::/00vantoric.html");
    EXPECT_EQ(HelpTopic(L"D:\\Apps\\Clock"), L"D:\\Apps\\Clock\\vantoric.chm::/00vantoric.html");

    RecordingLauncher launcher;
    HWND owner = reinterpret_cast<HWND>(0x42);
    ShowHelp(launcher, owner);
    ASSERT_EQ(launcher.helpTopics.size(), 1u);
    EXPECT_EQ(launcher.helpTopics[0], test::TestProgramDir() + L"vantoric.chm::/00vantoric.html");
    EXPECT_EQ(launcher.helpOwner, owner);
    EXPECT_TRUE(launcher.commands.empty());
}
