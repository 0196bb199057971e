// What a screen reader finds in the toolkit's windows under Wine, read through the system's
// accessibility interface as a screen reader reads it: the names labels give, the roles, values and
// marks of controls the program paints, the check list's items moved and turned over by the keyboard;
// and the keyboard's way back to its control after another window had it.
#include "AccessibleReading.h"
#include "SmallForm.h"

#include "toolkit/Accessibility.h"
#include "toolkit/CheckListBox.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/Gauges.h"
#include "toolkit/StdCtrls.h"

#include <ole2.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace yar {
namespace {

using test::SmallForm;

TEST(AccessibleText, CaptionsAsTheyAreSaid) {
    const struct {
        const char* Caption;
        const char* Said;
    } cases[] = {
        {"&Next", "Next"},
        {"Save && Exit", "Save & Exit"},
        {" Destination  Directory ", "Destination  Directory"},
        {"End&", "End"},
        {"", ""},
        {"   ", ""},
        {"A&&&B", "A&B"},
    };
    for (const auto& c : cases) EXPECT_EQ(AccessibleText(c.Caption), c.Said) << c.Caption;
}

TEST(PercentValue, WholePercentDoneRoundedDown) {
    const struct {
        int Position, Min, Max;
        const char* Value;
    } cases[] = {
        {45, 0, 100, "45%"}, {1, 0, 3, "33%"},    {2, 0, 3, "66%"},
        {3, 0, 3, "100%"},   {15, 10, 20, "50%"}, {5, 5, 5, "0%"},
        {-4, 0, 8, "0%"},    {9, 0, 8, "100%"},   {0, -2147483647 - 1, 2147483647, "50%"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PercentValue(c.Position, c.Min, c.Max), c.Value)
            << c.Position << " of " << c.Min << ".." << c.Max;
}

// One object as a screen reader reads it.
struct TRead {
    long Role = 0;
    std::string Name;
    std::string Value;
    long State = 0;
};

TRead Read(IAccessible* acc, long id) {
    TRead read;
    VARIANT v;
    VariantInit(&v);
    if (SUCCEEDED(acc->get_accRole(LongVariant(id), &v)) && v.vt == VT_I4) read.Role = v.lVal;
    VariantInit(&v);
    if (SUCCEEDED(acc->get_accState(LongVariant(id), &v)) && v.vt == VT_I4) read.State = v.lVal;
    BSTR text = nullptr;
    if (acc->get_accName(LongVariant(id), &text) == S_OK) read.Name = TakeBstrText(text);
    text = nullptr;
    if (acc->get_accValue(LongVariant(id), &text) == S_OK) read.Value = TakeBstrText(text);
    return read;
}

class AccessibilityTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr))); }
    void TearDown() override {
        for (IAccessible* acc : FObjects) acc->Release();
        CoUninitialize();
    }

    IAccessible* ObjectOf(HWND window) {
        IAccessible* acc = nullptr;
        EXPECT_TRUE(SUCCEEDED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT),
                                                         IID_IAccessible, reinterpret_cast<void**>(&acc))));
        if (acc) FObjects.push_back(acc);
        return acc;
    }

    // The window's windowless parts and items: the children that are simple elements, in order.
    std::vector<TRead> Parts(HWND window) {
        IAccessible* acc = ObjectOf(window);
        if (!acc) return {};
        long count = 0;
        acc->get_accChildCount(&count);
        std::vector<VARIANT> children(static_cast<size_t>(count));
        long obtained = 0;
        EXPECT_TRUE(SUCCEEDED(AccessibleChildren(acc, 0, count, children.data(), &obtained)));
        EXPECT_EQ(obtained, count);
        std::vector<TRead> parts;
        for (long i = 0; i < obtained; ++i) {
            VARIANT& child = children[static_cast<size_t>(i)];
            if (child.vt == VT_I4) parts.push_back(Read(acc, child.lVal));
            VariantClear(&child);
        }
        return parts;
    }

    TRead Self(HWND window) {
        IAccessible* acc = ObjectOf(window);
        return acc ? Read(acc, CHILDID_SELF) : TRead{};
    }

private:
    std::vector<IAccessible*> FObjects;
};

