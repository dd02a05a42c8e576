// Automation calls by member name against an object of the test's own: the arguments and the named
// argument of a property put as the object receives them, and the failures of a run, returned four
// times and thrown from the fifth on.
#include <windows.h>
#include <oaidl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/interchange/office_automation.h"

namespace {

// An automation object that knows one member, "Visible" (id 7), and answers every call with result.
class FakeObject final : public IDispatch {
public:
    HRESULT result = S_OK;
    std::vector<WORD> flags;
    std::vector<UINT> argumentCounts;
    std::vector<DISPID> namedArguments;
    std::vector<LONG> firstArguments;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
        *out = this;
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        if (count != 1 || lstrcmpW(names[0], L"Visible") != 0) return DISP_E_UNKNOWNNAME;
        ids[0] = 7;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD how, DISPPARAMS* parameters, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        flags.push_back(how);
        argumentCounts.push_back(parameters->cArgs);
        namedArguments.push_back(parameters->cNamedArgs == 1 ? parameters->rgdispidNamedArgs[0] : 0);
        firstArguments.push_back(parameters->cArgs > 0 && V_VT(&parameters->rgvarg[0]) == VT_I4 ? V_I4(&parameters->rgvarg[0]) : -1);
        return result;
    }
};

VARIANT integer(LONG value) {
    VARIANT v;
    VariantInit(&v);
    V_VT(&v) = VT_I4;
    V_I4(&v) = value;
    return v;
}

}  // namespace

TEST(OfficeAutomation, CallsReachTheObjectAndFailuresAreCountedOverTheRun) {
    FakeObject object;
    VARIANT one = integer(1);
    EXPECT_EQ(gui::InvokeByName(DISPATCH_PROPERTYPUT, nullptr, nullptr, "Visible", 1, &one), 0) << "no target";
    EXPECT_EQ(gui::InvokeByName(DISPATCH_METHOD, nullptr, &object, "Quit", 0, nullptr), DISP_E_UNKNOWNNAME);
    ASSERT_EQ(gui::InvokeByName(DISPATCH_PROPERTYPUT, nullptr, &object, "Visible", 1, &one), S_OK);
    ASSERT_EQ(object.flags.size(), 1u);
    EXPECT_EQ(object.flags[0], DISPATCH_PROPERTYPUT);
    EXPECT_EQ(object.argumentCounts[0], 1u);
    EXPECT_EQ(object.namedArguments[0], DISPID_PROPERTYPUT);
    EXPECT_EQ(object.firstArguments[0], 1);

    // A failed name lookup is no failed call: the next four failures are returned, the fifth throws.
    object.result = E_FAIL;
    for (int failure = 1; failure <= 4; ++failure)
        EXPECT_EQ(gui::InvokeByName(DISPATCH_PROPERTYGET, nullptr, &object, "Visible", 0, nullptr), E_FAIL) << failure;
    EXPECT_THROW(gui::InvokeByName(DISPATCH_PROPERTYGET, nullptr, &object, "Visible", 0, nullptr),
                 gui::ExcelErrorException);
    object.result = S_OK;
    EXPECT_EQ(gui::InvokeByName(DISPATCH_PROPERTYGET, nullptr, &object, "Visible", 0, nullptr), S_OK);
    EXPECT_EQ(object.namedArguments.back(), 0) << "only a property put names its argument";
}
