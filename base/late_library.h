// Functions of system libraries the program needs only now and then, loaded on their first call and kept
// for the rest of the run. A library the program links is in memory from start to end, and some bring
// megabytes with them: the file and colour dialogs load the printer spooler, data protection the crypto
// providers, the common controls their themes.
#pragma once
#include <windows.h>

namespace vt {

// The system folder's copy of `library` (never one of the same name on the search path), kept loaded
// until the process ends; nullptr when it is missing.
HMODULE SystemLibrary(const wchar_t* library);

// A function of such a library, or nullptr when the library or the function is missing.
FARPROC LateProc(const wchar_t* library, const char* name);

// Typed: LateFunction<decltype(&GetOpenFileNameW)>(L"comdlg32.dll", "GetOpenFileNameW").
template <class F>
F LateFunction(const wchar_t* library, const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void (*)()>(LateProc(library, name)));
}

}  // namespace vt