TEST_F(AccessibilityTest, PaintedControlsAreToldWithRoleNameAndValue) {
    TForm form(SmallForm("parts"));
    TLabel label(&form, {4, 4, 80, 0});
    label.SetCaption("&Folder:");
    TGauge gauge(&form, {4, 30, 100, 16});
    gauge.SetAccessibleLabel(&label);
    gauge.SetProgress(45);
    TLabel hidden(&form, {4, 60, 80, 0});
    hidden.SetCaption("not shown");
    hidden.Hide();
    TLabel empty(&form, {4, 80, 80, 0});
    TEdit edit(&form, {90, 4, 100, 21});
    edit.SetAccessibleLabel(&label);
    TButton button(&form, {110, 60, 80, 25});
    button.SetCaption("&Next");
    button.SetDefault(true);
    test::ShowActive(form);

    const std::vector<TRead> parts = Parts(form.Handle());
    ASSERT_EQ(parts.size(), 2u) << "the label and the gauge; neither the hidden label nor the empty one";
    EXPECT_EQ(parts[0].Role, ROLE_SYSTEM_STATICTEXT);
    EXPECT_EQ(parts[0].Name, "Folder:");
    EXPECT_EQ(parts[1].Role, ROLE_SYSTEM_PROGRESSBAR);
    EXPECT_EQ(parts[1].Name, "Folder:");
    EXPECT_EQ(parts[1].Value, "45%");

    gauge.SetProgress(100);
    EXPECT_EQ(Parts(form.Handle()).at(1).Value, "100%") << "asked afresh, not kept from the first question";

    EXPECT_EQ(Self(edit.Handle()).Name, "Folder:");
    const TRead next = Self(button.Handle());
    EXPECT_EQ(next.Role, ROLE_SYSTEM_PUSHBUTTON);
    EXPECT_EQ(next.Name, "Next");
    EXPECT_TRUE(next.State & STATE_SYSTEM_DEFAULT);
    EXPECT_EQ(Self(form.Handle()).Name, "parts") << "the form keeps the system's name, its caption";
}

TEST_F(AccessibilityTest, CheckButtonsAndProgressBarsSayTheirState) {
    TForm form(SmallForm("buttons"));
    TCheckBox box(&form, {4, 4, 90, 17});
    box.SetCaption("Desktop");
    TRadioButton full(&form, {4, 24, 90, 17});
    full.SetCaption("Full");
    TRadioButton min(&form, {4, 44, 90, 17});
    min.SetCaption("Minimal");
    TProgressBar bar(&form, {100, 4, 90, 16});
    bar.SetRange(0, 8);
    bar.SetPosition(2);
    min.SetChecked(true);
    test::ShowActive(form);

    const struct {
        HWND Window;
        long Role;
        bool Checked;
    } cases[] = {
        {box.Handle(), ROLE_SYSTEM_CHECKBUTTON, false},
        {full.Handle(), ROLE_SYSTEM_RADIOBUTTON, false},
        {min.Handle(), ROLE_SYSTEM_RADIOBUTTON, true},
    };
    for (const auto& c : cases) {
        const TRead read = Self(c.Window);
        EXPECT_EQ(read.Role, c.Role) << read.Name;
        EXPECT_EQ((read.State & STATE_SYSTEM_CHECKED) != 0, c.Checked) << read.Name;
    }
    box.SetChecked(true);
    EXPECT_TRUE(Self(box.Handle()).State & STATE_SYSTEM_CHECKED);
    const TRead progress = Self(bar.Handle());
    EXPECT_EQ(progress.Role, ROLE_SYSTEM_PROGRESSBAR);
    EXPECT_EQ(progress.Value, "25%");
}

class CheckListAccessTest : public AccessibilityTest {
protected:
    TForm Form{SmallForm("check list")};
    TLabel Label{&Form, {4, 0, 80, 0}};
    TCheckListBox List{&Form, {10, 14, 180, 80}};

    void SetUp() override {
        AccessibilityTest::SetUp();
        Label.SetCaption("Shortcuts");
        List.SetAccessibleLabel(&Label);
        for (const char* name : {"Program", "Read Me", "Uninstall"}) List.AddItem(name);
        List.SetChecked(1, true);
        test::ShowActive(Form);
        SetFocus(List.Handle());
        List.SetItemIndex(0);
    }
    void Type(WPARAM key) const {
        PostMessageA(List.Handle(), WM_KEYDOWN, key, 0);
        if (key == VK_SPACE) PostMessageA(List.Handle(), WM_CHAR, ' ', 0);
        PostMessageA(List.Handle(), WM_KEYUP, key, 0xC0000001);
        Application().ProcessMessages();
    }
    // Per item: its name, whether checked, whether it has the focus.
    std::vector<std::string> Items() {
        std::vector<std::string> items;
        for (const TRead& item : Parts(List.Handle())) {
            EXPECT_EQ(item.Role, ROLE_SYSTEM_CHECKBUTTON) << item.Name;
            items.push_back(item.Name + ((item.State & STATE_SYSTEM_CHECKED) ? " checked" : "") +
                            ((item.State & STATE_SYSTEM_FOCUSED) ? " focused" : ""));
        }
        return items;
    }
};

