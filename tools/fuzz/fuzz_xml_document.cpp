// Feeds arbitrary bytes to the XML reader, walks every element with the cursor, reads
// attributes, writes the tree back, and reads the bytes as a product configuration.
#include "devicedesc/ProductConfig.h"
#include "xml/XmlDocument.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {
constexpr const wchar_t* kNames[] = {L"config", L"device.info", L"keyboard", L"mode", L"software", L"a"};

// Visits every element of the known names, down to a bounded depth, with the cursor alone.
void Walk(XmlDocument& doc, int depth, long& budget)
{
    for (const wchar_t* name : kNames) {
        doc.ResetPos();
        while (budget-- > 0 && doc.FindElem(name)) {
            (void)doc.GetTagName();
            (void)doc.GetAttrib(L"name");
            (void)doc.GetAttribInt(L"value");
            if (depth < 64 && doc.IntoElem()) {
                Walk(doc, depth + 1, budget);
                if (!doc.OutOfElem())
                    __builtin_trap(); // coming out of a level we went into cannot fail
            }
        }
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    XmlDocument doc;
    if (doc.LoadFromText(text)) {
        if (size < 8192)
            (void)doc.GetDocText(); // indentation grows with depth: keep units small
        long budget = 100000;
        Walk(doc, 0, budget);
    }
    ProductConfig config;
    LoadProductConfigText(text, config, {});
    return 0;
}
