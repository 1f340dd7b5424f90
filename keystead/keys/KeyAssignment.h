#pragma once
#include "store/Records.h"

#include <string>
#include <vector>

class DataStore;

// The key page's keyboard picture as key assignments mark it (implemented by its owner).
class AssignmentPicture {
public:
    virtual ~AssignmentPicture() = default;
    virtual void SetKeyCheck(int keyCode, int checked) = 0;
    virtual void SetSelectItem(int index) = 0;
    virtual void SetTipKey(int keyCode, const std::wstring& text1, const std::wstring& text2) = 0;
    virtual void ResetAllItemCheck() = 0;
    virtual void ResetTipKey() = 0;
    // Repaints the picture once.
    virtual void UpdateControl() = 0;
};

// The function picker's tick.
class FunctionPicker {
public:
    virtual ~FunctionPicker() = default;
    virtual void SetItemCheckByItemData(int code, int valueB, int valueC) = 0;
};

// The software execution layer: rebuilds its interception table from a profile's assignments.
class KeyTableSink {
public:
    virtual ~KeyTableSink() = default;
    virtual void RefreshKeyTable(int profile, const std::vector<KeyMacroData>& assignments) = 0;
};

// Changes and shows the key assignments of a profile: the store holds them, the picture shows
// marks and tips, the execution layer gets the whole table after every change.
class KeyAssignments {
public:
    KeyAssignments(DataStore& store, AssignmentPicture& picture, FunctionPicker& picker, KeyTableSink& sink);

    // Stores the caller's macro_type, macro_value(2, 3) and macro_desc for `keyCode` of `profile`
    // in the normal layer, updates the picture and hands the table on. Returns the store's result
    // (below 1 when the key was restored, or nothing could be stored).
    int ApplyKeyAssignment(KeyMacroData record, int profile, int keyCode);
    // Marks and labels every assigned key of the profile on the picture.
    void ShowKeyAssignments(int profile);
    // Hands the profile's normal-layer table to the execution layer.
    void RefreshKeyTable(int profile);

    // The two tip lines of an assignment; false for a kind without a label.
    static bool TipTexts(const KeyMacroData& record, std::wstring& text1, std::wstring& text2);

private:
    DataStore& m_store;
    AssignmentPicture& m_picture;
    FunctionPicker& m_picker;
    KeyTableSink& m_sink;
};
