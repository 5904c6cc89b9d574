// KorvanelPage.dll as Outlook's Options dialog holds it: created by its ProgID, activated in
// place in a real dialog whose client site answers PropertyPageSite, its controls' windows
// compared with the page's layout, driven by clicks and selections on those windows, its
// Dirty read after OnStatusChange and its Apply called by the dialog's OK and Apply.
#include <initguid.h>
#include <ocidl.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "optionspage/page_layout.h"
#include "optionspage/page_messages.h"
#include "profile/account_store.h"
#include "profile/profile_key.h"
#include "profile/profile_settings.h"
#include "win/com/com_registration.h"
#include "win/page/page_window.h"
#include "win/system/advapi_registry.h"
#include "win/tests/com_test_support.h"
#include "win/tests/dialog_answerer.h"
#include "win/tests/dialog_property_page.h"
#include "win/tests/options_dialog_host.h"
#include "win/tests/page_outlook.h"
#include "win/tests/page_windows.h"
#include "win/tests/scripted_object.h"

namespace korvanel::win::testing {
namespace {

using text::Text;
using text::TextView;

constexpr const char16_t* kProfile = kPageProfile;

bool hasStyle(HWND window, DWORD style) {
  return (static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)) & style) != 0;
}

Text windowText(HWND window) {
  wchar_t buffer[512] = {};
  GetWindowTextW(window, buffer, 512);
  return fromWide(buffer);
}

int dpi(int index) {
  HDC screen = GetDC(nullptr);
  const int value = GetDeviceCaps(screen, index);
  ReleaseDC(nullptr, screen);
  return value;
}

bool isFolderControl(TextView name) {
  for (TextView n :
       {u"Frame2", u"List4", u"cmdAddFolder", u"cmdDeleteFolder", u"cmdDeleteAllFolders"}) {
    if (n == name) return true;
  }
  return false;
}

class PageControl : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(
        seedPageProfile(registry, {u"SMTP:pat@contoso.com", u"smtp:sales@contoso.com"},
                        {{u"Sales", u"sales@contoso.com"}, {u"Support", u"support@contoso.com"}}));
  }
  void TearDown() override {
    host.reset();
    removePageProfile(registry);
  }
  void seedIdentity(TextView name, TextView email) {
    profile::AccountStore store(registry);
    const std::uint32_t id = store.GetNextAccountID(kProfile);
    ASSERT_TRUE(store.CreateIdentityAccount(
        kProfile, id, u"EX [" + Text(name) + u" <" + Text(email) + u">]", name, email, u"", u""));
  }

  void open() {
    host = std::make_unique<OptionsDialogHost>(ComPtr<IDispatch>(outlook.application.get()));
    ASSERT_TRUE(host->open(u"Korvanel.KorvanelPage", u"Options"));
    ASSERT_NE(host->pageWindow(), nullptr);
  }

  PageWindows ui() { return PageWindows(host->pageWindow()); }
  HWND control(TextView name) { return ui().control(name); }
  void click(TextView name) { ui().click(name); }
  void select(TextView list, long row) { ui().select(list, row); }
  std::vector<Text> rows(TextView list) { return ui().rows(list); }
  bool enabled(TextView name) { return ui().enabled(name); }
  bool applyEnabled() { return IsWindowEnabled(GetDlgItem(host->dialog(), kApplyButtonId)); }
  void pressApply() { SendMessageW(GetDlgItem(host->dialog(), kApplyButtonId), BM_CLICK, 0, 0); }

  // The identity accounts of the profile, as display names in their order.
  Text identityNames() {
    profile::AccountStore reader(registry);
    reader.LoadProfileSmtpAddresses(kProfile);
    reader.EnumIdentityAccounts(kProfile);
    return reader.IdentityLists().DisplayNames;
  }
  Text replyFormat() {
    return Text(
        text::trimNull(profile::ProfileSettings(registry).LoadReplyAddressFormat(kProfile)));
  }

  AdvapiRegistry registry;
  FakeOutlook outlook{GetParam()};
  const page::PageLayout layout;
  std::unique_ptr<OptionsDialogHost> host;
};

