#!/usr/bin/env python3
"""Writes the shipped keyboard layout files (dist/files/layouts/<name>.xml).

The key geometry of the full-size ANSI board (104 keys plus Fn) is described once, in key
units, and turned into picture rectangles, grid positions and key indexes here, so that every
layout we ship is consistent. Run it after changing anything below and commit its output:

    python3 tools/layoutgen/layoutgen.py
"""
import os
import sys
from xml.sax.saxutils import quoteattr

# Picture geometry: one key unit in pixels, the margin around the key field and the gap left
# between neighbouring keys (half of it on each side of a key).
UNIT = 46
MARGIN_X = 32
MARGIN_Y = 40
GAP = 4
PICTURE_WIDTH = 1100
PICTURE_HEIGHT = 380
# Top of each key row in key units: function row, a half-unit gap, then five rows.
ROW_TOP = [0.0, 1.5, 2.5, 3.5, 4.5, 5.5]

FN_CODE = 0xFF  # the keyboard handles Fn itself; 255 marks a key that cannot be reassigned

# One entry per key: (row, x in units, width in units, height in units, HID usage, label, description)
# A key taller than one unit belongs to the grid row of its top edge.
KEYS = [
    # function row
    (0, 0.0, 1, 1, 0x29, "Esc", "Escape"),
    (0, 2.0, 1, 1, 0x3A, "F1", "F1"),
    (0, 3.0, 1, 1, 0x3B, "F2", "F2"),
    (0, 4.0, 1, 1, 0x3C, "F3", "F3"),
    (0, 5.0, 1, 1, 0x3D, "F4", "F4"),
    (0, 6.5, 1, 1, 0x3E, "F5", "F5"),
    (0, 7.5, 1, 1, 0x3F, "F6", "F6"),
    (0, 8.5, 1, 1, 0x40, "F7", "F7"),
    (0, 9.5, 1, 1, 0x41, "F8", "F8"),
    (0, 11.0, 1, 1, 0x42, "F9", "F9"),
    (0, 12.0, 1, 1, 0x43, "F10", "F10"),
    (0, 13.0, 1, 1, 0x44, "F11", "F11"),
    (0, 14.0, 1, 1, 0x45, "F12", "F12"),
    (0, 15.25, 1, 1, 0x46, "PrtSc", "Print Screen"),
    (0, 16.25, 1, 1, 0x47, "ScrLk", "Scroll Lock"),
    (0, 17.25, 1, 1, 0x48, "Pause", "Pause / Break"),
    # number row
    (1, 0.0, 1, 1, 0x35, "`", "Grave accent / tilde"),
    (1, 1.0, 1, 1, 0x1E, "1", "1 / !"),
    (1, 2.0, 1, 1, 0x1F, "2", "2 / @"),
    (1, 3.0, 1, 1, 0x20, "3", "3 / #"),
    (1, 4.0, 1, 1, 0x21, "4", "4 / $"),
    (1, 5.0, 1, 1, 0x22, "5", "5 / %"),
    (1, 6.0, 1, 1, 0x23, "6", "6 / ^"),
    (1, 7.0, 1, 1, 0x24, "7", "7 / &"),
    (1, 8.0, 1, 1, 0x25, "8", "8 / *"),
    (1, 9.0, 1, 1, 0x26, "9", "9 / ("),
    (1, 10.0, 1, 1, 0x27, "0", "0 / )"),
    (1, 11.0, 1, 1, 0x2D, "-", "Minus / underscore"),
    (1, 12.0, 1, 1, 0x2E, "=", "Equals / plus"),
    (1, 13.0, 2, 1, 0x2A, "Backspace", "Backspace"),
    (1, 15.25, 1, 1, 0x49, "Ins", "Insert"),
    (1, 16.25, 1, 1, 0x4A, "Home", "Home"),
    (1, 17.25, 1, 1, 0x4B, "PgUp", "Page Up"),
    (1, 18.5, 1, 1, 0x53, "NumLk", "Num Lock"),
    (1, 19.5, 1, 1, 0x54, "/", "Keypad divide"),
    (1, 20.5, 1, 1, 0x55, "*", "Keypad multiply"),
    (1, 21.5, 1, 1, 0x56, "-", "Keypad minus"),
    # top letter row
    (2, 0.0, 1.5, 1, 0x2B, "Tab", "Tab"),
    (2, 1.5, 1, 1, 0x14, "Q", "Q"),
    (2, 2.5, 1, 1, 0x1A, "W", "W"),
    (2, 3.5, 1, 1, 0x08, "E", "E"),
    (2, 4.5, 1, 1, 0x15, "R", "R"),
    (2, 5.5, 1, 1, 0x17, "T", "T"),
    (2, 6.5, 1, 1, 0x1C, "Y", "Y"),
    (2, 7.5, 1, 1, 0x18, "U", "U"),
    (2, 8.5, 1, 1, 0x0C, "I", "I"),
    (2, 9.5, 1, 1, 0x12, "O", "O"),
    (2, 10.5, 1, 1, 0x13, "P", "P"),
    (2, 11.5, 1, 1, 0x2F, "[", "Left bracket / brace"),
    (2, 12.5, 1, 1, 0x30, "]", "Right bracket / brace"),
    (2, 13.5, 1.5, 1, 0x31, "\\", "Backslash / vertical bar"),
    (2, 15.25, 1, 1, 0x4C, "Del", "Delete"),
    (2, 16.25, 1, 1, 0x4D, "End", "End"),
    (2, 17.25, 1, 1, 0x4E, "PgDn", "Page Down"),
    (2, 18.5, 1, 1, 0x5F, "7", "Keypad 7 / Home"),
    (2, 19.5, 1, 1, 0x60, "8", "Keypad 8 / Up"),
    (2, 20.5, 1, 1, 0x61, "9", "Keypad 9 / Page Up"),
    (2, 21.5, 1, 2, 0x57, "+", "Keypad plus"),
    # home row
    (3, 0.0, 1.75, 1, 0x39, "Caps", "Caps Lock"),
    (3, 1.75, 1, 1, 0x04, "A", "A"),
    (3, 2.75, 1, 1, 0x16, "S", "S"),
    (3, 3.75, 1, 1, 0x07, "D", "D"),
    (3, 4.75, 1, 1, 0x09, "F", "F"),
    (3, 5.75, 1, 1, 0x0A, "G", "G"),
    (3, 6.75, 1, 1, 0x0B, "H", "H"),
    (3, 7.75, 1, 1, 0x0D, "J", "J"),
    (3, 8.75, 1, 1, 0x0E, "K", "K"),
    (3, 9.75, 1, 1, 0x0F, "L", "L"),
    (3, 10.75, 1, 1, 0x33, ";", "Semicolon / colon"),
    (3, 11.75, 1, 1, 0x34, "'", "Apostrophe / quote"),
    (3, 12.75, 2.25, 1, 0x28, "Enter", "Enter"),
    (3, 18.5, 1, 1, 0x5C, "4", "Keypad 4 / Left"),
    (3, 19.5, 1, 1, 0x5D, "5", "Keypad 5"),
    (3, 20.5, 1, 1, 0x5E, "6", "Keypad 6 / Right"),
    # bottom letter row
    (4, 0.0, 2.25, 1, 0xE1, "Shift", "Left Shift"),
    (4, 2.25, 1, 1, 0x1D, "Z", "Z"),
    (4, 3.25, 1, 1, 0x1B, "X", "X"),
    (4, 4.25, 1, 1, 0x06, "C", "C"),
    (4, 5.25, 1, 1, 0x19, "V", "V"),
    (4, 6.25, 1, 1, 0x05, "B", "B"),
    (4, 7.25, 1, 1, 0x11, "N", "N"),
    (4, 8.25, 1, 1, 0x10, "M", "M"),
    (4, 9.25, 1, 1, 0x36, ",", "Comma / less than"),
    (4, 10.25, 1, 1, 0x37, ".", "Period / greater than"),
    (4, 11.25, 1, 1, 0x38, "/", "Slash / question mark"),
    (4, 12.25, 2.75, 1, 0xE5, "Shift", "Right Shift"),
    (4, 16.25, 1, 1, 0x52, "Up", "Up arrow"),
    (4, 18.5, 1, 1, 0x59, "1", "Keypad 1 / End"),
    (4, 19.5, 1, 1, 0x5A, "2", "Keypad 2 / Down"),
    (4, 20.5, 1, 1, 0x5B, "3", "Keypad 3 / Page Down"),
    (4, 21.5, 1, 2, 0x58, "Enter", "Keypad Enter"),
    # space row
    (5, 0.0, 1.25, 1, 0xE0, "Ctrl", "Left Ctrl"),
    (5, 1.25, 1.25, 1, 0xE3, "Win", "Left Windows / Super"),
    (5, 2.5, 1.25, 1, 0xE2, "Alt", "Left Alt"),
    (5, 3.75, 6.25, 1, 0x2C, "Space", "Space"),
    (5, 10.0, 1, 1, 0xE6, "Alt", "Right Alt"),
    (5, 11.0, 1, 1, 0xE7, "Win", "Right Windows / Super"),
    (5, 12.0, 1, 1, FN_CODE, "Fn", "Fn (handled by the keyboard)"),
    (5, 13.0, 1, 1, 0x65, "Menu", "Application / Menu"),
    (5, 14.0, 1, 1, 0xE4, "Ctrl", "Right Ctrl"),
    (5, 15.25, 1, 1, 0x50, "Left", "Left arrow"),
    (5, 16.25, 1, 1, 0x51, "Down", "Down arrow"),
    (5, 17.25, 1, 1, 0x4F, "Right", "Right arrow"),
    (5, 18.5, 2, 1, 0x62, "0", "Keypad 0 / Insert"),
    (5, 20.5, 1, 1, 0x63, ".", "Keypad period / Delete"),
]

