#pragma once

// Start with the desktop session, through the autostart entry named with the device name.
// SetAutostart(true) points the entry at the keystead executable of the program folder;
// failures are ignored.
void SetAutostart(bool on);
// True when the entry is present.
bool IsAutostartOn();
