// The library's registration with HKEY_CLASSES_ROOT redirected to a private test key.
#include <gtest/gtest.h>

#include <olectl.h>
#include <sddl.h>

#include "base/handles.h"
#include "base/text.h"
#include "support/test_support.h"
#include "timeservice/privileged_class_factory.h"
#include "timeservice/type_library.h"

namespace {

using namespace ascendor;

const std::wstring kC = L"{6BCFB187-C1DD-4807-96AD-F91AB4AB08AC}";

class RedirectedClassesRoot : public ::testing::Test {
protected:
    void SetUp() override {
        keyPath_ = L"Software\\VantoricTests\\Classes" + std::to_wstring(GetCurrentProcessId());
        RegDeleteTreeW(HKEY_CURRENT_USER, keyPath_.c_str());
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, keyPath_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  root_.put(), nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegOverridePredefKey(HKEY_CLASSES_ROOT, root_.get()), ERROR_SUCCESS);
        // A copy of the built library: its type library is read from the file being registered.
        module_ = dir_.File(L"Ascendor.dll");
        ASSERT_TRUE(CopyFileW((vt::test::DistDir() + L"Ascendor.dll").c_str(), module_.c_str(), FALSE));
    }
    void TearDown() override {
        RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
        root_.reset();
        RegDeleteTreeW(HKEY_CURRENT_USER, keyPath_.c_str());
        RegDeleteKeyW(HKEY_CURRENT_USER, keyPath_.c_str());
    }

    bool HasKey(const std::wstring& key) const {
        vt::UniqueKey k;
        return RegOpenKeyExW(root_.get(), key.c_str(), 0, KEY_READ, k.put()) == ERROR_SUCCESS;
    }
    // The value's type and bytes; type REG_NONE when it is missing.
    std::pair<DWORD, std::string> Value(const std::wstring& key, const std::wstring& name) const {
        DWORD type = REG_NONE, size = 0;
        if (RegGetValueW(root_.get(), key.c_str(), name.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type, nullptr, &size) !=
            ERROR_SUCCESS)
            return {REG_NONE, {}};
        std::string data(size, '\0');
        RegGetValueW(root_.get(), key.c_str(), name.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type, data.data(), &size);
        data.resize(size);
        return {type, data};
    }
    std::wstring Text(const std::wstring& key, const std::wstring& name) const {
        auto [type, data] = Value(key, name);
        if (type != REG_SZ) return L"<type " + std::to_wstring(type) + L">";
        std::wstring s(reinterpret_cast<const wchar_t*>(data.data()), data.size() / sizeof(wchar_t));
        while (!s.empty() && s.back() == L'\0') s.pop_back();
        return s;
    }

    vt::test::TempDir dir_;
    std::wstring keyPath_;
    vt::UniqueKey root_;
    std::wstring module_;
};

