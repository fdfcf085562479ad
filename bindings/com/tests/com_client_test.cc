// SPDX-License-Identifier: MIT

// morvane.dll from a C++ client, as a script engine uses it but with the
// records the engines cannot read: late-bound calls through IDispatch,
// record results, names in any letter case, raised errors through
// IErrorInfo, and the counts behind DllCanUnloadNow. The DLL is loaded
// from its path, without registration.
//
// Run under Wine by scripts/test-com.sh, in a prefix whose morvane.ini
// points at a wgsim on 127.0.0.1 serving examples/accounts.txt:
//   morvane_com_client_test DLL_PATH SECRET

#include <gtest/gtest.h>
#include <windows.h>
#include <wrl/client.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "morvane.h"

namespace {

using Microsoft::WRL::ComPtr;

std::wstring dll_path;
std::wstring secret;

using GetClassObjectFunction = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using CanUnloadNowFunction = HRESULT(STDAPICALLTYPE*)();

// The DLL, loaded for one test and unloaded after it.
class ComClientTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    module_ = LoadLibraryW(dll_path.c_str());
    ASSERT_NE(module_, nullptr) << "cannot load the DLL";
    get_class_object_ = Export<GetClassObjectFunction>("DllGetClassObject");
    can_unload_now_ = Export<CanUnloadNowFunction>("DllCanUnloadNow");
    ASSERT_NE(get_class_object_, nullptr);
    ASSERT_NE(can_unload_now_, nullptr);
  }
  void TearDown() override {
    if (module_ != nullptr) FreeLibrary(module_);
    CoUninitialize();
  }

  // An exported function of the DLL; through void* since FARPROC has no
  // parameters.
  template <class Function>
  Function Export(const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
  }

  ComPtr<IDispatch> NewWG() {
    ComPtr<IClassFactory> factory;
    EXPECT_EQ(get_class_object_(CLSID_WG, IID_IClassFactory, &factory), S_OK);
    ComPtr<IDispatch> wg;
    if (factory) {
      EXPECT_EQ(factory->CreateInstance(nullptr, IID_IDispatch, &wg), S_OK);
    }
    return wg;
  }

  HMODULE module_ = nullptr;
  GetClassObjectFunction get_class_object_ = nullptr;
  CanUnloadNowFunction can_unload_now_ = nullptr;
};

DISPID IdOf(IDispatch* object, const wchar_t* name) {
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  const HRESULT found = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  return SUCCEEDED(found) ? id : DISPID_UNKNOWN;
}

// A VARIANT that clears itself.
struct Value {
  VARIANT v;
  Value() { VariantInit(&v); }
  ~Value() { VariantClear(&v); }
  Value(const Value&) = delete;
  Value& operator=(const Value&) = delete;
};