# Control bits of a lighting effect.
BRIGHTNESS, SPEED, DIR_LR, DIR_UD = 0x1, 0x2, 0x4, 0x8
COLOUR_PANEL, SINGLE_COLOUR = 0x10, 0x20
PRESETS_1, PRESETS_2, PRESETS_3 = 0x40, 0x80, 0x1000
PER_KEY, MUSIC, SCREEN, COLOUR_GRID = 0x100, 0x200, 0x400, 0x800

CUSTOM_MODE = 128  # per-key colours are kept under this mode number

# (language text id of the name, device mode number, control bits)
EFFECTS_COMMON = [
    (400, 1, BRIGHTNESS | SPEED | DIR_LR | PRESETS_1),          # wave
    (401, 2, BRIGHTNESS | SPEED | PRESETS_1),                   # breathing
    (402, 3, BRIGHTNESS | SPEED | PRESETS_2),                   # ripple
    (403, 4, BRIGHTNESS | COLOUR_PANEL | SINGLE_COLOUR),        # static: mode 4 carries a colour
    (404, 5, BRIGHTNESS | SPEED),                               # spectrum cycle
    (405, 6, BRIGHTNESS | SPEED | DIR_UD | PRESETS_3),          # raindrops
    (406, 7, BRIGHTNESS | SPEED | PRESETS_3),                   # reactive
    (407, 8, BRIGHTNESS | SPEED | DIR_LR | PRESETS_2),          # neon stream
    (408, 9, BRIGHTNESS | COLOUR_GRID),                         # colour zones: speed holds a colour choice
    (409, CUSTOM_MODE, BRIGHTNESS | COLOUR_PANEL | PER_KEY),    # custom per-key colours
    (410, 10, MUSIC),                                           # music
]
# Screen colours are streamed by the wired output-report family only.
EFFECT_SCREEN = (411, 11, SCREEN)

