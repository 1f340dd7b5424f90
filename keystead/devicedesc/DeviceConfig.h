#pragma once
#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

class DataStore;
class XmlDocument;
struct DeviceEntry;

// A keyboard model's layout file (layouts/<name>.xml beside the program): its pages, lighting
// modes and limits, firmware offer, and the keys of its keyboard picture.

struct LayoutRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const LayoutRect&) const = default;
};

// One lighting mode as the layout lists it, with the settings a new mode starts from.
struct LightModeEntry {
    int profile = 1;
    std::wstring name;  // language text number of the mode's name, as text
    int mode = 0;
    int brightness = 0;
    int speed = 0;
    int direction = 0;
    int colorful = 1;
    int colorIndex = 0;
    int colorValue = 255;  // COLORREF red
    int configFunc = 0;
    bool operator==(const LightModeEntry&) const = default;
};

struct LayoutKey {
    int code = 0;
    std::wstring name;
    std::wstring desc;
    int keyIndex = 0;
    std::wstring icon;
    LayoutRect rect;
    int row = -1;  // -1: the key has no valid grid position
    int col = -1;
    bool operator==(const LayoutKey&) const = default;
};

// Page-flag bits.
namespace PageFlag {
constexpr unsigned KeyPage = 0x01;
constexpr unsigned MacroPage = 0x02;
constexpr unsigned LightPage = 0x04;
constexpr unsigned ThirdPicture = 0x40;
constexpr unsigned All = 0x7F;
} // namespace PageFlag

constexpr int kKeyGridRows = 8;
constexpr int kKeyGridCols = 32;
constexpr uint8_t kNoGridKey = 0xFF;
using KeyGrid = std::array<std::array<uint8_t, kKeyGridCols>, kKeyGridRows>;

// What the program holds of the selected model's layout; rebuilt by every load, and what a
// load does not find keeps its previous value.
struct DeviceLayout {
    DeviceLayout();

    int deviceType = 0;
    unsigned pageFlags = PageFlag::All;
    bool sleepTime = false;
    std::wstring firmwareVersion;
    std::wstring firmwareFile;
    std::wstring firmwareUrl;
    bool rgbKeyboard = false;
    int defaultMode = 0;
    int defaultBrightness = 0;
    int defaultSpeed = 0;
    int brightnessMax = 4;
    int speedMax = 4;
    std::vector<LightModeEntry> lightModes;
    std::map<int, int> keyIndexMap;  // key code -> key_index
    KeyGrid grid;                    // low byte of the key code, kNoGridKey where no key is
    int rowCount = 0;
    int colCount = 0;
    // Keyboard picture
    int xpos = 0;
    int ypos = 0;
    int width = 0;
    int height = 0;
    std::wstring image;
    std::vector<LayoutKey> keys;
};

// A keyboard picture as the layout fills it (implemented by the picture control's owner).
class LayoutPicture {
public:
    virtual ~LayoutPicture() = default;
    virtual void ClearItem() = 0;
    virtual void SetRect(const LayoutRect& rect) = 0;
    virtual void SetKeyboardImage(const std::wstring& path) = 0;
    virtual void SetWidthAndHeight(int width, int height) = 0;
    virtual void AddKeyItem(const std::wstring& name, const std::wstring& desc, int code, const LayoutRect& rect,
                            const std::wstring& icon) = 0;
};

// Everything a layout load hands on, outside the layout data itself.
class LayoutTargets {
public:
    virtual ~LayoutTargets() = default;
    // Closes the open model database and opens the one of this model; records the device type.
    virtual void SwitchModelDatabase(const std::wstring& modelName, int deviceType) = 0;
    // Tabs 1, 2, 3 and 7.
    virtual void SetTabVisible(int tab, bool visible) = 0;
    virtual void ShowFirmwareButton(bool visible) = 0;
    virtual void SetLightSliderMaxima(int brightnessMax, int speedMax) = 0;
    // The picture of a page-flag bit (KeyPage, LightPage, ThirdPicture); null when there is none.
    virtual LayoutPicture* Picture(unsigned pageBit) = 0;
};

// Reads row_col: one digit of row, a separator, one digit of column (3 characters) or two
// (4 characters). False for any other form or a position outside the grid.
bool ParseRowCol(std::wstring_view text, int& row, int& col);
// Reads "x#y#w#h" into left x, top y, right x+w, bottom y+h (saturating; missing parts are 0).
LayoutRect ParseKeyRect(std::wstring_view text);
// A key code: hexadecimal without prefix, read as the longest leading hexadecimal number.
int ParseHexCode(std::wstring_view text);

// Full path of a layout file.
std::wstring LayoutFilePath(const std::wstring& programDir, const std::wstring& layoutName);

// Loads a model's layout: switches the database and device type, then reads the file and, when it
// is a layout, updates the layout data and hands it to the targets. False when the file could not
// be used; the layout data and pictures then keep their previous contents.
bool LoadDeviceConfig(int deviceType, const std::wstring& modelName, const std::wstring& layoutPath,
                      DeviceLayout& layout, LayoutTargets& targets);
// The same for the model of `deviceType` in the keyboard list of the product configuration (the
// first entry of that type; none gives an empty name and layout), with the layout file beside the
// program.
bool LoadDeviceConfig(int deviceType, const std::vector<DeviceEntry>& keyboards, DeviceLayout& layout,
                      LayoutTargets& targets);
// The same from a parsed document (its root must be device.info).
bool ApplyDeviceLayout(XmlDocument& doc, DeviceLayout& layout, LayoutTargets& targets);

// The store side of selecting a model: closes the open database, opens (or creates) the model's
// file in the data folder and records the device type as the store's current device.
void SwitchModelDatabase(DataStore& store, const std::wstring& dataDir, const std::wstring& modelName,
                         int deviceType);