TEST_F(RedirectedClassesRoot, RegisteringWritesTheClassSurrogateAndElevationEntries) {
    ASSERT_EQ(RegisterServer(module_), S_OK);
    const std::wstring clsid = L"CLSID\\" + kC;
    EXPECT_EQ(Text(clsid, L""), L"MyPrivilegedObject");
    EXPECT_EQ(Text(clsid + L"\\InprocServer32", L""), module_);
    EXPECT_EQ(Text(clsid + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
    EXPECT_EQ(Text(clsid + L"\\ProgID", L""), L"Ascendor.MyPrivilegedObject");
    EXPECT_EQ(Text(L"Ascendor.MyPrivilegedObject\\Clsid", L""), kC);
    EXPECT_EQ(Text(clsid + L"\\TypeLib", L""), L"{D5DDAA42-85F0-4024-9F50-318597947C7F}");
    EXPECT_EQ(Text(clsid + L"\\Version", L""), L"1.0");
    EXPECT_EQ(Text(clsid, L"AppID"), kC);
    EXPECT_EQ(Text(clsid, L"LocalizedString"), L"@" + module_ + L",-101");
    auto enabled = Value(clsid + L"\\Elevation", L"Enabled");
    ASSERT_EQ(enabled.first, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(*reinterpret_cast<const DWORD*>(enabled.second.data()), 1u);

    const std::wstring appId = L"AppID\\" + kC;
    EXPECT_EQ(Text(appId, L""), L"MyPrivilegedObject");
    EXPECT_EQ(Text(appId, L"DllSurrogate"), L"");
    EXPECT_EQ(Value(appId, L"DllSurrogate").first, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(Text(L"AppID\\Ascendor.dll", L"AppID"), kC);
}

TEST_F(RedirectedClassesRoot, AccessPermissionIsTheDescriptorOfTheSddl) {
    ASSERT_EQ(RegisterServer(module_), S_OK);
    auto [type, data] = Value(L"AppID\\" + kC, L"AccessPermission");
    ASSERT_EQ(type, static_cast<DWORD>(REG_BINARY));
    auto* sd = reinterpret_cast<PSECURITY_DESCRIPTOR>(data.data());
    ASSERT_TRUE(IsValidSecurityDescriptor(sd));
    EXPECT_EQ(GetSecurityDescriptorLength(sd), data.size());
    LPWSTR text = nullptr;
    ASSERT_TRUE(ConvertSecurityDescriptorToStringSecurityDescriptorW(
        sd, SDDL_REVISION_1, OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &text,
        nullptr));
    std::wstring sddl = text;
    LocalFree(text);
    // Rights 3 read back by name: create-child and delete-child are bits 0 and 1.
    EXPECT_EQ(sddl, L"O:BAG:BAD:(A;;CCDC;;;IU)(A;;CCDC;;;SY)");
}

TEST_F(RedirectedClassesRoot, RegisteringTwiceLeavesOneSetAndUnregisteringRemovesIt) {
    ASSERT_EQ(RegisterServer(module_), S_OK);
    ASSERT_EQ(RegisterServer(module_), S_OK);
    EXPECT_EQ(Text(L"CLSID\\" + kC + L"\\InprocServer32", L""), module_);
    ASSERT_EQ(UnregisterServer(module_), S_OK);
    for (const std::wstring& key : {L"CLSID\\" + kC, L"AppID\\" + kC, std::wstring(L"AppID\\Ascendor.dll"),
                                   std::wstring(L"Ascendor.MyPrivilegedObject")})
        EXPECT_FALSE(HasKey(key)) << vt::Narrow(key);
    // The keys that hold them stay; a second removal finds nothing to do and still succeeds.
    EXPECT_TRUE(HasKey(L"CLSID"));
    EXPECT_EQ(UnregisterServer(module_), S_OK);
}

TEST_F(RedirectedClassesRoot, TypeLibraryDescribesTheInterfaceForMarshalling) {
    ASSERT_EQ(RegisterServer(module_), S_OK);
    const std::wstring itf = L"Interface\\{04004D01-2115-40D5-991F-D258C8CEF07E}";
    EXPECT_EQ(Text(itf, L""), L"IMyPrivilegedObject");
    EXPECT_TRUE(HasKey(itf + L"\\ProxyStubClsid32"));
    EXPECT_TRUE(HasKey(L"TypeLib\\{D5DDAA42-85F0-4024-9F50-318597947C7F}\\1.0"));

    // Registered from the library itself (resource TYPELIB 1); nothing is written beside it.
    const std::wstring win = sizeof(void*) == 8 ? L"win64" : L"win32";
    EXPECT_EQ(Text(L"TypeLib\\{D5DDAA42-85F0-4024-9F50-318597947C7F}\\1.0\\409\\" + win, L""), module_);
    EXPECT_EQ(GetFileAttributesW(dir_.File(L"Ascendor.tlb").c_str()), INVALID_FILE_ATTRIBUTES);
    vt::ComPtr<ITypeLib> lib;
    ASSERT_EQ(LoadTypeLibEx(module_.c_str(), REGKIND_NONE, lib.put()), S_OK);
    vt::ComPtr<ITypeInfo> info;
    ASSERT_EQ(lib->GetTypeInfoOfGuid(IID_IMyPrivilegedObject, info.put()), S_OK);
    TYPEATTR* attr = nullptr;
    ASSERT_EQ(info->GetTypeAttr(&attr), S_OK);
    EXPECT_EQ(attr->typekind, TKIND_INTERFACE);
    EXPECT_EQ(attr->cFuncs, 1);
    EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FOLEAUTOMATION);
    info->ReleaseTypeAttr(attr);
    FUNCDESC* func = nullptr;
    ASSERT_EQ(info->GetFuncDesc(0, &func), S_OK);
    EXPECT_EQ(func->cParams, 1);
    EXPECT_EQ(func->lprgelemdescParam[0].tdesc.vt, VT_BSTR);
    EXPECT_EQ(func->elemdescFunc.tdesc.vt, VT_HRESULT);
    EXPECT_EQ(func->oVft, static_cast<short>(3 * sizeof(void*)));   // the first slot after IUnknown
    BSTR name = nullptr;
    UINT count = 0;
    EXPECT_EQ(info->GetNames(func->memid, &name, 1, &count), S_OK);
    EXPECT_STREQ(name, L"SyncTime");
    SysFreeString(name);
    info->ReleaseFuncDesc(func);

    ASSERT_EQ(UnregisterServer(module_), S_OK);
    EXPECT_FALSE(HasKey(L"TypeLib\\{D5DDAA42-85F0-4024-9F50-318597947C7F}"));
}

TEST_F(RedirectedClassesRoot, AFailedRegistrationTakesBackWhatItWrote) {
    // A library that cannot be read (its name is longer than a file name may be): its type library
    // cannot be registered, and nothing of the registration is left.
    const std::wstring longName = dir_.File(std::wstring(300, L'a') + L".dll");
    EXPECT_EQ(RegisterServer(longName), SELFREG_E_CLASS);
    EXPECT_FALSE(HasKey(L"CLSID\\" + kC));
    EXPECT_FALSE(HasKey(L"AppID\\" + kC));
    EXPECT_FALSE(HasKey(L"Ascendor.MyPrivilegedObject"));
    EXPECT_FALSE(HasKey(L"TypeLib\\{D5DDAA42-85F0-4024-9F50-318597947C7F}"));
}

TEST_F(RedirectedClassesRoot, UnsupportedValueTypeIsRefused) {
    EXPECT_THROW(CreateTypedRegKey(L"Test", L"v", L"x", HKEY_CLASSES_ROOT, REG_MULTI_SZ), std::invalid_argument);
    EXPECT_THROW(CreateTypedRegKey(L"Test", L"v", L"not a number", HKEY_CLASSES_ROOT, REG_DWORD), RegistrationError);
    CreateTypedRegKey(L"Test", L"n", L"42", HKEY_CLASSES_ROOT, REG_DWORD);
    auto v = Value(L"Test", L"n");
    ASSERT_EQ(v.first, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(*reinterpret_cast<const DWORD*>(v.second.data()), 42u);
}

TEST_F(RedirectedClassesRoot, TheBuiltLibraryRegistersItselfFromItsFolder) {
    vt::UniqueLibrary dll(LoadLibraryW((vt::test::DistDir() + L"Ascendor.dll").c_str()));
    ASSERT_TRUE(dll);
    using Entry = HRESULT(STDAPICALLTYPE*)();
    auto reg = reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(dll.get(), "DllRegisterServer")));
    auto unreg = reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(dll.get(), "DllUnregisterServer")));
    ASSERT_TRUE(reg && unreg);
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(dll.get(), path, MAX_PATH);
    ASSERT_EQ(reg(), S_OK);
    EXPECT_EQ(Text(L"CLSID\\" + kC + L"\\InprocServer32", L""), path);
    EXPECT_EQ(Text(L"CLSID\\" + kC, L"LocalizedString"), L"@" + std::wstring(path) + L",-101");
    // The prompt's name is in the library's string table.
    wchar_t name[64] = L"";
    EXPECT_GT(LoadStringW(dll.get(), 101, name, 64), 0);
    EXPECT_STREQ(name, L"Atomic - Vantoric");
    ASSERT_EQ(unreg(), S_OK);
    EXPECT_FALSE(HasKey(L"CLSID\\" + kC));
}

}  // namespace
