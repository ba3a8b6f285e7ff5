// Names shared by the readers and writers of the options file.
#pragma once

namespace vt {

inline constexpr wchar_t kSettingsFileName[] = L"Setting.ini";
inline constexpr wchar_t kOptionsSection[] = L"Options";

}  // namespace vt
