// Creating the time-service object: the elevation moniker and its bind options when the program runs
// without administrator rights, a plain creation when it has them, an exception on failure.
#include <gtest/gtest.h>

#include "timeservice/elevation_utils.h"
#include "timeservice/ascendor_tlb.h"

namespace {

using namespace vt;

class RecordingCreator final : public IComObjectCreator {
public:
    bool IsElevated() override { return elevated; }
    HRESULT GetObjectByMoniker(const std::wstring& moniker, BIND_OPTS3& options, REFIID iid, void** obj) override {
        ++monikerCalls;
        this->moniker = moniker;
        this->options = options;
        this->iid = iid;
        *obj = result == S_OK ? reinterpret_cast<void*>(0x1234) : nullptr;
        return result;
    }
    HRESULT CreateInstance(REFCLSID clsid, DWORD context, REFIID iid, void** obj) override {
        ++createCalls;
        this->clsid = clsid;
        this->context = context;
        this->iid = iid;
        *obj = result == S_OK ? reinterpret_cast<void*>(0x5678) : nullptr;
        return result;
    }
    bool elevated = false;
    HRESULT result = S_OK;
    int monikerCalls = 0, createCalls = 0;
    std::wstring moniker;
    BIND_OPTS3 options{};
    GUID iid{}, clsid{};
    DWORD context = 0;
};

TEST(ElevationUtils, MonikerNamesTheClassInBraces) {
    EXPECT_EQ(ElevationMonikerFor(ascendor::CLSID_MyPrivilegedObject),
              L"Elevation:Administrator!new:{6BCFB187-C1DD-4807-96AD-F91AB4AB08AC}");
}

TEST(ElevationUtils, WithoutElevationTheMonikerIsBoundForALocalServerOwnedByTheWindow) {
    RecordingCreator creator;
    void* obj = nullptr;
    HWND owner = reinterpret_cast<HWND>(0x4242);
    CoCreateInstanceAsAdmin(creator, owner, ascendor::CLSID_MyPrivilegedObject, ascendor::IID_IMyPrivilegedObject, &obj);
    ASSERT_EQ(creator.monikerCalls, 1);
    EXPECT_EQ(creator.createCalls, 0);
    EXPECT_EQ(creator.moniker, ElevationMonikerFor(ascendor::CLSID_MyPrivilegedObject));
    EXPECT_EQ(creator.options.cbStruct, sizeof(BIND_OPTS3));
    EXPECT_EQ(creator.options.dwClassContext, static_cast<DWORD>(CLSCTX_LOCAL_SERVER));
    EXPECT_EQ(creator.options.hwnd, owner);
    EXPECT_EQ(creator.options.grfFlags, 0u);
    EXPECT_EQ(creator.options.grfMode, 0u);
    EXPECT_EQ(creator.options.dwTickCountDeadline, 0u);
    EXPECT_EQ(creator.options.pServerInfo, nullptr);
    EXPECT_TRUE(IsEqualIID(creator.iid, ascendor::IID_IMyPrivilegedObject));
    EXPECT_EQ(obj, reinterpret_cast<void*>(0x1234));
}

TEST(ElevationUtils, WhenElevatedTheClassIsCreatedDirectly) {
    RecordingCreator creator;
    creator.elevated = true;
    void* obj = nullptr;
    CoCreateInstanceAsAdmin(creator, nullptr, ascendor::CLSID_MyPrivilegedObject, ascendor::IID_IMyPrivilegedObject, &obj);
    EXPECT_EQ(creator.monikerCalls, 0);
    ASSERT_EQ(creator.createCalls, 1);
    EXPECT_TRUE(IsEqualCLSID(creator.clsid, ascendor::CLSID_MyPrivilegedObject));
    EXPECT_EQ(creator.context, static_cast<DWORD>(CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER));
    EXPECT_EQ(obj, reinterpret_cast<void*>(0x5678));
}

TEST(ElevationUtils, AFailedCreationThrowsItsHResult) {
    RecordingCreator creator;
    creator.result = HRESULT_FROM_WIN32(ERROR_CANCELLED);   // the user declined the prompt
    void* obj = nullptr;
    try {
        CoCreateInstanceAsAdmin(creator, nullptr, ascendor::CLSID_MyPrivilegedObject, ascendor::IID_IMyPrivilegedObject,
                                &obj);
        FAIL() << "no exception";
    } catch (const HResultError& e) {
        EXPECT_EQ(e.hr(), HRESULT_FROM_WIN32(ERROR_CANCELLED));
        EXPECT_NE(std::string(e.what()).find("0x800704C7"), std::string::npos) << e.what();
    }
    creator.elevated = true;
    creator.result = REGDB_E_CLASSNOTREG;
    EXPECT_THROW(CoCreateInstanceAsAdmin(creator, nullptr, ascendor::CLSID_MyPrivilegedObject,
                                         ascendor::IID_IMyPrivilegedObject, &obj),
                 HResultError);
}

}  // namespace