TEST_F(CheckListAccessTest, ItemsAreCheckButtonsWithTheirMarksAndTheFocus) {
    const TRead list = Self(List.Handle());
    EXPECT_EQ(list.Role, ROLE_SYSTEM_LIST);
    EXPECT_EQ(list.Name, "Shortcuts");
    EXPECT_EQ(Items(), (std::vector<std::string>{"Program focused", "Read Me checked", "Uninstall"}));
}

TEST_F(CheckListAccessTest, ArrowsMoveAndSpaceTurnsOverWhatTheReaderSays) {
    const struct {
        WPARAM Key;
        std::vector<std::string> Items;
    } steps[] = {
        {VK_DOWN, {"Program", "Read Me checked focused", "Uninstall"}},
        {VK_SPACE, {"Program", "Read Me focused", "Uninstall"}},
        {VK_DOWN, {"Program", "Read Me", "Uninstall focused"}},
        {VK_SPACE, {"Program", "Read Me", "Uninstall checked focused"}},
        {VK_UP, {"Program", "Read Me focused", "Uninstall checked"}},
        {VK_HOME, {"Program focused", "Read Me", "Uninstall checked"}},
    };
    for (const auto& step : steps) {
        Type(step.Key);
        EXPECT_EQ(Items(), step.Items) << "after key " << step.Key;
    }
}

// What a screen reader hears of: each change of an item's mark, by the item.
std::vector<LONG> gStateChanges;
void CALLBACK StateChanged(HWINEVENTHOOK, DWORD, HWND, LONG object, LONG child, DWORD, DWORD) {
    if (object == OBJID_CLIENT) gStateChanges.push_back(child);
}

TEST_F(CheckListAccessTest, EveryChangeOfAMarkIsAnnounced) {
    gStateChanges.clear();
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_STATECHANGE, EVENT_OBJECT_STATECHANGE, nullptr,
                                         StateChanged, GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(hook, nullptr);
    Type(VK_DOWN);
    Type(VK_SPACE);
    List.SetChecked(2, true);
    for (int i = 0; i < 20; ++i) {
        Application().ProcessMessages();
        Sleep(5);
    }
    UnhookWinEvent(hook);
    EXPECT_EQ(gStateChanges, (std::vector<LONG>{2, 3}));
}

TEST_F(CheckListAccessTest, DefaultActionTurnsTheItemOver) {
    IAccessible* acc = ObjectOf(List.Handle());
    ASSERT_NE(acc, nullptr);
    int toggled = -1;
    List.OnClickCheck = [&](int index) { toggled = index; };
    EXPECT_EQ(acc->accDoDefaultAction(LongVariant(3)), S_OK);
    EXPECT_TRUE(List.Checked(2));
    EXPECT_EQ(toggled, 2);
    EXPECT_NE(acc->accDoDefaultAction(LongVariant(4)), S_OK) << "no fourth item";
    List.SetEnabled(false);
    EXPECT_NE(acc->accDoDefaultAction(LongVariant(1)), S_OK) << "a disabled list is not changed";
    EXPECT_FALSE(List.Checked(0));
}

TEST_F(CheckListAccessTest, HitTestFindsTheItemUnderThePoint) {
    IAccessible* acc = ObjectOf(List.Handle());
    ASSERT_NE(acc, nullptr);
    RECT item{};
    SendMessageA(List.Handle(), LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
    POINT middle{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
    ClientToScreen(List.Handle(), &middle);
    VARIANT hit;
    VariantInit(&hit);
    ASSERT_EQ(acc->accHitTest(middle.x, middle.y, &hit), S_OK);
    EXPECT_EQ(hit.vt, VT_I4);
    EXPECT_EQ(hit.lVal, 2);
    long left = 0, top = 0, width = 0, height = 0;
    ASSERT_EQ(acc->accLocation(&left, &top, &width, &height, LongVariant(2)), S_OK);
    EXPECT_TRUE(left <= middle.x && middle.x < left + width && top <= middle.y && middle.y < top + height);
}

TEST(FormFocus, ComesBackToTheControlThatHadItAfterAnotherWindow) {
    TForm form(SmallForm("focus"));
    TEdit first(&form, {4, 4, 80, 21});
    TEdit second(&form, {4, 30, 80, 21});
    test::ShowActive(form);
    SetFocus(second.Handle());
    TForm other(SmallForm("other"));
    test::ShowActive(other);
    ASSERT_NE(GetFocus(), second.Handle());
    other.Hide();
    test::ShowActive(form);
    EXPECT_EQ(GetFocus(), second.Handle());
}

} // namespace
} // namespace yar
