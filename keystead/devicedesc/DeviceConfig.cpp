#include "devicedesc/DeviceConfig.h"

#include "devicedesc/DeviceEntry.h"
#include "shell/AppPaths.h"
#include "store/DataStore.h"
#include "xml/XmlDocument.h"

#include <climits>

namespace {

int Saturate(long long v)
{
    if (v > INT_MAX)
        return INT_MAX;
    if (v < INT_MIN)
        return INT_MIN;
    return static_cast<int>(v);
}

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

constexpr unsigned kPictureBits[] = {PageFlag::KeyPage, PageFlag::LightPage, PageFlag::ThirdPicture};

template <typename F>
void ForEachEnabledPicture(unsigned pageFlags, LayoutTargets& targets, F f)
{
    for (unsigned bit : kPictureBits)
        if (pageFlags & bit)
            if (LayoutPicture* p = targets.Picture(bit))
                f(*p);
}

LayoutRect PictureRect(const DeviceLayout& l)
{
    return {l.xpos, l.ypos, Saturate(static_cast<long long>(l.xpos) + l.width),
            Saturate(static_cast<long long>(l.ypos) + l.height)};
}

void ReadMenu(XmlDocument& doc, DeviceLayout& layout, LayoutTargets& targets)
{
    if (!doc.FindElem(L"menu"))
        return;
    layout.pageFlags = 0x41;
    if (doc.GetAttribInt(L"macro") == 1)
        layout.pageFlags |= PageFlag::MacroPage;
    if (doc.GetAttribInt(L"light_mode") == 1)
        layout.pageFlags |= PageFlag::LightPage;
    targets.SetTabVisible(1, layout.pageFlags & PageFlag::KeyPage);
    targets.SetTabVisible(2, layout.pageFlags & PageFlag::MacroPage);
    targets.SetTabVisible(3, layout.pageFlags & PageFlag::LightPage);
    targets.SetTabVisible(7, layout.pageFlags & PageFlag::ThirdPicture);
}

void ReadFirmware(XmlDocument& doc, DeviceLayout& layout, LayoutTargets& targets)
{
    if (!doc.FindElem(L"firmware"))
        return;
    layout.firmwareVersion = doc.GetAttrib(L"version");
    layout.firmwareFile = doc.GetAttrib(L"file");
    layout.firmwareUrl = doc.GetAttrib(L"url");
    targets.ShowFirmwareButton(!layout.firmwareVersion.empty() && !layout.firmwareFile.empty());
}

void ReadLight(XmlDocument& doc, DeviceLayout& layout, LayoutTargets& targets)
{
    if (!doc.FindElem(L"light"))
        return;
    layout.rgbKeyboard = doc.GetAttribInt(L"rgb_keyboard") == 1;
    layout.defaultMode = doc.GetAttribInt(L"default_mode");
    layout.defaultBrightness = doc.GetAttribInt(L"default_brightness");
    layout.defaultSpeed = doc.GetAttribInt(L"default_speed");
    layout.brightnessMax = doc.GetAttribInt(L"brightness_max");
    layout.speedMax = doc.GetAttribInt(L"speed_max");
    targets.SetLightSliderMaxima(layout.brightnessMax, layout.speedMax);
    layout.lightModes.clear();
    doc.IntoElem();
    while (doc.FindElem(L"info")) {
        LightModeEntry e;
        e.name = doc.GetAttrib(L"name");
        e.mode = doc.GetAttribInt(L"mode");
        e.brightness = layout.defaultBrightness;
        e.speed = layout.defaultSpeed;
        e.configFunc = doc.GetAttribInt(L"attribute");
        layout.lightModes.push_back(std::move(e));
    }
    doc.OutOfElem();
}

void ReadKeys(XmlDocument& doc, DeviceLayout& layout, LayoutTargets& targets)
{
    while (doc.FindElem(L"key")) {
        LayoutKey key;
        key.code = ParseHexCode(doc.GetAttrib(L"code"));
        key.name = doc.GetAttrib(L"name");
        key.desc = doc.GetAttrib(L"desc");
        key.keyIndex = doc.GetAttribInt(L"key_index");
        key.icon = doc.GetAttrib(L"icon");
        key.rect = ParseKeyRect(doc.GetAttrib(L"rect"));
        int row = 0, col = 0;
        if (ParseRowCol(doc.GetAttrib(L"row_col"), row, col)) {
            key.row = row;
            key.col = col;
            layout.grid[static_cast<size_t>(row)][static_cast<size_t>(col)] = static_cast<uint8_t>(key.code & 0xFF);
        }
        layout.keyIndexMap[key.code] = key.keyIndex;
        ForEachEnabledPicture(layout.pageFlags, targets,
                              [&](LayoutPicture& p) { p.AddKeyItem(key.name, key.desc, key.code, key.rect, key.icon); });
        layout.keys.push_back(std::move(key));
    }
}

void ReadKeyboard(XmlDocument& doc, DeviceLayout& layout, LayoutTargets& targets)
{
    if (!doc.FindElem(L"Keyboard"))
        return;
    layout.xpos = doc.GetAttribInt(L"xpos");
    layout.ypos = doc.GetAttribInt(L"ypos");
    layout.width = doc.GetAttribInt(L"width");
    layout.height = doc.GetAttribInt(L"height");
    layout.image = doc.GetAttrib(L"image");
    layout.rowCount = doc.GetAttribInt(L"row_count");
    layout.colCount = doc.GetAttribInt(L"col_count");
    ForEachEnabledPicture(layout.pageFlags, targets, [&](LayoutPicture& p) {
        p.SetRect(PictureRect(layout));
        p.SetKeyboardImage(L"keyboard/" + layout.image);
        p.SetWidthAndHeight(layout.width, layout.height);
    });
    doc.IntoElem();
    if (doc.FindElem(L"KeyItems")) {
        doc.IntoElem();
        ReadKeys(doc, layout, targets);
        doc.OutOfElem();
    }
    doc.OutOfElem();
}

} // namespace

