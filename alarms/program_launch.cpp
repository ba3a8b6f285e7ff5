#include "alarms/program_launch.h"

#include "base/text.h"

namespace vt {

int ShowCommandOf(int windowStyle) {
    switch (windowStyle) {
    case 0: return SW_SHOW;
    case 1: return SW_SHOWMAXIMIZED;
    case 2: return SW_MINIMIZE;
    default: return windowStyle;
    }
}

std::wstring WorkingFolderOf(const std::wstring& file) {
    auto cut = file.find_last_of(L"\\:");
    if (cut == std::wstring::npos) return {};
    if (file[cut] == L':') return file.substr(0, cut + 1);
    if (cut > 0 && file[cut - 1] == L':') return file.substr(0, cut + 1);   // "C:\x.exe" runs in "C:\"
    return file.substr(0, cut);
}

void RunDocument(IProgramLauncher& launcher, const std::wstring& fileName, const std::wstring& parameters,
                 int windowStyle) {
    if (Trim(fileName).empty()) return;
    launcher.Open(fileName, parameters, WorkingFolderOf(fileName), ShowCommandOf(windowStyle));
}

}  // namespace vt
