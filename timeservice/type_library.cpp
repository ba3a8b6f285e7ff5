#include "timeservice/type_library.h"

#include "base/handles.h"

#include <oleauto.h>

#include <cstdio>
#include <system_error>

#include "timeservice/ascendor_tlb.h"

namespace ascendor {

namespace {

template <class T>
class Com {
public:
    Com() = default;
    ~Com() { if (p_) p_->Release(); }
    Com(const Com&) = delete;
    Com& operator=(const Com&) = delete;
    T** put() noexcept { return &p_; }
    T* get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
private:
    T* p_ = nullptr;
};

constexpr SYSKIND kSysKind = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;

#define VT_CHECK(expr)                     \
    do {                                   \
        HRESULT hr_ = (expr);              \
        if (FAILED(hr_)) return hr_;       \
    } while (false)

HRESULT DefineInterface(ICreateTypeLib2* lib, ITypeInfo* unknownInfo, ICreateTypeInfo** out) {
    VT_CHECK(lib->CreateTypeInfo(const_cast<LPOLESTR>(kInterfaceName), TKIND_INTERFACE, out));
    ICreateTypeInfo* itf = *out;
    VT_CHECK(itf->SetGuid(IID_IMyPrivilegedObject));
    VT_CHECK(itf->SetTypeFlags(TYPEFLAG_FOLEAUTOMATION));
    VT_CHECK(itf->SetDocString(const_cast<LPOLESTR>(kInterfaceHelpString)));
    HREFTYPE base = 0;
    VT_CHECK(itf->AddRefTypeInfo(unknownInfo, &base));
    VT_CHECK(itf->AddImplType(0, base));

    ELEMDESC host{};
    host.tdesc.vt = VT_BSTR;
    host.paramdesc.wParamFlags = PARAMFLAG_FIN;
    FUNCDESC sync{};
    sync.memid = 0x60010000;
    sync.funckind = FUNC_PUREVIRTUAL;
    sync.invkind = INVOKE_FUNC;
    sync.callconv = CC_STDCALL;
    sync.cParams = 1;
    sync.lprgelemdescParam = &host;
    sync.elemdescFunc.tdesc.vt = VT_HRESULT;
    VT_CHECK(itf->AddFuncDesc(0, &sync));
    LPOLESTR names[] = {const_cast<LPOLESTR>(L"SyncTime"), const_cast<LPOLESTR>(L"aHost")};
    VT_CHECK(itf->SetFuncAndParamNames(0, names, 2));
    return itf->LayOut();
}

HRESULT DefineClass(ICreateTypeLib2* lib, ICreateTypeInfo* itf) {
    Com<ICreateTypeInfo> cls;
    VT_CHECK(lib->CreateTypeInfo(const_cast<LPOLESTR>(kClassName), TKIND_COCLASS, cls.put()));
    VT_CHECK(cls->SetGuid(CLSID_MyPrivilegedObject));
    VT_CHECK(cls->SetTypeFlags(TYPEFLAG_FCANCREATE));
    VT_CHECK(cls->SetDocString(const_cast<LPOLESTR>(kClassName)));
    Com<ITypeInfo> itfInfo;
    VT_CHECK(itf->QueryInterface(IID_ITypeInfo, reinterpret_cast<void**>(itfInfo.put())));
    HREFTYPE ref = 0;
    VT_CHECK(cls->AddRefTypeInfo(itfInfo.get(), &ref));
    VT_CHECK(cls->AddImplType(0, ref));
    VT_CHECK(cls->SetImplTypeFlags(0, IMPLTYPEFLAG_FDEFAULT));
    return cls->LayOut();
}

}  // namespace

std::wstring TypeLibraryPathFor(const std::wstring& modulePath) {
    auto slash = modulePath.find_last_of(L"\\/");
    std::wstring folder = slash == std::wstring::npos ? std::wstring() : modulePath.substr(0, slash + 1);
    return folder + kLibraryName + L".tlb";
}

HRESULT WriteAscendorTypeLibrary(const std::wstring& tlbPath) noexcept {
    Com<ITypeLib> stdole;
    VT_CHECK(LoadTypeLib(L"stdole2.tlb", stdole.put()));
    Com<ITypeInfo> unknownInfo;
    VT_CHECK(stdole->GetTypeInfoOfGuid(IID_IUnknown, unknownInfo.put()));

    Com<ICreateTypeLib2> lib;
    VT_CHECK(CreateTypeLib2(kSysKind, tlbPath.c_str(), lib.put()));
    VT_CHECK(lib->SetGuid(LIBID_Ascendor));
    VT_CHECK(lib->SetName(const_cast<LPOLESTR>(kLibraryName)));
    VT_CHECK(lib->SetVersion(kLibraryMajorVersion, kLibraryMinorVersion));
    VT_CHECK(lib->SetLcid(kLibraryLocale));
    VT_CHECK(lib->SetDocString(const_cast<LPOLESTR>(kLibraryHelpString)));
    Com<ICreateTypeInfo> itf;
    VT_CHECK(DefineInterface(lib.get(), unknownInfo.get(), itf.put()));
    VT_CHECK(DefineClass(lib.get(), itf.get()));
    return lib->SaveAllChanges();
}

void RegisterAscendorTypeLibrary(const std::wstring& modulePath) {
    const std::wstring path = TypeLibraryPathFor(modulePath);
    HRESULT hr = WriteAscendorTypeLibrary(path);
    Com<ITypeLib> lib;
    if (SUCCEEDED(hr)) hr = LoadTypeLibEx(path.c_str(), REGKIND_REGISTER, lib.put());
    if (FAILED(hr)) throw std::system_error(hr, std::system_category(), "type library");
}

HRESULT UnregisterAscendorTypeLibrary(const std::wstring& modulePath) noexcept {
    HRESULT hr = S_OK;
    wchar_t key[64];
    wchar_t libid[40] = L"";
    StringFromGUID2(LIBID_Ascendor, libid, 40);
    swprintf(key, 64, L"TypeLib\\%ls", libid);
    vt::UniqueKey registered;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key, 0, KEY_READ, registered.put()) == ERROR_SUCCESS) {
        registered.reset();
        hr = UnRegisterTypeLib(LIBID_Ascendor, kLibraryMajorVersion, kLibraryMinorVersion, kLibraryLocale, kSysKind);
    }
    DeleteFileW(TypeLibraryPathFor(modulePath).c_str());
    return hr;
}

}  // namespace ascendor
