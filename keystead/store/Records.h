#pragma once
#include <string>

// One record type per table of the configuration database, fields in the order the
// program keeps them. Integers are 32-bit; texts are wide in memory and UTF-8 in the file.

struct ProfileData {
    int profile = 0;
    std::wstring name;
    std::wstring app;
    int type = 0;
    int status = 0;
};

struct KeyMacroData {
    int key_id = 0;
    int profile = 0;
    int fn_layer = 0;
    int key_code = 0;
    int layout_value = 0;
    std::wstring layout_desc;
    int macro_type = 0;
    int macro_value = 0;
    int macro_value2 = 0;
    int macro_value3 = 0;
    std::wstring macro_desc;
};

struct MacroData {
    int macro_id = 0;
    std::wstring name;
    int link_count = 0;
    int play_times = 0;
    int delay_type = 0;
    int delay_time = 0;
};

struct MacroRecordData {
    int record_id = 0;
    int macro_id = 0;
    int type = 0;
    int record_index = 0;
    int value = 0;
    int delay_time = 0;
    std::wstring desc;
};

struct LightData {
    int light_id = 0;
    int profile = 0;
    std::wstring name;
    int mode = 0;
    int brightness = 0;
    int speed = 0;
    int direction = 0;
    int colorful = 0;
    int colorindex = 0;
    int color_value = 0; // COLORREF, red in the low byte
    int config_func = 0;
    int reserved = 0;
    int status = 0;
};

struct KeyLightData {
    int keylight_id = 0;
    int profile = 0;
    int light_id = 0;
    int key_code = 0;
    int key_rgb = 0; // COLORREF, red in the low byte
};

// The table's sel column is not part of the record.
struct MusicLayerData {
    int layer_id = 0;
    int profile = 0;
    std::wstring name;
    int deviceindex = 0;
    int foremode = 0;
    int fore_amplitude = 0;
    int backmode = 0;
    int backb_right = 0;
};
