#pragma once
#include <string>

// A one-column list of named items with item data, as the profile and macro lists show them.
// Implemented by the list control's owner; indexes out of range give 0, -1 or "" as below.
class ItemListView {
public:
    virtual ~ItemListView() = default;
    virtual void DeleteAllItems() = 0;
    // Appends an item; returns its index.
    virtual int AddString(const std::wstring& text, long data, int image) = 0;
    virtual bool DeleteItem(int index) = 0;
    virtual int GetItemCount() const = 0;
    virtual std::wstring GetItemText(int index) const = 0;  // "" out of range
    virtual long GetItemData(int index) const = 0;          // 0 out of range
    virtual void ModifyItemString(int index, const std::wstring& text) = 0;
    virtual bool SetCurSel(int index) = 0;                  // -1 clears
    virtual int GetCurSel() const = 0;                      // -1 without selection
    virtual int SetCurData(long data) = 0;                  // index selected, -1 when no item has it
    // Starts the in-place rename of the selected item.
    virtual void ShowEdit() = 0;
};
