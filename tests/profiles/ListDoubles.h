#pragma once
#include "profiles/ItemListView.h"
#include "profiles/ProfileHost.h"

#include <string>
#include <vector>

namespace testdoubles {

// A list that keeps its items like the list control does.
class ItemList : public ItemListView {
public:
    struct Item {
        std::wstring text;
        long data;
        bool operator==(const Item&) const = default;
    };
    std::vector<Item> items;
    int sel = -1;
    int editRequests = 0;

    void DeleteAllItems() override { items.clear(); sel = -1; }
    int AddString(const std::wstring& text, long data, int) override
    {
        items.push_back({text, data});
        return static_cast<int>(items.size()) - 1;
    }
    bool DeleteItem(int i) override
    {
        if (!Valid(i))
            return false;
        items.erase(items.begin() + i);
        sel = -1;
        return true;
    }
    int GetItemCount() const override { return static_cast<int>(items.size()); }
    std::wstring GetItemText(int i) const override { return Valid(i) ? items[static_cast<size_t>(i)].text : L""; }
    long GetItemData(int i) const override { return Valid(i) ? items[static_cast<size_t>(i)].data : 0; }
    void ModifyItemString(int i, const std::wstring& text) override
    {
        if (Valid(i))
            items[static_cast<size_t>(i)].text = text;
    }
    bool SetCurSel(int i) override
    {
        if (i < -1 || i >= GetItemCount())
            return false;
        sel = i;
        return true;
    }
    int GetCurSel() const override { return sel; }
    int SetCurData(long data) override
    {
        for (size_t i = 0; i < items.size(); ++i)
            if (items[i].data == data)
                return sel = static_cast<int>(i);
        return -1;
    }
    void ShowEdit() override { ++editRequests; }

private:
    bool Valid(int i) const { return i >= 0 && i < GetItemCount(); }
};

// Records what the profile operations ask of the main window; answers message boxes with `answer`.
class Host : public ProfileHost {
public:
    std::vector<std::wstring> calls;
    int answer = 1;

    void ReloadKeyPage(int p) override { calls.push_back(L"reload " + std::to_wstring(p)); }
    void RefreshKeyTable(int p) override { calls.push_back(L"table " + std::to_wstring(p)); }
    void EnableKeyPicture(bool on) override { calls.push_back(on ? L"picture on" : L"picture off"); }
    void QueueProfileUpload() override { calls.push_back(L"upload"); }
    int ShowMessageBox(const std::wstring& message, const std::wstring& caption, int style) override
    {
        calls.push_back(L"box " + caption + L"/" + message + L" " + std::to_wstring(style));
        return answer;
    }
    void ShowSystemMessage(const std::wstring& message, const std::wstring& caption) override
    {
        calls.push_back(L"system " + caption + L"/" + message);
    }
};

} // namespace testdoubles