TEST_P(PageControl, EveryControlStandsWhereTheLayoutPutsIt) {
  open();
  const int dpiX = dpi(LOGPIXELSX);
  const int dpiY = dpi(LOGPIXELSY);
  HWND page = host->pageWindow();
  RECT area;
  GetClientRect(page, &area);
  EXPECT_EQ(area.right, twipsToPixels(layout.width, dpiX));
  EXPECT_EQ(area.bottom, twipsToPixels(layout.height, dpiY));

  for (const page::Control* c : layout.controls()) {
    const std::string name = text::toUtf8(c->name);
    HWND w = control(c->name);
    ASSERT_NE(w, nullptr) << name;
    long left = c->position.left;
    long top = c->position.top;
    if (const page::Control* frame = layout.find(c->container)) {
      left += frame->position.left;
      top += frame->position.top;
    }
    RECT r;
    GetWindowRect(w, &r);
    MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, MulDiv(left, dpiX, 1440)) << name;
    EXPECT_EQ(r.top, MulDiv(top, dpiY, 1440)) << name;
    EXPECT_EQ(r.right - r.left, MulDiv(c->position.width, dpiX, 1440)) << name;
    EXPECT_EQ(r.bottom - r.top, MulDiv(c->position.height, dpiY, 1440)) << name;

    Text caption = c->kind == page::ControlKind::kListBox ? Text() : c->caption;
    if (c->name == u"lblDefAddress") caption = u"Pat Doe <pat@contoso.com>  (Default)";
    if (c->name == u"Label4(0)") caption = u"Korvanel ver. 1.0.1";
    EXPECT_EQ(windowText(w), caption) << name;

    // The data lists are never shown; the folder group only on Outlook 2003.
    const bool visible = c->visible && !(GetParam() >= 12 && isFolderControl(c->name));
    EXPECT_EQ(hasStyle(w, WS_VISIBLE), visible) << name;
  }
  EXPECT_EQ(rows(u"List1"),
            (std::vector<Text>{u"Sales <sales@contoso.com>", u"Support <support@contoso.com>"}));
  EXPECT_EQ(SendMessageW(control(u"Option1(2)"), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_FALSE(enabled(u"cmdRemove"));
  EXPECT_TRUE(enabled(u"cmdRemoveAll"));
}

TEST_P(PageControl, ClicksRunThePageAndTheDialogAppliesIt) {
  open();
  EXPECT_FALSE(applyEnabled());
  select(u"List1", 0);
  EXPECT_TRUE(enabled(u"cmdRemove"));
  EXPECT_TRUE(enabled(u"cmdMoveDown"));
  EXPECT_FALSE(enabled(u"cmdMoveUp"));
  EXPECT_EQ(host->statusChanges(), 0);  // a selection changes nothing

  click(u"cmdMoveDown");
  EXPECT_EQ(rows(u"List1"),
            (std::vector<Text>{u"Support <support@contoso.com>", u"Sales <sales@contoso.com>"}));
  EXPECT_EQ(SendMessageW(control(u"List1"), LB_GETCURSEL, 0, 0), 1);
  EXPECT_TRUE(enabled(u"cmdMoveUp"));
  EXPECT_FALSE(enabled(u"cmdMoveDown"));
  // The page told its site, and the dialog read Dirty and enabled Apply.
  EXPECT_GE(host->statusChanges(), 1);
  EXPECT_TRUE(host->pageDirty());
  EXPECT_TRUE(applyEnabled());

  click(u"Option1(0)");
  EXPECT_EQ(SendMessageW(control(u"Option1(0)"), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageW(control(u"Option1(2)"), BM_GETCHECK, 0, 0), BST_UNCHECKED);

  DialogAnswerer boxes(host->dialog());
  boxes.answer({u"No"});
  pressApply();
  ASSERT_EQ(boxes.seen().size(), 1u);
  EXPECT_EQ(boxes.seen()[0].title, u"Korvanel");
  EXPECT_EQ(boxes.seen()[0].text, page::kRestartQuestion);
  EXPECT_EQ(identityNames(), u"Support\tSales");
  EXPECT_EQ(replyFormat(), u"0");
  EXPECT_FALSE(host->pageDirty());
  EXPECT_FALSE(applyEnabled());

  // OK on a clean page closes without applying; without a restart Outlook keeps running.
  SendMessageW(GetDlgItem(host->dialog(), IDOK), BM_CLICK, 0, 0);
  EXPECT_FALSE(host->isOpen());
  EXPECT_EQ(boxes.seen().size(), 1u);
  EXPECT_EQ(outlook.quits, 0);
}

TEST_P(PageControl, AddTakesWhatIsTypedIntoTheInputBoxAndAsksAgainUntilItIsAnIdentity) {
  open();
  DialogAnswerer boxes(host->dialog());
  boxes.answer({u"nobody", u"Help Desk help@contoso.com"});
  click(u"cmdAdd");
  ASSERT_EQ(boxes.seen().size(), 2u);
  for (const SeenBox& box : boxes.seen()) {
    EXPECT_TRUE(box.input);
    EXPECT_EQ(box.title, u"Korvanel");
    EXPECT_EQ(box.text.rfind(page::kAddPrompt, 0), 0u);
  }
  EXPECT_EQ(rows(u"List1"),
            (std::vector<Text>{u"Sales <sales@contoso.com>", u"Support <support@contoso.com>",
                               u"Help Desk <help@contoso.com>"}));
  EXPECT_TRUE(host->pageDirty());
  EXPECT_TRUE(applyEnabled());

  // Cancel in the input box adds nothing.
  boxes.answer({kCancelInput});
  click(u"cmdAdd");
  EXPECT_EQ(boxes.seen().size(), 3u);
  EXPECT_EQ(rows(u"List1").size(), 3u);
  host->pressCancel();
}

TEST_P(PageControl, AcceptingTheRestartClosesTheDialogAndRestartsOutlook) {
  open();
  click(u"Option1(0)");
  DialogAnswerer boxes(host->dialog());
  boxes.answer({u"Yes"});
  pressApply();
  ASSERT_EQ(boxes.seen().size(), 1u);
  EXPECT_EQ(boxes.seen()[0].text, page::kRestartQuestion);
  EXPECT_EQ(replyFormat(), u"0");
  // The Esc the page typed reaches the dialog, which closes; the page's end has the add-in
  // restart Outlook.
  host->pumpMessages();
  EXPECT_FALSE(host->isOpen());
  EXPECT_EQ(outlook.isRestart, 1);
  EXPECT_EQ(outlook.quits, 1);
}

TEST_P(PageControl, RemovingARowAsksFirst) {
  open();
  select(u"List1", 1);
  DialogAnswerer boxes(host->dialog());
  boxes.answer({u"No", u"Yes"});
  click(u"cmdRemove");
  EXPECT_EQ(rows(u"List1").size(), 2u);
  EXPECT_FALSE(host->pageDirty());
  click(u"cmdRemove");
  EXPECT_EQ(rows(u"List1"), (std::vector<Text>{u"Sales <sales@contoso.com>"}));
  ASSERT_EQ(boxes.seen().size(), 2u);
  EXPECT_EQ(boxes.seen()[1].text, page::kDeleteSelectedQuestion);
  EXPECT_FALSE(enabled(u"cmdRemove"));
  EXPECT_TRUE(host->pageDirty());
  // Cancel forgets the change.
  host->pressCancel();
  EXPECT_EQ(identityNames(), u"Sales\tSupport");
}

TEST_P(PageControl, ALongRowScrollsSideways) {
  seedIdentity(u"Pat Doe", u"a.rather.long.address.that.needs.scrolling@subsidiary.contoso.com");
  open();
  HWND list = control(u"List1");
  RECT client;
  GetClientRect(list, &client);
  const LRESULT extent = SendMessageW(list, LB_GETHORIZONTALEXTENT, 0, 0);
  EXPECT_GT(extent, client.right);
  SCROLLBARINFO bar = {};
  bar.cbSize = sizeof bar;
  ASSERT_TRUE(GetScrollBarInfo(list, OBJID_HSCROLL, &bar));
  EXPECT_FALSE(bar.rgstate[0] & STATE_SYSTEM_INVISIBLE);

  DialogAnswerer boxes(host->dialog());
  boxes.answer({u"Yes"});
  click(u"cmdRemoveAll");
  EXPECT_TRUE(rows(u"List1").empty());
  EXPECT_EQ(SendMessageW(list, LB_GETHORIZONTALEXTENT, 0, 0), 0);
  ASSERT_TRUE(GetScrollBarInfo(list, OBJID_HSCROLL, &bar));
  EXPECT_TRUE(bar.rgstate[0] & STATE_SYSTEM_INVISIBLE);
}

TEST_P(PageControl, TabMovesThroughThePageAndEscClosesTheDialog) {
  open();
  SetFocus(control(u"List1"));
  MSG tab = {control(u"List1"), WM_KEYDOWN, VK_TAB, 0, 0, {0, 0}};
  EXPECT_TRUE(host->translate(&tab));
  // Change is disabled until a row is selected: Tab goes on to Add.
  EXPECT_EQ(GetFocus(), control(u"cmdAdd"));

  MSG escape = {GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0, 0, {0, 0}};
  EXPECT_TRUE(host->translate(&escape));
  EXPECT_FALSE(host->isOpen());
}

TEST_P(PageControl, WithoutTheAddInThePageShowsItsLayoutWritesNothingAndSaysSo) {
  outlook.addInLoaded = false;
  open();
  EXPECT_TRUE(rows(u"List1").empty());
  EXPECT_EQ(windowText(control(u"lblDefAddress")), u"");
  click(u"Option1(1)");
  EXPECT_TRUE(host->pageDirty());
  DialogAnswerer boxes(host->dialog());
  boxes.answer({u"OK"});
  host->pressOk();
  ASSERT_EQ(boxes.seen().size(), 1u);
  EXPECT_EQ(boxes.seen()[0].text, page::kNothingSavedNotice);
  EXPECT_EQ(replyFormat(), u"");
  EXPECT_EQ(identityNames(), u"Sales\tSupport");
}

TEST_P(PageControl, AClosedPageLetsGoOfOutlook) {
  open();
  ComPtr<IOleObject> control(host->control());
  DWORD misc = 0;
  EXPECT_EQ(control->GetMiscStatus(DVASPECT_CONTENT, &misc), S_OK);
  EXPECT_EQ(misc, 131473u);
  ComPtr<IOleControl> ole = control.as<IOleControl>();
  ASSERT_TRUE(ole);
  CONTROLINFO info = {};
  info.cb = sizeof info;
  EXPECT_EQ(ole->GetControlInfo(&info), S_OK);
  EXPECT_EQ(info.cAccel, 0);
  control.reset();
  ole.reset();
  host->close();
  host.reset();  // the dialog's own reference
  EXPECT_EQ(outlook.application->references(), 1u);
  EXPECT_EQ(outlook.connect->references(), 1u);
}

// A key's values and subkeys, as read back to be written again.
struct KeyCopy {
  std::wstring name;
  std::vector<std::tuple<std::wstring, DWORD, std::vector<BYTE>>> values;
  std::vector<KeyCopy> children;
};

KeyCopy readKey(HKEY key, std::wstring name) {
  KeyCopy copy{std::move(name), {}, {}};
  for (DWORD i = 0;; ++i) {
    wchar_t value[256];
    DWORD valueLength = 256;
    BYTE data[4096];
    DWORD size = sizeof data;
    DWORD type = 0;
    if (RegEnumValueW(key, i, value, &valueLength, nullptr, &type, data, &size) != ERROR_SUCCESS)
      break;
    copy.values.emplace_back(value, type, std::vector<BYTE>(data, data + size));
  }
  for (DWORD i = 0;; ++i) {
    wchar_t child[256];
    DWORD childLength = 256;
    if (RegEnumKeyExW(key, i, child, &childLength, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS)
      break;
    HKEY sub = nullptr;
    if (RegOpenKeyExW(key, child, 0, KEY_READ, &sub) != ERROR_SUCCESS) continue;
    copy.children.push_back(readKey(sub, child));
    RegCloseKey(sub);
  }
  return copy;
}

bool writeVolatile(HKEY parent, const KeyCopy& copy) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(parent, copy.name.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                      nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  bool ok = true;
  for (const auto& [name, type, data] : copy.values) {
    ok = ok && RegSetValueExW(key, name.c_str(), 0, type, data.data(),
                              static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
  }
  for (const KeyCopy& child : copy.children) ok = ok && writeVolatile(key, child);
  RegCloseKey(key);
  return ok;
}

// The profile's accounts made again as a volatile key, holding what they held: a volatile
// key takes no lasting subkey, so every account the page writes there fails to be created,
// as on a registry that refuses the page's writes.
void refuseNewAccounts(platform::Registry& registry) {
  const std::wstring path = toWide(profile::ProfileKeyPath(kProfile));
  const std::wstring section = toWide(profile::kAccountManagerSection);
  HKEY profileKey = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_ALL_ACCESS, &profileKey),
            ERROR_SUCCESS);
  HKEY accounts = nullptr;
  ASSERT_EQ(RegOpenKeyExW(profileKey, section.c_str(), 0, KEY_READ, &accounts), ERROR_SUCCESS);
  const KeyCopy copy = readKey(accounts, section);
  RegCloseKey(accounts);
  EXPECT_EQ(
      deleteKeyTree(registry, platform::kHkeyCurrentUser, profile::AccountManagerKey(kProfile)),
      platform::kRegSuccess);
  EXPECT_TRUE(writeVolatile(profileKey, copy));
  RegCloseKey(profileKey);
}

TEST_P(PageControl, AnApplyThatCannotWriteSaysWhichIdentitiesWereNotSaved) {
  refuseNewAccounts(registry);
  open();
  click(u"Option1(1)");
  select(u"List1", 0);
  click(u"cmdMoveDown");
  DialogAnswerer boxes(host->dialog());
  boxes.answer({u"OK"});
  pressApply();
  // A notice, not the restart question: the profile lacks what the page shows.
  ASSERT_EQ(boxes.seen().size(), 1u);
  EXPECT_EQ(boxes.seen()[0].title, u"Korvanel");
  EXPECT_EQ(boxes.seen()[0].text,
            Text(page::kIdentitiesNotSavedNotice) +
                u"\rSupport <support@contoso.com>\rSales <sales@contoso.com>");
  EXPECT_EQ(boxes.seen()[0].answer, u"OK");
  // Nothing is lost: the accounts stay as they were, and what could be written is.
  EXPECT_EQ(identityNames(), u"Sales\tSupport");
  EXPECT_EQ(replyFormat(), u"1");
  EXPECT_EQ(outlook.quits, 0);
  EXPECT_EQ(outlook.isRestart, 0);
  host->pressCancel();
}

// A folder as the page reads it: its ids, its name and its parent folder.
ComPtr<ScriptedObject> scriptedFolder(TextView entryId, TextView storeId,
                                      const ComPtr<ScriptedObject>& parent = {}) {
  ComPtr<ScriptedObject> folder = makeComObject<ScriptedObject>();
  folder->member(u"Class", 0xF00A, [](VARIANT* r) { return returnLong(r, 2); });
  folder->member(u"EntryID", 0xF01E,
                 [id = Text(entryId)](VARIANT* r) { return returnText(r, id); });
  folder->member(u"StoreID", 0x3133,
                 [id = Text(storeId)](VARIANT* r) { return returnText(r, id); });
  folder->member(u"Name", 0x2102, [id = Text(entryId)](VARIANT* r) { return returnText(r, id); });
  folder->member(u"Parent", 0xF001, [parent](VARIANT* r) { return returnObject(r, parent.get()); });
  return folder;
}

TEST_P(PageControl, OnlyAFolderOfTheDefaultStoreThatIsNoDefaultFolderQualifies) {
  // Every default folder of this profile is its Inbox, under the default store's root.
  ComPtr<ScriptedObject> root = scriptedFolder(u"E-ROOT", u"S-DEFAULT");
  ComPtr<ScriptedObject> inbox = scriptedFolder(u"E-INBOX", u"S-DEFAULT", root);
  ComPtr<ScriptedObject> mapi = makeComObject<ScriptedObject>();
  mapi->member(u"GetDefaultFolder", 0x2103,
               [&](VARIANT* r) { return returnObject(r, inbox.get()); });
  outlook.application->member(u"GetNamespace", 0x110,
                              [&](VARIANT* r) { return returnObject(r, mapi.get()); });
  open();
  ComPtr<IDispatch> page = ComPtr<IOleObject>(host->control()).as<IDispatch>();
  ASSERT_TRUE(page);
  const auto proper = [&](const ComPtr<ScriptedObject>& folder) {
    VARIANT argument;
    VariantInit(&argument);
    argument.vt = VT_DISPATCH;
    argument.pdispVal = folder.get();
    ComVariant result;
    EXPECT_EQ(callMethod(page.get(), u"IsProperFolder", {argument}, result.put()), S_OK);
    return result.type() == VT_BOOL && result.get().boolVal != VARIANT_FALSE;
  };
  EXPECT_TRUE(proper(scriptedFolder(u"E-PROJECTS", u"S-DEFAULT", root)));
  EXPECT_FALSE(proper(inbox));
  EXPECT_FALSE(proper(scriptedFolder(u"E-OLD", u"S-ARCHIVE")));
  host->close();
}

// The served Outlook's side: its simulated dialog holds the real control through
// platform::PropertyPage, and the real dialog's buttons go back to it.
class CountingSite final : public platform::PropertyPageSite {
 public:
  platform::ApplicationPtr application() override { return nullptr; }
  void onStatusChange() override { ++changes; }
  int changes = 0;
};

TEST_P(PageControl, ASimulatedDialogHoldsTheRealPage) {
  std::vector<int> buttons;
  DialogPropertyPage page(
      u"Korvanel.KorvanelPage",
      [this](const platform::PropertyPageSitePtr&) {
        return ComPtr<IDispatch>(outlook.application.get());
      },
      [&](int button) { buttons.push_back(button); });
  auto site = std::make_shared<CountingSite>();
  page.initProperties(site);
  ASSERT_NE(page.host(), nullptr);
  PageWindows windows(page.host()->pageWindow());
  EXPECT_EQ(windows.rows(u"List1").size(), 2u);
  EXPECT_FALSE(page.dirty());

  ASSERT_TRUE(windows.click(u"Option1(1)"));
  EXPECT_EQ(site->changes, 1);
  EXPECT_TRUE(page.dirty());
  {
    DialogAnswerer boxes(page.host()->dialog());
    boxes.answer({u"No"});
    page.apply();
    EXPECT_EQ(boxes.seen().size(), 1u);
  }
  EXPECT_EQ(replyFormat(), u"1");
  EXPECT_FALSE(page.dirty());

  // Esc in the real dialog is the simulated dialog's to handle.
  MSG escape = {windows.control(u"List1"), WM_KEYDOWN, VK_ESCAPE, 0, 0, {0, 0}};
  page.host()->translate(&escape);
  EXPECT_EQ(buttons, std::vector<int>{IDCANCEL});
  EXPECT_TRUE(page.host()->isOpen());
  page.onTerminate();
  EXPECT_EQ(page.host(), nullptr);
  EXPECT_EQ(outlook.connect->references(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Outlook, PageControl, ::testing::Values(11, 12),
                         [](const auto& info) { return "Outlook" + std::to_string(info.param); });

}  // namespace
}  // namespace korvanel::win::testing
