// Functions of system libraries the program needs only now and then, loaded on their first call and kept
// for the rest of the run. A library the program links is in memory from start to end, and some bring
// megabytes with them: the file and colour dialogs load the printer spooler, data protection the crypto
// providers, the common controls their themes.
#pragma once
#include <windows.h>
#include <objbase.h>

#include "base/handles.h"

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

// A COM class of a system library, loaded for as long as this object lasts instead of for the rest of the
// run: the class factory comes straight from the library's own DllGetClassObject. COM would keep the
// library until the thread's apartment ends (Wine's libraries never answer that they can be unloaded),
// and a 32-bit process pays the relocated pages of it and of what it imports. Every object made from it
// must be released before this object ends; a thread of its own keeps the library loaded by its own
// reference. Without the library (or its factory) objects come from COM as usual.
class BorrowedComClass {
public:
    BorrowedComClass(const wchar_t* library, const CLSID& clsid);
    BorrowedComClass(const BorrowedComClass&) = delete;
    BorrowedComClass& operator=(const BorrowedComClass&) = delete;
    HRESULT Create(const IID& iid, void** object) const;

private:
    CLSID clsid_;
    UniqueLibrary library_;          // freed last: the factory goes first
    ComPtr<IClassFactory> factory_;
};

}  // namespace vt
