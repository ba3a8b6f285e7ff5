// The COM plumbing of the time service: the class factory, the object's interfaces and reference
// counts, the unload rule, and SyncTime reaching a loopback server. The object's action is a test
// function here; the library's own entry points always use the one that sets the machine clock.
#include <gtest/gtest.h>

#include "base/handles.h"
#include "support/test_support.h"
#include "support/loopback_sntp.h"
#include "timeservice/my_privileged_object.h"
#include "timeservice/privileged_class_factory.h"
#include "timeservice/time_sync.h"

namespace {

using namespace ascendor;
using vt::ComPtr;
using vt::test::Bytes;
using vt::test::LoopbackSntpServer;

// What the test action saw and did; the action is a plain function, as the library's is.
struct Recorded {
    std::wstring host;
    int calls = 0;
    std::uint16_t port = 0;
    SYSTEMTIME set{};
    int sets = 0;
} g_recorded;

class RecordingSetter final : public IClockSetter {
public:
    bool SetUtcTime(const SYSTEMTIME& utc) override {
        g_recorded.set = utc;
        ++g_recorded.sets;
        return true;
    }
};

HRESULT TestAction(const wchar_t* host) noexcept {
    g_recorded.host = host;
    ++g_recorded.calls;
    RecordingSetter setter;
    return SyncClockWith(host, SntpSettings{g_recorded.port, 300}, setter);
}

ComPtr<IClassFactory> Factory(SyncAction action = &TestAction) {
    ComPtr<IClassFactory> factory;
    EXPECT_EQ(GetClassObject(CLSID_MyPrivilegedObject, IID_IClassFactory, factory.put_void(), action), S_OK);
    return factory;
}

class BstrArg {
public:
    explicit BstrArg(const wchar_t* s) : b_(SysAllocString(s)) {}
    ~BstrArg() { SysFreeString(b_); }
    BSTR get() const { return b_; }
private:
    BSTR b_;
};

TEST(PrivilegedClassFactory, HandsOutOnlyItsOwnClass) {
    ComPtr<IClassFactory> factory;
    EXPECT_EQ(GetClassObject(IID_IMyPrivilegedObject, IID_IClassFactory, factory.put_void(), &TestAction),
              CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_FALSE(factory);
    EXPECT_EQ(GetClassObject(CLSID_MyPrivilegedObject, IID_IClassFactory, nullptr, &TestAction), E_POINTER);
    ComPtr<IUnknown> unknown;
    EXPECT_EQ(GetClassObject(CLSID_MyPrivilegedObject, IID_IUnknown, unknown.put_void(), &TestAction), S_OK);
    ComPtr<IMyPrivilegedObject> notAFactory;
    EXPECT_EQ(GetClassObject(CLSID_MyPrivilegedObject, IID_IMyPrivilegedObject, notAFactory.put_void(), &TestAction),
              E_NOINTERFACE);
}

TEST(PrivilegedClassFactory, CreatesObjectsAndRefusesAggregation) {
    ComPtr<IClassFactory> factory = Factory();
    ComPtr<IMyPrivilegedObject> a, b;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IMyPrivilegedObject, a.put_void()), S_OK);
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IMyPrivilegedObject, b.put_void()), S_OK);
    EXPECT_NE(a.get(), b.get());   // one object per creation
    ComPtr<IUnknown> aggregated;
    EXPECT_EQ(factory->CreateInstance(a.get(), IID_IUnknown, aggregated.put_void()), CLASS_E_NOAGGREGATION);
    ComPtr<IDispatch> dispatch;
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IDispatch, dispatch.put_void()), E_NOINTERFACE);
    EXPECT_FALSE(dispatch);
}

TEST(MyPrivilegedObject, InterfacesShareOneIdentityAndCountReferences) {
    ComPtr<IMyPrivilegedObject> object;
    ASSERT_EQ(Factory()->CreateInstance(nullptr, IID_IMyPrivilegedObject, object.put_void()), S_OK);
    ComPtr<IUnknown> unknown1, unknown2;
    ASSERT_EQ(object->QueryInterface(IID_IUnknown, unknown1.put_void()), S_OK);
    ASSERT_EQ(object->QueryInterface(IID_IUnknown, unknown2.put_void()), S_OK);
    EXPECT_EQ(unknown1.get(), unknown2.get());
    EXPECT_EQ(object->AddRef(), 4u);   // object, two IUnknowns, this one
    EXPECT_EQ(object->Release(), 3u);
    void* none = reinterpret_cast<void*>(1);
    EXPECT_EQ(object->QueryInterface(IID_IClassFactory, &none), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);
}

