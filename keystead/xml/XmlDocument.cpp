#include "xml/XmlDocument.h"

#include "platform/AtomicFile.h"
#include "platform/TextCodec.h"

#include <pugixml.hpp>

#include <climits>
#include <cstdio>
#include <vector>

struct XmlDocument::Impl {
    pugi::xml_document doc;
    pugi::xml_node parent;   // the level: its element children are searched
    pugi::xml_node current;  // may be empty: no current element yet
    std::string declaration;

    void Reset()
    {
        doc.reset();
        parent = doc;
        current = pugi::xml_node();
    }
};

XmlDocument::XmlDocument() : m_impl(std::make_unique<Impl>()) { m_impl->Reset(); }
XmlDocument::~XmlDocument() = default;

bool XmlDocument::Load(const std::wstring& path)
{
    // Regular files only, and only up to the size limit: a FIFO or device never blocks the read.
    std::string text;
    if (!platform::ReadSmallFile(platform::ToUtf8(path), kMaxFileSize, text))
        return false;
    return LoadFromText(text);
}

bool XmlDocument::LoadFromText(std::string_view text)
{
    m_impl->Reset();
    m_impl->declaration.clear();
    // No DOCTYPE processing: user-defined entities are never expanded, so entity bombs
    // stay inert text. Predefined and numeric references are decoded.
    const unsigned options = pugi::parse_default & ~pugi::parse_doctype;
    pugi::xml_parse_result result =
        m_impl->doc.load_buffer(text.data(), text.size(), options, pugi::encoding_auto);
    // The parser accepts several top-level elements; a well-formed document has one.
    int roots = 0;
    for (pugi::xml_node node : m_impl->doc.children())
        roots += node.type() == pugi::node_element ? 1 : 0;
    if (!result || roots != 1) {
        m_impl->Reset();
        return false;
    }
    return true;
}

void XmlDocument::NewDocument(const std::wstring& declaration)
{
    m_impl->Reset();
    m_impl->declaration = platform::ToUtf8(declaration);
}

void XmlDocument::Close()
{
    m_impl->Reset();
    m_impl->declaration.clear();
}

bool XmlDocument::FindElem(std::wstring_view name)
{
    const std::string wanted = platform::ToUtf8(name);
    pugi::xml_node node = m_impl->current ? m_impl->current.next_sibling() : m_impl->parent.first_child();
    for (; node; node = node.next_sibling()) {
        if (node.type() == pugi::node_element && wanted == node.name()) {
            m_impl->current = node;
            return true;
        }
    }
    return false;
}

bool XmlDocument::IntoElem()
{
    if (!m_impl->current)
        return false;
    m_impl->parent = m_impl->current;
    m_impl->current = pugi::xml_node();
    return true;
}

bool XmlDocument::OutOfElem()
{
    if (m_impl->parent == m_impl->doc)
        return false;
    m_impl->current = m_impl->parent;
    m_impl->parent = m_impl->parent.parent();
    return true;
}

std::wstring XmlDocument::GetTagName() const
{
    return m_impl->current ? platform::FromUtf8(m_impl->current.name()) : std::wstring();
}

std::wstring XmlDocument::GetAttrib(std::wstring_view name) const
{
    if (!m_impl->current)
        return {};
    pugi::xml_attribute attr = m_impl->current.attribute(platform::ToUtf8(name).c_str());
    return attr ? platform::FromUtf8(attr.value()) : std::wstring();
}

int XmlDocument::GetAttribInt(std::wstring_view name) const
{
    return LeadingInt(GetAttrib(name));
}

void XmlDocument::ResetPos()
{
    m_impl->current = pugi::xml_node();
}

bool XmlDocument::AddElem(std::wstring_view name)
{
    const std::string n = platform::ToUtf8(name);
    if (n.empty())
        return false;
    // A document has one root element.
    if (m_impl->parent == m_impl->doc && m_impl->doc.document_element())
        return false;
    pugi::xml_node node = m_impl->current ? m_impl->parent.insert_child_after(pugi::node_element, m_impl->current)
                                          : m_impl->parent.append_child(pugi::node_element);
    if (!node)
        return false;
    node.set_name(n.c_str());
    m_impl->current = node;
    return true;
}

bool XmlDocument::SetAttrib(std::wstring_view name, std::wstring_view value)
{
    if (!m_impl->current || name.empty())
        return false;
    const std::string n = platform::ToUtf8(name);
    pugi::xml_attribute attr = m_impl->current.attribute(n.c_str());
    if (!attr)
        attr = m_impl->current.append_attribute(n.c_str());
    return attr.set_value(platform::ToUtf8(value).c_str());
}

bool XmlDocument::SetAttrib(std::wstring_view name, long long value)
{
    return SetAttrib(name, std::to_wstring(value));
}

namespace {
void AppendEscaped(std::string& out, const char* text)
{
    for (const char* p = text; *p; ++p) {
        switch (*p) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&apos;"; break;
        case '\r': out += "&#13;"; break;
        case '\n': out += "&#10;"; break;
        case '\t': out += "&#9;"; break;
        default: out += *p;
        }
    }
}

// Iterative, so a deeply nested tree cannot exhaust the stack.
void WriteElements(std::string& out, pugi::xml_node root)
{
    struct Frame { pugi::xml_node node; int depth; bool closing; };
    std::vector<Frame> stack{{root, 0, false}};
    while (!stack.empty()) {
        Frame f = stack.back();
        stack.pop_back();
        out.append(static_cast<size_t>(f.depth), '\t');
        if (f.closing) {
            out += "</";
            out += f.node.name();
            out += ">\r\n";
            continue;
        }
        out += '<';
        out += f.node.name();
        for (pugi::xml_attribute a : f.node.attributes()) {
            out += ' ';
            out += a.name();
            out += "=\"";
            AppendEscaped(out, a.value());
            out += '"';
        }
        std::vector<pugi::xml_node> children;
        for (pugi::xml_node c : f.node.children())
            if (c.type() == pugi::node_element)
                children.push_back(c);
        if (children.empty()) {
            out += "/>\r\n";
            continue;
        }
        out += ">\r\n";
        stack.push_back({f.node, f.depth, true});
        for (auto it = children.rbegin(); it != children.rend(); ++it)
            stack.push_back({*it, f.depth + 1, false});
    }
}
} // namespace

std::string XmlDocument::GetDocText() const
{
    std::string out = m_impl->declaration;
    if (pugi::xml_node root = m_impl->doc.document_element())
        WriteElements(out, root);
    return out;
}

bool XmlDocument::Save(const std::wstring& path) const
{
    const std::string text = GetDocText();
    FILE* f = std::fopen(platform::ToUtf8(path).c_str(), "wb");
    if (!f)
        return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    const bool closed = std::fclose(f) == 0;
    return written && closed;
}
