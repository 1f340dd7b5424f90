#pragma once
// Readers for the files shipped in the program folder, shared by the shipped-data tests.
#include "platform/TextCodec.h"
#include "xml/XmlDocument.h"

#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace shipped {

inline std::string ProgramPath(const std::string& relative)
{
    return std::string(KEYSTEAD_PROGRAM_DIR) + "/" + relative;
}

inline std::wstring WideProgramPath(const std::string& relative)
{
    return platform::FromUtf8(ProgramPath(relative));
}

struct Mode {
    int value = -1;
    std::wstring desc, vid, pid, productName, hidInterface;
};

struct Keyboard {
    std::wstring name, layout;
    int deviceType = 0;
    std::vector<Mode> modes;
};

inline void PrintTo(const Keyboard& k, std::ostream* os)
{
    *os << platform::ToUtf8(k.name) << " (type " << k.deviceType << ")";
}

// The keyboard models of config.xml, read in the order the program reads them.
std::vector<Keyboard> ReadKeyboards();

struct Effect {
    int nameId = 0, mode = 0, bits = 0;
};

struct LayoutKey {
    std::wstring code, name, desc, rowCol, rect;
    int keyIndex = -1;
};

// A layout file as the program reads it: each element is searched after the one before.
struct Layout {
    bool loaded = false;
    bool hasMenu = false, hasFunction = false, hasFirmware = false, hasLight = false, hasKeyboard = false;
    std::wstring firmwareVersion, firmwareFile, image;
    int defaultMode = 0, defaultBrightness = 0, defaultSpeed = 0, brightnessMax = 0, speedMax = 0;
    int width = 0, height = 0, rowCount = 0, colCount = 0;
    std::vector<Effect> effects;
    std::vector<LayoutKey> keys;
};

Layout ReadLayout(const std::wstring& layoutName);

// One language file: the texts of section KB.DIALOG by number, plus what the reader noticed.
struct LanguageFile {
    bool readable = false;
    bool hasBom = false;
    std::map<int, std::string> texts;  // UTF-8
    std::vector<std::string> problems; // malformed lines, repeated keys
};

LanguageFile ReadLanguageFile(int languageId);

} // namespace shipped
