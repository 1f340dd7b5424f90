#pragma once
#include "lumo/MControlFont.h"
#include "lumo/Types.h"

#include <span>
#include <string>

typedef struct _cairo cairo_t;

namespace Lumo {

// Text layout and drawing through Pango on a font map of the library's own: the system's
// fonts (where "Arial" resolves to its metric twin) plus the fonts the library adds.
namespace TextEngine {

struct Layout {
    UINT hAlign = DT_LEFT;
    UINT vAlign = DT_TOP;
    bool wrap = false;
};

// Makes a font file known under the family names it carries; false when fontconfig refuses it.
bool AddFontFile(const std::string& path);
// The same for a font held in memory.
bool AddFontMemory(std::span<const unsigned char> bytes);
// Whether fontconfig has a font whose family is exactly this name.
bool HasFamily(const std::wstring& family);
// The family a face name resolves to (for example "Arial" -> "Liberation Sans").
std::wstring ResolveFamily(const std::wstring& face);

void Draw(cairo_t* cr, const std::wstring& text, const Rect& rect, const FontSpec& font, ARGB color,
          const Layout& layout);
// Logical size of the text; maxWidth > 0 wraps at that width.
Size Measure(const std::wstring& text, const FontSpec& font, int maxWidth = -1);

} // namespace TextEngine
} // namespace Lumo
