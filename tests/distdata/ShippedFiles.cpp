#include "ShippedFiles.h"

#include <fstream>
#include <iterator>

namespace shipped {

std::vector<Keyboard> ReadKeyboards()
{
    std::vector<Keyboard> keyboards;
    XmlDocument doc;
    if (!doc.Load(WideProgramPath("config.xml")) || !doc.FindElem(L"config") || !doc.IntoElem() ||
        !doc.FindElem(L"device.info") || !doc.IntoElem())
        return keyboards;
    while (doc.FindElem(L"keyboard")) {
        Keyboard k;
        k.name = doc.GetAttrib(L"name");
        k.deviceType = doc.GetAttribInt(L"device_type");
        k.layout = doc.GetAttrib(L"device_info");
        doc.IntoElem();
        while (doc.FindElem(L"mode")) {
            Mode m;
            m.value = doc.GetAttribInt(L"value");
            m.desc = doc.GetAttrib(L"desc");
            m.vid = doc.GetAttrib(L"vid");
            m.pid = doc.GetAttrib(L"pid");
            m.productName = doc.GetAttrib(L"product_name");
            m.hidInterface = doc.GetAttrib(L"hid_interface");
            k.modes.push_back(m);
        }
        doc.OutOfElem();
        keyboards.push_back(k);
    }
    return keyboards;
}

Layout ReadLayout(const std::wstring& layoutName)
{
    Layout layout;
    XmlDocument doc;
    if (!doc.Load(WideProgramPath("layouts/" + platform::ToUtf8(layoutName) + ".xml")) ||
        !doc.FindElem(L"device.info") || !doc.IntoElem())
        return layout;
    layout.loaded = true;
    layout.hasMenu = doc.FindElem(L"menu");
    layout.hasFunction = doc.FindElem(L"function");
    if ((layout.hasFirmware = doc.FindElem(L"firmware"))) {
        layout.firmwareVersion = doc.GetAttrib(L"version");
        layout.firmwareFile = doc.GetAttrib(L"file");
    }
    if ((layout.hasLight = doc.FindElem(L"light"))) {
        layout.defaultMode = doc.GetAttribInt(L"default_mode");
        layout.defaultBrightness = doc.GetAttribInt(L"default_brightness");
        layout.defaultSpeed = doc.GetAttribInt(L"default_speed");
        layout.brightnessMax = doc.GetAttribInt(L"brightness_max");
        layout.speedMax = doc.GetAttribInt(L"speed_max");
        doc.IntoElem();
        while (doc.FindElem(L"info"))
            layout.effects.push_back({doc.GetAttribInt(L"name"), doc.GetAttribInt(L"mode"),
                                      doc.GetAttribInt(L"attribute")});
        doc.OutOfElem();
    }
    if ((layout.hasKeyboard = doc.FindElem(L"Keyboard"))) {
        layout.width = doc.GetAttribInt(L"width");
        layout.height = doc.GetAttribInt(L"height");
        layout.image = doc.GetAttrib(L"image");
        layout.rowCount = doc.GetAttribInt(L"row_count");
        layout.colCount = doc.GetAttribInt(L"col_count");
        doc.IntoElem();
        if (doc.FindElem(L"KeyItems") && doc.IntoElem()) {
            while (doc.FindElem(L"key")) {
                LayoutKey key;
                key.code = doc.GetAttrib(L"code");
                key.name = doc.GetAttrib(L"name");
                key.desc = doc.GetAttrib(L"desc");
                key.keyIndex = doc.GetAttrib(L"key_index").empty() ? -1 : doc.GetAttribInt(L"key_index");
                key.rowCol = doc.GetAttrib(L"row_col");
                key.rect = doc.GetAttrib(L"rect");
                layout.keys.push_back(key);
            }
        }
    }
    return layout;
}

LanguageFile ReadLanguageFile(int languageId)
{
    LanguageFile file;
    std::ifstream in(ProgramPath("language/" + std::to_string(languageId) + ".lan"), std::ios::binary);
    if (!in)
        return file;
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    file.readable = true;
    file.hasBom = text.rfind("\xEF\xBB\xBF", 0) == 0;
    if (file.hasBom)
        text.erase(0, 3);

    bool inSection = false;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == ';')
            continue;
        if (line[0] == '[') {
            inSection = line == "[KB.DIALOG]";
            if (!inSection)
                file.problems.push_back("unexpected section " + line);
            continue;
        }
        const size_t eq = line.find('=');
        const std::string key = line.substr(0, eq);
        if (!inSection || eq == std::string::npos || key.empty() ||
            key.find_first_not_of("0123456789") != std::string::npos || key.size() > 6) {
            file.problems.push_back("malformed line: " + line);
            continue;
        }
        if (!file.texts.emplace(std::stoi(key), line.substr(eq + 1)).second)
            file.problems.push_back("key repeated: " + key);
    }
    return file;
}

} // namespace shipped