MODELS = [
    {
        "name": "k2pro_ansi",
        "sleep_time": 1,
        "firmware": ("106", "k2pro-fwtool", "https://update.keystead.example/firmware/k2pro/"),
        "effects": EFFECTS_COMMON,
    },
    {
        "name": "k1_ansi",
        "sleep_time": 0,
        "firmware": ("103", "k1-fwtool", "https://update.keystead.example/firmware/k1/"),
        "effects": EFFECTS_COMMON + [EFFECT_SCREEN],
    },
]


def px(units):
    return int(round(units * UNIT))


def key_rows():
    """Yields one dict per key with its index, grid cell and picture rectangle."""
    cells = set()
    for index, (row, x, w, h, code, label, desc) in enumerate(KEYS):
        col = int(x + w / 2)  # the unit column under the key's centre: unique within a row
        if (row, col) in cells:
            sys.exit(f"grid cell {row}-{col} used twice")
        cells.add((row, col))
        left = MARGIN_X + px(x) + GAP // 2
        top = MARGIN_Y + px(ROW_TOP[row]) + GAP // 2
        width = px(w) - GAP
        height = px(h) - GAP
        if left + width > PICTURE_WIDTH or top + height > PICTURE_HEIGHT:
            sys.exit(f"key {label} lies outside the picture")
        yield {
            "code": code, "label": label, "desc": desc, "index": index,
            "row": row, "col": col, "rect": (left, top, width, height),
        }


def layout_xml(model):
    keys = list(key_rows())
    rows = max(k["row"] for k in keys) + 1
    cols = max(k["col"] for k in keys) + 1
    version, tool, url = model["firmware"]
    out = ['<?xml version="1.0" encoding="UTF-8"?>', "<device.info>",
           '\t<menu macro="1" light_mode="1"/>',
           f'\t<function sleep_time="{model["sleep_time"]}"/>',
           f"\t<firmware version={quoteattr(version)} file={quoteattr(tool)} url={quoteattr(url)}/>",
           '\t<light rgb_keyboard="1" default_mode="1" default_brightness="4" default_speed="3"'
           ' brightness_max="4" speed_max="4">']
    for text_id, mode, bits in model["effects"]:
        out.append(f'\t\t<info name="{text_id}" mode="{mode}" attribute="{bits}"/>')
    out.append("\t</light>")
    out.append(f'\t<Keyboard xpos="130" ypos="100" width="{PICTURE_WIDTH}" height="{PICTURE_HEIGHT}"'
               f' image="{model["name"]}.png" row_count="{rows}" col_count="{cols}">')
    out.append("\t\t<KeyItems>")
    for k in keys:
        rect = "#".join(str(v) for v in k["rect"])
        out.append(
            f'\t\t\t<key code="{k["code"]:02X}" name={quoteattr(k["label"])} desc={quoteattr(k["desc"])}'
            f' key_index="{k["index"]}" light_index="{k["index"]}" icon=""'
            f' row_col="{k["row"]}-{k["col"]}" rect="{rect}"/>')
    out.append("\t\t</KeyItems>")
    out.append("\t</Keyboard>")
    out.append("</device.info>")
    return "\n".join(out) + "\n"


def main():
    root = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
    folder = os.path.join(root, "dist", "files", "layouts")
    os.makedirs(folder, exist_ok=True)
    for model in MODELS:
        path = os.path.join(folder, model["name"] + ".xml")
        with open(path, "w", encoding="utf-8", newline="\n") as f:
            f.write(layout_xml(model))
        print(path)


if __name__ == "__main__":
    main()