// Calls `name` as a method with `args` (first to last) and the result in
// `result`; returns the HRESULT, and the exception's code and text.
HRESULT Call(IDispatch* object, const wchar_t* name, std::vector<VARIANT> args, VARIANT* result,
             EXCEPINFO* exception = nullptr) {
  std::vector<VARIANT> reversed(args.rbegin(), args.rend());
  DISPPARAMS params = {reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  EXCEPINFO ignored = {};
  UINT bad_argument = 0;
  const HRESULT hr =
      object->Invoke(IdOf(object, name), IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                     result, exception ? exception : &ignored, &bad_argument);
  for (VARIANT& arg : args) VariantClear(&arg);
  if (exception == nullptr) {
    SysFreeString(ignored.bstrSource);
    SysFreeString(ignored.bstrDescription);
    SysFreeString(ignored.bstrHelpFile);
  }
  return hr;
}

VARIANT Text(const std::wstring& text) {
  VARIANT v;
  V_VT(&v) = VT_BSTR;
  V_BSTR(&v) = SysAllocString(text.c_str());
  return v;
}
VARIANT Number(LONG number) {
  VARIANT v;
  V_VT(&v) = VT_I4;
  V_I4(&v) = number;
  return v;
}

void Property(IDispatch* object, const wchar_t* name, Value& value) {
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  EXPECT_EQ(object->Invoke(IdOf(object, name), IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET,
                           &none, &value.v, nullptr, nullptr),
            S_OK);
}
LONG LongProperty(IDispatch* object, const wchar_t* name) {
  Value value;
  Property(object, name, value);
  return V_VT(&value.v) == VT_I4 ? V_I4(&value.v) : -999999;
}
std::wstring TextProperty(IDispatch* object, const wchar_t* name) {
  Value value;
  Property(object, name, value);
  return V_VT(&value.v) == VT_BSTR && V_BSTR(&value.v) ? V_BSTR(&value.v) : L"?";
}

struct CommandCase {
  const wchar_t* member;
  std::vector<std::wstring> texts;  // arguments after the secret phrase
  LONG number = 0;                  // numeric argument appended, when set
  bool has_number = false;
  LONG error_number;
  LONG long_value;
  const wchar_t* string_value;
};

// Each command's record holds what the four properties then hold.
TEST_F(ComClientTest, CommandsReturnTheirRecordAndKeepItInTheProperties) {
  const CommandCase cases[] = {
      {L"UserIDExists", {L"Alice Smith"}, 0, false, 0, 1, L""},
      {L"UserIDExists", {L"Mallory"}, 0, false, 0, 0, L""},
      {L"NumberofCredits", {L"Alice Smith"}, 0, false, 0, 1200, L""},
      {L"PrimaryClass", {L"Alice Smith"}, 0, false, 0, 0, L"PAYING"},
      {L"GiveCredits", {L"bob"}, 50, true, 0, 1, L"No Error"},
      {L"GiveKey", {L"bob", L"A-KEY-LONGER-THAN-15"}, 0, false, -102, 0, L""},
      {L"SystemVariable", {}, 3, true, 0, 37, L"No Error"},
  };
  ComPtr<IDispatch> wg = NewWG();
  ASSERT_TRUE(wg);
  for (const CommandCase& c : cases) {
    SCOPED_TRACE(c.member);
    std::vector<VARIANT> args = {Text(secret)};
    for (const std::wstring& text : c.texts) args.push_back(Text(text));
    if (c.has_number) args.push_back(Number(c.number));
    Value result;
    ASSERT_EQ(Call(wg.Get(), c.member, args, &result.v), S_OK);
    ASSERT_EQ(V_VT(&result.v), VT_RECORD);
    IRecordInfo* info = V_RECORDINFO(&result.v);
    BSTR name = nullptr;
    ASSERT_EQ(info->GetName(&name), S_OK);
    EXPECT_STREQ(name, L"CommandReturn");
    SysFreeString(name);
    const auto* record = static_cast<const CommandReturn*>(V_RECORD(&result.v));
    EXPECT_EQ(record->error_object.number, c.error_number);
    EXPECT_EQ(record->long_value, c.long_value);
    EXPECT_STREQ(record->string_value ? record->string_value : L"", c.string_value);
    EXPECT_EQ(LongProperty(wg.Get(), L"error_number"), record->error_object.number);
    EXPECT_EQ(
        TextProperty(wg.Get(), L"error_description"),
        std::wstring(record->error_object.description ? record->error_object.description : L""));
    EXPECT_EQ(LongProperty(wg.Get(), L"answer_long"), record->long_value);
    EXPECT_EQ(TextProperty(wg.Get(), L"answer_string"), std::wstring(c.string_value));
  }
}

// Names are found whatever their letter case; unknown names are refused.
TEST_F(ComClientTest, NamesAreCaseBlind) {
  ComPtr<IDispatch> wg = NewWG();
  ASSERT_TRUE(wg);
  const struct {
    const wchar_t* name;
    DISPID id;
  } cases[] = {
      {L"UserIDExists", 0x60030006},    {L"useridexists", 0x60030006},
      {L"NUMBEROFCREDITS", 0x6003000c}, {L"Error_Number", 0x68030003},
      {L"logit", 0x60030022},           {L"NoSuchMember", DISPID_UNKNOWN},
  };
  for (const auto& c : cases) EXPECT_EQ(IdOf(wg.Get(), c.name), c.id) << c.name;
}

// DllCanUnloadNow says S_OK only without live objects and locks.
TEST_F(ComClientTest, CanUnloadNowCountsObjectsAndLocks) {
  EXPECT_EQ(can_unload_now_(), S_OK);
  ComPtr<IClassFactory> factory;
  ASSERT_EQ(get_class_object_(CLSID_WG, IID_IClassFactory, &factory), S_OK);
  EXPECT_EQ(can_unload_now_(), S_FALSE);
  ComPtr<IDispatch> wg;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IDispatch, &wg), S_OK);
  ASSERT_EQ(factory->LockServer(TRUE), S_OK);
  factory.Reset();
  EXPECT_EQ(can_unload_now_(), S_FALSE);  // the object and the lock
  wg.Reset();
  EXPECT_EQ(can_unload_now_(), S_FALSE);  // the lock
  ASSERT_EQ(get_class_object_(CLSID_WG, IID_IClassFactory, &factory), S_OK);
  ASSERT_EQ(factory->LockServer(FALSE), S_OK);
  factory.Reset();
  EXPECT_EQ(can_unload_now_(), S_OK);
}

