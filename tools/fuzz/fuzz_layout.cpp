// Layout files through the layout loader: any bytes must leave the grid and maps consistent.
#include "devicedesc/DeviceConfig.h"
#include "xml/XmlDocument.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

class NullPicture : public LayoutPicture {
public:
    void ClearItem() override {}
    void SetRect(const LayoutRect&) override {}
    void SetKeyboardImage(const std::wstring&) override {}
    void SetWidthAndHeight(int, int) override {}
    void AddKeyItem(const std::wstring&, const std::wstring&, int, const LayoutRect&, const std::wstring&) override {}
};

class NullTargets : public LayoutTargets {
public:
    void SwitchModelDatabase(const std::wstring&, int) override {}
    void SetTabVisible(int, bool) override {}
    void ShowFirmwareButton(bool) override {}
    void SetLightSliderMaxima(int, int) override {}
    LayoutPicture* Picture(unsigned) override { return &picture; }
    NullPicture picture;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    XmlDocument doc;
    if (!doc.LoadFromText(std::string_view(reinterpret_cast<const char*>(data), size)))
        return 0;
    DeviceLayout layout;
    NullTargets targets;
    ApplyDeviceLayout(doc, layout, targets);
    for (const LayoutKey& key : layout.keys)
        if (key.row >= kKeyGridRows || key.col >= kKeyGridCols || (key.row < 0) != (key.col < 0))
            std::abort();
    return 0;
}
