// Helpers shared by the test programs.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace vt::test {

void InstallExceptionRecorder();
// Texts that would have been shown by the standard exception display since the last call.
std::vector<std::wstring> TakeShownExceptions();

// A fresh, empty folder under the system's temp folder, removed with its contents by the destructor.
class TempDir {
public:
    TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir();
    const std::wstring& path() const { return path_; }   // ends with a backslash
    std::wstring File(const std::wstring& name) const { return path_ + name; }
private:
    std::wstring path_;
};

std::string ReadFileBytes(const std::wstring& path);
void WriteFileBytes(const std::wstring& path, const std::string& bytes);
// The text as UTF-16LE bytes, without a byte-order mark.
std::string Utf16Bytes(const std::wstring& text);
// UTF-16LE text with its byte-order mark, as the program writes its own files.
void WriteUtf16File(const std::wstring& path, const std::wstring& text);
// The folder of the test program, with trailing backslash.
std::wstring TestProgramDir();
// The program folder of this build (dist/), with trailing backslash.
std::wstring DistDir();

// Runs this thread's messages until done() or `ms` have passed; whether done() came true.
bool PumpUntil(const std::function<bool()>& done, DWORD ms);
// Dispatches what this thread's queue holds now.
void Pump();

// Names of the functions this running test program imports by name, from its own import directory.
std::vector<std::string> ImportedNames();

}  // namespace vt::test