DeviceLayout::DeviceLayout()
{
    for (auto& row : grid)
        row.fill(kNoGridKey);
}

bool ParseRowCol(std::wstring_view text, int& row, int& col)
{
    if ((text.size() != 3 && text.size() != 4) || !IsDigit(text[0]) || !IsDigit(text[2]))
        return false;
    int r = text[0] - L'0';
    int c = text[2] - L'0';
    if (text.size() == 4) {
        if (!IsDigit(text[3]))
            return false;
        c = c * 10 + (text[3] - L'0');
    }
    if (r >= kKeyGridRows || c >= kKeyGridCols)
        return false;
    row = r;
    col = c;
    return true;
}

LayoutRect ParseKeyRect(std::wstring_view text)
{
    int parts[4] = {0, 0, 0, 0};
    for (int i = 0; i < 4; ++i) {
        const size_t sep = text.find(L'#');
        parts[i] = LeadingInt(text.substr(0, sep));
        if (sep == std::wstring_view::npos)
            break;
        text.remove_prefix(sep + 1);
    }
    return {parts[0], parts[1], Saturate(static_cast<long long>(parts[0]) + parts[2]),
            Saturate(static_cast<long long>(parts[1]) + parts[3])};
}

int ParseHexCode(std::wstring_view text)
{
    // Key codes carry no sign.
    const std::size_t first = text.find_first_not_of(L" \t");
    if (first != std::wstring_view::npos && (text[first] == L'-' || text[first] == L'+'))
        return 0;
    return LeadingHexInt(text);
}

std::wstring LayoutFilePath(const std::wstring& programDir, const std::wstring& layoutName)
{
    return programDir + L"/layouts/" + layoutName + L".xml";
}

bool ApplyDeviceLayout(XmlDocument& doc, DeviceLayout& layout, LayoutTargets& targets)
{
    doc.ResetPos();
    if (!doc.FindElem(L"device.info") || !doc.IntoElem())
        return false;
    ReadMenu(doc, layout, targets);
    if (doc.FindElem(L"function"))
        layout.sleepTime = doc.GetAttribInt(L"sleep_time") == 1;
    ReadFirmware(doc, layout, targets);
    ReadLight(doc, layout, targets);

    layout.keyIndexMap.clear();
    layout.keys.clear();
    layout.rowCount = 0;
    layout.colCount = 0;
    for (auto& row : layout.grid)
        row.fill(kNoGridKey);
    ForEachEnabledPicture(layout.pageFlags, targets, [](LayoutPicture& p) { p.ClearItem(); });

    ReadKeyboard(doc, layout, targets);
    doc.Close();
    return true;
}

bool LoadDeviceConfig(int deviceType, const std::wstring& modelName, const std::wstring& layoutPath,
                      DeviceLayout& layout, LayoutTargets& targets)
{
    layout.firmwareUrl.clear();
    layout.deviceType = deviceType;
    targets.SwitchModelDatabase(modelName, deviceType);
    XmlDocument doc;
    if (!doc.Load(layoutPath))
        return false;
    return ApplyDeviceLayout(doc, layout, targets);
}

bool LoadDeviceConfig(int deviceType, const std::vector<DeviceEntry>& keyboards, DeviceLayout& layout,
                      LayoutTargets& targets)
{
    std::wstring name, layoutName;
    for (const DeviceEntry& e : keyboards) {
        if (e.deviceType == deviceType) {
            name = e.name;
            layoutName = e.layoutName;
            break;
        }
    }
    return LoadDeviceConfig(deviceType, name, LayoutFilePath(GetModuleDir(), layoutName), layout, targets);
}

void SwitchModelDatabase(DataStore& store, const std::wstring& dataDir, const std::wstring& modelName,
                         int deviceType)
{
    if (store.IsOpened())
        store.CloseDatabase();
    store.OpenDeviceDatabase(dataDir, modelName);
    store.SetCurrentDevice(deviceType);
}
