#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include "weather/weather_hotkey.h"

using namespace vt;

TEST(WeatherHotKey, ControlFlagsBecomeRegistrationModifiers) {
    struct Case {
        BYTE flags;
        UINT modifiers;
    };
    const Case cases[] = {
        {HOTKEYF_SHIFT, MOD_SHIFT},
        {HOTKEYF_CONTROL, MOD_CONTROL},
        {HOTKEYF_ALT, MOD_ALT},
        {HOTKEYF_ALT | HOTKEYF_SHIFT, MOD_ALT | MOD_SHIFT},
        {HOTKEYF_CONTROL | HOTKEYF_ALT | HOTKEYF_SHIFT, MOD_CONTROL | MOD_ALT | MOD_SHIFT},
        {HOTKEYF_EXT | HOTKEYF_CONTROL, MOD_CONTROL},   // the extended-key flag is not passed on
    };
    for (const Case& c : cases) {
        HotKeyRegistration r = HotKeyToRegistration(MAKEWORD(VK_F9, c.flags));
        EXPECT_EQ(r.modifiers, c.modifiers) << int(c.flags);
        EXPECT_EQ(r.virtualKey, static_cast<UINT>(VK_F9));
    }
    HotKeyRegistration d = HotKeyToRegistration(kDefaultWeatherHotKey);
    EXPECT_EQ(d.modifiers, static_cast<UINT>(MOD_CONTROL | MOD_ALT));
    EXPECT_EQ(d.virtualKey, static_cast<UINT>('U'));
}

TEST(WeatherHotKey, RegistersIdOneOnTheWindowAndClearsIt) {
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(window);
    // An unusual combination, so nothing else on the test desktop holds it.
    const WORD key = MAKEWORD(VK_F13, HOTKEYF_CONTROL | HOTKEYF_ALT | HOTKEYF_SHIFT);
    EXPECT_TRUE(RegisterWeatherHotKey(window, key));
    // Re-registering replaces id 1 instead of failing on it.
    EXPECT_TRUE(RegisterWeatherHotKey(window, key));
    // The same key on another window is refused while the first holds it.
    HWND other = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    EXPECT_FALSE(RegisterWeatherHotKey(other, key));
    // A cleared control leaves no hot key.
    EXPECT_TRUE(RegisterWeatherHotKey(window, 0));
    EXPECT_TRUE(RegisterWeatherHotKey(other, key));
    UnregisterHotKey(other, kWeatherHotKeyId);
    DestroyWindow(other);
    DestroyWindow(window);
}
