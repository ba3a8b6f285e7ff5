// The shell launch of an alarm's program. Reached only through CreateShellProgramLauncher, so test
// programs that drive the alarm handler cannot start anything.
#include <windows.h>
#include <shellapi.h>

#include "alarms/program_launch.h"

namespace vt {

namespace {
class ShellProgramLauncher final : public IProgramLauncher {
public:
    explicit ShellProgramLauncher(HWND owner) : owner_(owner) {}
    void Open(const std::wstring& file, const std::wstring& parameters, const std::wstring& folder,
              int showCommand) override {
        ShellExecuteW(owner_, L"open", file.c_str(), parameters.empty() ? nullptr : parameters.c_str(),
                      folder.empty() ? nullptr : folder.c_str(), showCommand);
    }

private:
    HWND owner_;
};
}  // namespace

std::unique_ptr<IProgramLauncher> CreateShellProgramLauncher(HWND owner) {
    return std::make_unique<ShellProgramLauncher>(owner);
}

}  // namespace vt
