#pragma once
#include <string>
#include <string_view>
#include <vector>

class DataStore;

// Profile and macro exchange files: XML, UTF-8, shared between users. A profile file carries the
// normal-layer key assignments of one profile and every macro they play; a macro file one macro.
// Files from elsewhere are untrusted: whatever they hold, import stores only what the formats
// describe, with bounded numbers and without control characters in texts.

struct ImportedMacro {
    std::wstring name;
    int id = 0;
};

struct ProfileImport {
    bool readable = false;               // the file was a profile file
    std::vector<ImportedMacro> macros;   // macros stored, in file order (id above 0)
    std::wstring name;                   // the new profile's name
    int profileId = 0;                   // 0 when the profile could not be stored
};

// The document texts, as written to the files.
std::string BuildProfileFile(DataStore& store, int profileId, const std::wstring& name);
std::string BuildMacroFile(DataStore& store, int macroId);

bool ExportProfile(DataStore& store, int profileId, const std::wstring& name, const std::wstring& path);
bool ExportMacro(DataStore& store, int macroId, const std::wstring& path);

ProfileImport ImportProfile(DataStore& store, const std::wstring& path);
ProfileImport ImportProfileText(DataStore& store, std::string_view text, const std::wstring& fileName);
// The stored macro; id 0 when the file is not a macro file or the header could not be stored.
ImportedMacro ImportMacro(DataStore& store, const std::wstring& path);
ImportedMacro ImportMacroText(DataStore& store, std::string_view text, const std::wstring& fileName);

// Name of an imported profile or macro: the file's name without its folder, cut before the first
// dot; a name without a dot is taken whole.
std::wstring NameFromFileName(std::wstring_view path);
