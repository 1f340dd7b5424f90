#include "keys/KeyAssignment.h"
#include "keys/KeyFunction.h"
#include "store/DataStore.h"
#include "support/TestLanguage.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Records the picture, picker and execution-layer calls in one sequence.
class Recorder : public AssignmentPicture, public FunctionPicker, public KeyTableSink {
public:
    std::vector<std::wstring> calls;
    std::vector<std::vector<int>> tables;  // key codes handed on, per refresh

    void SetKeyCheck(int code, int checked) override { Add(L"check " + N(code) + L" " + N(checked)); }
    void SetSelectItem(int index) override { Add(L"select " + N(index)); }
    void SetTipKey(int code, const std::wstring& t1, const std::wstring& t2) override
    {
        Add(L"tip " + N(code) + L" [" + t1 + L"] [" + t2 + L"]");
    }
    void ResetAllItemCheck() override { Add(L"reset checks"); }
    void ResetTipKey() override { Add(L"reset tips"); }
    void UpdateControl() override { Add(L"paint"); }
    void SetItemCheckByItemData(int code, int b, int c) override
    {
        Add(L"picker " + N(code) + L" " + N(b) + L" " + N(c));
    }
    void RefreshKeyTable(int profile, const std::vector<KeyMacroData>& rows) override
    {
        std::vector<int> codes;
        for (const KeyMacroData& r : rows) {
            EXPECT_EQ(r.profile, profile);
            codes.push_back(r.key_code);
        }
        tables.push_back(codes);
        Add(L"table " + N(profile));
    }

private:
    static std::wstring N(int v) { return std::to_wstring(v); }
    void Add(std::wstring s) { calls.push_back(std::move(s)); }
};

KeyMacroData Assignment(int type, int value, const std::wstring& desc, int value2 = 0)
{
    KeyMacroData r;
    r.macro_type = type;
    r.macro_value = value;
    r.macro_value2 = value2;
    r.macro_desc = desc;
    return r;
}

class KeyAssignmentTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(store.OpenDatabaseFile(L":memory:")); }

    testenv::ScopedLanguage language{1033, "202=Disabled\n205=Key\n206=Macro\n207=Mouse\n209=Shortcut\n331=Makro\n"};
    DataStore store;
    Recorder rec;
    KeyAssignments keys{store, rec, rec, rec};
};

TEST_F(KeyAssignmentTest, AssigningMarksTipsTicksAndHandsTheTableOn)
{
    EXPECT_GT(keys.ApplyKeyAssignment(Assignment(KeyKind::Key, 4, L"A"), 7, 0x29), 0);
    EXPECT_EQ(rec.calls, (std::vector<std::wstring>{L"check 41 1", L"paint", L"tip 41 [Key] [A]", L"picker 4 0 0",
                                                     L"table 7"}));
    KeyMacroData stored;
    ASSERT_TRUE(store.GetKeyAssignment(7, 0, 0x29, stored));
    EXPECT_EQ(stored.macro_type, KeyKind::Key);
    EXPECT_EQ(stored.macro_value, 4);
    EXPECT_EQ(stored.macro_desc, L"A");
    EXPECT_EQ(rec.tables.back(), std::vector<int>{0x29});
}

TEST_F(KeyAssignmentTest, TipTextsByKind)
{
    struct Case {
        KeyMacroData record;
        std::wstring tip;  // empty: no tip call
    };
    const Case cases[] = {
        {Assignment(KeyKind::Disabled, 1, L"Disabled"), L"tip 5 [Disabled] []"},
        {Assignment(KeyKind::KeyHigh, 600, L"High"), L"tip 5 [Key] [High]"},
        {Assignment(KeyKind::Macro, 3, L"Macro 2"), L"tip 5 [Macro] [Makro 2]"},
        {Assignment(KeyKind::Macro, 3, L"Mine"), L"tip 5 [Macro] [Mine]"},
        {Assignment(KeyKind::Mouse, 1, L"Left"), L"tip 5 [Mouse] [Left]"},
        {Assignment(KeyKind::Shortcut, 10, L"Alt+Tab"), L"tip 5 [Shortcut] [Alt+Tab]"},
        {Assignment(4, 1, L"odd kind"), L""},
    };
    for (const Case& c : cases) {
        rec.calls.clear();
        keys.ApplyKeyAssignment(c.record, 1, 5);
        bool tipped = false;
        for (const std::wstring& call : rec.calls)
            if (call.starts_with(L"tip ")) {
                EXPECT_EQ(call, c.tip);
                tipped = true;
            }
        EXPECT_EQ(tipped, !c.tip.empty()) << c.record.macro_desc;
        // Only key kinds tick the picker.
        const bool ticked = std::find(rec.calls.begin(), rec.calls.end(), L"picker 600 0 0") != rec.calls.end();
        EXPECT_EQ(ticked, c.record.macro_type == KeyKind::KeyHigh);
    }
}

TEST_F(KeyAssignmentTest, RestoreOnAKeyWithoutARowClearsTheKey)
{
    keys.ApplyKeyAssignment(Assignment(KeyKind::Key, 4, L"A"), 1, 0x10);
    rec.calls.clear();
    for (int keyCode : {0x11, 0}) {  // a key without a row; no key selected yet
        rec.calls.clear();
        EXPECT_EQ(keys.ApplyKeyAssignment(Assignment(KeyKind::Default, 0, L""), 1, keyCode), 0);
        const std::wstring code = std::to_wstring(keyCode);
        EXPECT_EQ(rec.calls, (std::vector<std::wstring>{L"tip " + code + L" [] []", L"check " + code + L" 0",
                                                         L"select -1", L"paint", L"picker 0 0 0", L"table 1"}));
        EXPECT_EQ(rec.tables.back(), std::vector<int>{0x10});
    }
    // Restoring the assigned key removes its row.
    keys.ApplyKeyAssignment(Assignment(KeyKind::Default, 0, L""), 1, 0x10);
    EXPECT_TRUE(rec.tables.back().empty());
}

TEST_F(KeyAssignmentTest, AKeyMayBeAssignedItsOwnCode)
{
    EXPECT_GT(keys.ApplyKeyAssignment(Assignment(KeyKind::Key, 4, L"A"), 1, 4), 0);
    KeyMacroData stored;
    EXPECT_TRUE(store.GetKeyAssignment(1, 0, 4, stored));
}

TEST_F(KeyAssignmentTest, ShowRebuildsMarksAndTipsOfTheProfileOnly)
{
    keys.ApplyKeyAssignment(Assignment(KeyKind::Disabled, 1, L"Disabled"), 1, 10);
    keys.ApplyKeyAssignment(Assignment(KeyKind::Key, 235, L"Mute"), 1, 11);
    keys.ApplyKeyAssignment(Assignment(9, 1, L"web"), 1, 12);
    keys.ApplyKeyAssignment(Assignment(KeyKind::Key, 5, L"B"), 2, 13);
    KeyMacroData fnLayer = Assignment(KeyKind::Key, 6, L"C");
    fnLayer.profile = 1;
    fnLayer.fn_layer = 1;
    fnLayer.key_code = 14;
    store.SaveKeyAssignment(fnLayer);

    rec.calls.clear();
    keys.ShowKeyAssignments(1);
    EXPECT_EQ(rec.calls, (std::vector<std::wstring>{L"picker 0 0 0", L"reset checks", L"reset tips", L"check 10 1",
                                                     L"tip 10 [Disabled] []", L"check 11 1", L"tip 11 [Key] [Mute]",
                                                     L"check 12 1", L"tip 12 [] [web]", L"paint"}));
}

} // namespace