TEST(MyPrivilegedObject, ObjectsAndLocksKeepTheServerLoaded) {
    const LONG base = ServerLockCount();
    ComPtr<IClassFactory> factory = Factory();
    EXPECT_EQ(ServerLockCount(), base);   // a factory alone does not hold the library
    {
        ComPtr<IMyPrivilegedObject> object;
        ASSERT_EQ(factory->CreateInstance(nullptr, IID_IMyPrivilegedObject, object.put_void()), S_OK);
        EXPECT_EQ(ServerLockCount(), base + 1);
    }
    EXPECT_EQ(ServerLockCount(), base);
    factory->LockServer(TRUE);
    EXPECT_EQ(ServerLockCount(), base + 1);
    factory->LockServer(FALSE);
    EXPECT_EQ(ServerLockCount(), base);
}

TEST(MyPrivilegedObject, SyncTimeQueriesTheHostAndSetsTheClockThroughItsAction) {
    LoopbackSntpServer server([](const Bytes& r) -> std::optional<Bytes> { return vt::test::ServerReply(r, 120); });
    g_recorded = Recorded{};
    g_recorded.port = server.port();
    ComPtr<IMyPrivilegedObject> object;
    ASSERT_EQ(Factory()->CreateInstance(nullptr, IID_IMyPrivilegedObject, object.put_void()), S_OK);
    BstrArg host(L"127.0.0.1");
    EXPECT_EQ(object->SyncTime(host.get()), S_OK);
    EXPECT_EQ(g_recorded.host, L"127.0.0.1");
    EXPECT_EQ(g_recorded.sets, 1);
    EXPECT_EQ(server.requests(), 1);
}

TEST(MyPrivilegedObject, SyncTimeResults) {
    LoopbackSntpServer silent([](const Bytes&) -> std::optional<Bytes> { return std::nullopt; });
    g_recorded = Recorded{};
    g_recorded.port = silent.port();
    ComPtr<IMyPrivilegedObject> object;
    ASSERT_EQ(Factory()->CreateInstance(nullptr, IID_IMyPrivilegedObject, object.put_void()), S_OK);
    BstrArg host(L"127.0.0.1");
    EXPECT_EQ(object->SyncTime(host.get()), E_FAIL);       // no answer in time
    EXPECT_EQ(object->SyncTime(nullptr), E_ABORT);         // a null BSTR is the empty host
    BstrArg empty(L"");
    EXPECT_EQ(object->SyncTime(empty.get()), E_ABORT);
    EXPECT_EQ(g_recorded.sets, 0);
}

// The built library itself, loaded as COM would load it. SyncTime is never called on these objects:
// theirs sets the machine clock.
class AscendorDll : public ::testing::Test {
protected:
    void SetUp() override {
        module_.reset(LoadLibraryW((vt::test::DistDir() + L"Ascendor.dll").c_str()));
        ASSERT_TRUE(module_) << "Ascendor.dll not found in the program folder";
        getClassObject_ = reinterpret_cast<decltype(getClassObject_)>(
            reinterpret_cast<void*>(GetProcAddress(module_.get(), "DllGetClassObject")));
        canUnloadNow_ = reinterpret_cast<decltype(canUnloadNow_)>(
            reinterpret_cast<void*>(GetProcAddress(module_.get(), "DllCanUnloadNow")));
        ASSERT_TRUE(getClassObject_ && canUnloadNow_);
    }
    vt::UniqueLibrary module_;
    HRESULT(STDAPICALLTYPE* getClassObject_)(REFCLSID, REFIID, void**) = nullptr;
    HRESULT(STDAPICALLTYPE* canUnloadNow_)() = nullptr;
};

TEST_F(AscendorDll, ExportsTheFourEntryPoints) {
    for (const char* name : {"DllGetClassObject", "DllCanUnloadNow", "DllRegisterServer", "DllUnregisterServer"})
        EXPECT_NE(GetProcAddress(module_.get(), name), nullptr) << name;
}

TEST_F(AscendorDll, CanUnloadOnlyWithoutObjectsOrLocks) {
    EXPECT_EQ(canUnloadNow_(), S_OK);
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(getClassObject_(CLSID_MyPrivilegedObject, IID_IClassFactory, factory.put_void()), S_OK);
    ComPtr<IMyPrivilegedObject> object;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IMyPrivilegedObject, object.put_void()), S_OK);
    EXPECT_EQ(canUnloadNow_(), S_FALSE);
    ComPtr<IUnknown> same;
    EXPECT_EQ(object->QueryInterface(IID_IUnknown, same.put_void()), S_OK);
    same.reset();
    object.reset();
    EXPECT_EQ(canUnloadNow_(), S_OK);
    factory->LockServer(TRUE);
    EXPECT_EQ(canUnloadNow_(), S_FALSE);
    factory->LockServer(FALSE);
    EXPECT_EQ(canUnloadNow_(), S_OK);
    ComPtr<IClassFactory> other;
    EXPECT_EQ(getClassObject_(IID_IMyPrivilegedObject, IID_IClassFactory, other.put_void()), CLASS_E_CLASSNOTAVAILABLE);
}

}  // namespace
