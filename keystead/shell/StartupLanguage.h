#pragma once

// Fixes the language of this run. The stored language id is used when there is one;
// otherwise (first start, or "0", empty or non-numeric text) the run uses the system's
// language, and the stored value becomes 1033 for an English (United States) system and
// 2052 for every other one. Returns the language id of the run.
int ChooseStartupLanguage(int systemLanguageId);
