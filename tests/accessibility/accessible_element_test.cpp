// The accessible objects against what a careless or late client sends: wrong child ids and
// VARIANT types, null out pointers, bogus WM_GETOBJECT and button ids, and calls after the window
// was cut loose, which must answer CO_E_OBJNOTCONNECTED and read nothing.

#include <gtest/gtest.h>
#include <oleacc.h>

#include "accessibility/window_accessibility.h"
#include "host/player_codes.h"
#include "tests/commands/commands_fixture.h"

namespace tarnix::test {
namespace {

VARIANT Id(LONG child) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = child;
  return v;
}

class AccessibleElementTest : public CommandsTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    UseSingleTrack("Concert", {90000, 120000});
    ASSERT_EQ(AccessibleObjectFromWindow(ThePlugin().window(), static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                         reinterpret_cast<void**>(&client_)),
              S_OK);
  }
  void TearDown() override {
    if (client_) client_->Release();
    CoUninitialize();
  }

  IAccessible* client_ = nullptr;
};

TEST_F(AccessibleElementTest, WrongIdsTypesAndPointersAreRefused) {
  BSTR name = nullptr;
  EXPECT_EQ(client_->get_accName(Id(2), &name), S_OK);  // the list, by its id
  SysFreeString(name);
  name = nullptr;
  for (LONG child : {9L, 0x10000L + 3, -5L, 0x7FFFFFFFL}) {
    EXPECT_EQ(client_->get_accName(Id(child), &name), E_INVALIDARG) << child;
    EXPECT_EQ(name, nullptr);
  }
  VARIANT text;
  VariantInit(&text);
  text.vt = VT_BSTR;
  text.bstrVal = nullptr;
  EXPECT_EQ(client_->get_accName(text, &name), E_INVALIDARG);
  EXPECT_EQ(client_->get_accName(Id(CHILDID_SELF), nullptr), E_POINTER);
  EXPECT_EQ(client_->accLocation(nullptr, nullptr, nullptr, nullptr, Id(CHILDID_SELF)), E_POINTER);
  VARIANT out;
  VariantInit(&out);
  EXPECT_EQ(client_->accNavigate(99, Id(CHILDID_SELF), &out), E_INVALIDARG);
  EXPECT_EQ(out.vt, VT_EMPTY);
  // One row is selected at a time.
  EXPECT_EQ(client_->accSelect(SELFLAG_ADDSELECTION, Id(0x10000 + 1)), E_INVALIDARG);
  EXPECT_EQ(client_->accSelect(SELFLAG_TAKESELECTION, Id(0x10000 + 1)), S_OK);
  EXPECT_EQ(View().SelectedRow(), 1);

  // Object ids that are not the client's (-25 is UI Automation's root), and buttons that do not
  // exist, are left alone.
  EXPECT_EQ(SendMessageW(ThePlugin().window(), WM_GETOBJECT, 0, static_cast<LPARAM>(12345)), 0);
  EXPECT_EQ(SendMessageW(ThePlugin().window(), WM_GETOBJECT, 0, static_cast<LPARAM>(static_cast<LONG>(-25))), 0);
  const int32_t rows = View().RowCount();
  PostMessageW(ThePlugin().window(), UM_PRESS_BUTTON, 5, 0);
  PostMessageW(ThePlugin().window(), UM_PRESS_BUTTON, static_cast<WPARAM>(-1), 0);
  ASSERT_TRUE(Pump());
  EXPECT_EQ(View().RowCount(), rows);
}

TEST_F(AccessibleElementTest, NavigationWalksTheChildrenAndStopsAtTheEnds) {
  // Above the client area is the window the system describes (Wine's answers few questions).
  IDispatch* parent = nullptr;
  ASSERT_EQ(client_->get_accParent(&parent), S_OK);
  ASSERT_NE(parent, nullptr);
  IAccessible* window = nullptr;
  parent->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(&window));
  parent->Release();
  ASSERT_NE(window, nullptr);
  EXPECT_NE(window, client_);
  window->Release();
  VARIANT out;
  VariantInit(&out);
  ASSERT_EQ(client_->accNavigate(NAVDIR_FIRSTCHILD, Id(CHILDID_SELF), &out), S_OK);
  ASSERT_EQ(out.vt, VT_DISPATCH);
  IAccessible* title = nullptr;
  out.pdispVal->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(&title));
  out.pdispVal->Release();
  ASSERT_NE(title, nullptr);
  VariantInit(&out);
  EXPECT_EQ(title->accNavigate(NAVDIR_PREVIOUS, Id(CHILDID_SELF), &out), S_FALSE);
  EXPECT_EQ(title->accNavigate(NAVDIR_NEXT, Id(CHILDID_SELF), &out), S_OK);
  ASSERT_EQ(out.vt, VT_DISPATCH);
  IAccessible* list = nullptr;
  out.pdispVal->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(&list));
  out.pdispVal->Release();
  ASSERT_NE(list, nullptr);
  VARIANT role;
  VariantInit(&role);
  EXPECT_EQ(list->get_accRole(Id(CHILDID_SELF), &role), S_OK);
  EXPECT_EQ(role.lVal, ROLE_SYSTEM_LIST);
  const LONG rows = View().RowCount();
  VariantInit(&out);
  EXPECT_EQ(list->accNavigate(NAVDIR_NEXT, Id(rows), &out), S_FALSE);
  EXPECT_EQ(list->accNavigate(NAVDIR_LASTCHILD, Id(CHILDID_SELF), &out), S_OK);
  ASSERT_EQ(out.vt, VT_DISPATCH);
  out.pdispVal->Release();
  title->Release();
  list->Release();
}

TEST_F(AccessibleElementTest, ObjectsOfAGoneWindowReadNothing) {
  IDispatch* rowDispatch = nullptr;
  ASSERT_EQ(client_->get_accChild(Id(0x10000), &rowDispatch), S_OK);
  ThePlugin().accessibility()->Disconnect();
  for (IUnknown* object : {static_cast<IUnknown*>(client_), static_cast<IUnknown*>(rowDispatch)}) {
    IAccessible* accessible = nullptr;
    ASSERT_EQ(object->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(&accessible)), S_OK);
    BSTR name = nullptr;
    EXPECT_EQ(accessible->get_accName(Id(CHILDID_SELF), &name), CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(name, nullptr);
    long count = 7;
    EXPECT_EQ(accessible->get_accChildCount(&count), CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(accessible->accDoDefaultAction(Id(CHILDID_SELF)), CO_E_OBJNOTCONNECTED);
    accessible->Release();
  }
  rowDispatch->Release();
  // Nothing is answered for the window any more.
  EXPECT_EQ(SendMessageW(ThePlugin().window(), WM_GETOBJECT, 0, static_cast<LPARAM>(static_cast<LONG>(OBJID_CLIENT))),
            0);
}

}  // namespace
}  // namespace tarnix::test