// The settings file, replaced for one test and put back after it.
class SettingsFile {
 public:
  explicit SettingsFile(const std::string& record) {
    char directory[MAX_PATH] = {};
    GetWindowsDirectoryA(directory, MAX_PATH);
    path_ = std::string(directory) + "\\morvane.ini";
    std::ifstream in(path_, std::ios::binary);
    saved_.assign(std::istreambuf_iterator<char>(in), {});
    Write(record);
  }
  ~SettingsFile() { Write(saved_); }
  SettingsFile(const SettingsFile&) = delete;
  SettingsFile& operator=(const SettingsFile&) = delete;

 private:
  void Write(const std::string& bytes) {
    std::ofstream out(path_, std::ios::binary | std::ios::trunc);
    out << bytes;
  }
  std::string path_;
  std::string saved_;
};

// A port that is not a number is raised as Type mismatch (13), through the
// error object, and the properties keep the earlier call's values.
TEST_F(ComClientTest, PlatformErrorsAreRaisedWithTheirNumberAndText) {
  ComPtr<IDispatch> wg = NewWG();
  ASSERT_TRUE(wg);
  Value first;
  ASSERT_EQ(Call(wg.Get(), L"UserIDExists", {Text(secret), Text(L"Alice Smith")}, &first.v), S_OK);
  const SettingsFile bad_port("127.0.0.1           127.0.0.1           not-a-port          ");
  const struct {
    const wchar_t* member;
    bool command;
  } cases[] = {{L"GetLocalPort", false}, {L"NumberofCredits", true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.member);
    std::vector<VARIANT> args;
    if (c.command) args = {Text(secret), Text(L"Alice Smith")};
    EXCEPINFO exception = {};
    Value result;
    EXPECT_EQ(Call(wg.Get(), c.member, args, &result.v, &exception), DISP_E_EXCEPTION);
    EXPECT_EQ(exception.scode, static_cast<SCODE>(0x800A000D));
    EXPECT_STREQ(exception.bstrDescription, L"Type mismatch");
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
  }
  EXPECT_EQ(LongProperty(wg.Get(), L"error_number"), 0);
  EXPECT_EQ(LongProperty(wg.Get(), L"answer_long"), 1);
  ComPtr<ISupportErrorInfo> supports;
  ASSERT_EQ(wg.As(&supports), S_OK);
  EXPECT_EQ(supports->InterfaceSupportsErrorInfo(IID__WG), S_OK);
}

// Text that Windows-1252 cannot carry is refused with -109, nothing sent.
TEST_F(ComClientTest, TextOutsideTheCodePageIsRefused) {
  ComPtr<IDispatch> wg = NewWG();
  ASSERT_TRUE(wg);
  Value result;
  ASSERT_EQ(Call(wg.Get(), L"UserIDExists", {Text(secret), Text(L"\u0416enya")}, &result.v), S_OK);
  EXPECT_EQ(LongProperty(wg.Get(), L"error_number"), -109);
  // A character that it can carry goes through unchanged.
  ASSERT_EQ(Call(wg.Get(), L"UserIDExists", {Text(secret), Text(L"Andr\u00e9")}, &result.v), S_OK);
  EXPECT_EQ(LongProperty(wg.Get(), L"error_number"), 0);
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: morvane_com_client_test DLL_PATH SECRET\n");
    return 2;
  }
  const auto wide = [](const char* text) {
    const int size = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    std::wstring result(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, result.data(), size);
    result.resize(static_cast<size_t>(size) - 1);
    return result;
  };
  dll_path = wide(argv[1]);
  secret = wide(argv[2]);
  return RUN_ALL_TESTS();
}
