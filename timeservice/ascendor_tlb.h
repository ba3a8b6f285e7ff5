// The library's interface and class identifiers, shared by the program (which creates the object) and
// by Ascendor.dll (which serves it). Written by hand in the shape a type-library compiler would emit.
#pragma once
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

namespace ascendor {

// {D5DDAA42-85F0-4024-9F50-318597947C7F}
inline constexpr GUID LIBID_Ascendor = {0xD5DDAA42, 0x85F0, 0x4024, {0x9F, 0x50, 0x31, 0x85, 0x97, 0x94, 0x7C, 0x7F}};
// {04004D01-2115-40D5-991F-D258C8CEF07E}
inline constexpr GUID IID_IMyPrivilegedObject = {0x04004D01, 0x2115, 0x40D5, {0x99, 0x1F, 0xD2, 0x58, 0xC8, 0xCE, 0xF0, 0x7E}};
// {6BCFB187-C1DD-4807-96AD-F91AB4AB08AC}
inline constexpr GUID CLSID_MyPrivilegedObject = {0x6BCFB187, 0xC1DD, 0x4807, {0x96, 0xAD, 0xF9, 0x1A, 0xB4, 0xAB, 0x08, 0xAC}};

inline constexpr wchar_t kLibraryName[] = L"Ascendor";
inline constexpr wchar_t kLibraryHelpString[] = L"Ascendor Library";
inline constexpr wchar_t kInterfaceName[] = L"IMyPrivilegedObject";
inline constexpr wchar_t kInterfaceHelpString[] = L"Interface for MyPrivilegedObject Object";
inline constexpr wchar_t kClassName[] = L"MyPrivilegedObject";
inline constexpr WORD kLibraryMajorVersion = 1;
inline constexpr WORD kLibraryMinorVersion = 0;
inline constexpr LCID kLibraryLocale = 0x409;

}  // namespace ascendor

// The one interface of the library: IUnknown plus SyncTime in the first slot after it.
struct IMyPrivilegedObject : public IUnknown {
    // aHost: the SNTP server's host name or address. S_OK: the clock was set; E_FAIL: no valid answer
    // in time or the clock could not be set; E_ABORT: the host could not be resolved or reached.
    virtual HRESULT STDMETHODCALLTYPE SyncTime(BSTR aHost) = 0;
};
__CRT_UUID_DECL(IMyPrivilegedObject, 0x04004D01, 0x2115, 0x40D5, 0x99, 0x1F, 0xD2, 0x58, 0xC8, 0xCE, 0xF0, 0x7E)
