#pragma once
#include <string>

// What the profile and exchange operations ask of the main window and its key page.
class ProfileHost {
public:
    virtual ~ProfileHost() = default;
    // Shows the profile's key assignments on the key page.
    virtual void ReloadKeyPage(int profile) = 0;
    // Hands the profile's key table to the software key execution.
    virtual void RefreshKeyTable(int profile) = 0;
    virtual void EnableKeyPicture(bool enabled) = 0;
    // Queues the upload of the current profile to the keyboard, with the wait dialog.
    virtual void QueueProfileUpload() = 0;
    // The skinned message box: style 0 one button, 4 two buttons; 2 means refused.
    virtual int ShowMessageBox(const std::wstring& message, const std::wstring& caption, int style) = 0;
    // The system message box with an OK button.
    virtual void ShowSystemMessage(const std::wstring& message, const std::wstring& caption) = 0;
};

namespace MessageStyle {
constexpr int OneButton = 0;
constexpr int TwoButtons = 4;
} // namespace MessageStyle
