#pragma once
#include "xml/LeadingNumber.h"

#include <memory>
#include <string>
#include <string_view>

// XML reader and writer with a cursor over one level of elements at a time.
//
// Reading: FindElem moves to the next element of a name *after* the current one, so the
// order of elements in a file matters; IntoElem makes the current element's children the
// level (with no current element yet); OutOfElem makes the parent current again.
// Writing: AddElem appends after the current element at the current level and makes the
// new element current; SetAttrib sets attributes of the current element in call order.
class XmlDocument {
public:
    XmlDocument();
    ~XmlDocument();
    XmlDocument(const XmlDocument&) = delete;
    XmlDocument& operator=(const XmlDocument&) = delete;

    // Loads and parses a file (UTF-8 with or without BOM, or UTF-16 with BOM).
    // False when the file cannot be read, is too large or is not well formed.
    bool Load(const std::wstring& path);
    bool LoadFromText(std::string_view text);

    // Starts an empty document whose saved text begins with the given declaration
    // line, written as it stands (for example "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n").
    void NewDocument(const std::wstring& declaration);
    void Close();

    bool FindElem(std::wstring_view name);
    bool IntoElem();
    bool OutOfElem();
    // Name of the current element, empty when there is none.
    std::wstring GetTagName() const;
    // Attribute of the current element with references decoded; empty when absent.
    std::wstring GetAttrib(std::wstring_view name) const;
    // Attribute read as the longest leading decimal number (0 when absent or not a number).
    int GetAttribInt(std::wstring_view name) const;
    // Restarts the search at the beginning of the current level.
    void ResetPos();

    bool AddElem(std::wstring_view name);
    bool SetAttrib(std::wstring_view name, std::wstring_view value);
    bool SetAttrib(std::wstring_view name, long long value);

    // The whole document as UTF-8 text: declaration, then elements indented with tabs,
    // lines ending in CR LF.
    std::string GetDocText() const;
    bool Save(const std::wstring& path) const;

    // Files larger than this are refused rather than read into memory.
    static constexpr size_t kMaxFileSize = 32u * 1024u * 1024u;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

