#include "TextEngine.h"

#include "Utf8.h"

#include <fontconfig/fontconfig.h>
#include <pango/pangocairo.h>
#include <pango/pangofc-fontmap.h>
#include <sys/mman.h>
#include <unistd.h>

#include <mutex>
#include <vector>

namespace Lumo::TextEngine {
namespace {

struct Engine {
    std::recursive_mutex lock;
    FcConfig* config = nullptr;
    PangoFontMap* fontMap = nullptr;
    PangoContext* context = nullptr;
    std::vector<int> memoryFonts; // descriptors that back fonts added from memory
};

Engine& E()
{
    static Engine* engine = [] {
        auto* e = new Engine; // lives for the process: Pango keeps references into it
        e->config = FcInitLoadConfigAndFonts();
        e->fontMap = pango_cairo_font_map_new_for_font_type(CAIRO_FONT_TYPE_FT);
        if (e->fontMap && PANGO_IS_FC_FONT_MAP(e->fontMap))
            pango_fc_font_map_set_config(PANGO_FC_FONT_MAP(e->fontMap), e->config);
        e->context = e->fontMap ? pango_font_map_create_context(e->fontMap) : nullptr;
        return e;
    }();
    return *engine;
}

void ConfigChanged(Engine& e)
{
    if (e.fontMap && PANGO_IS_FC_FONT_MAP(e.fontMap))
        pango_fc_font_map_config_changed(PANGO_FC_FONT_MAP(e.fontMap));
}

PangoFontDescription* Describe(const FontSpec& font)
{
    PangoFontDescription* d = pango_font_description_new();
    const std::string family = Utf8::Narrow(font.face.empty() ? std::wstring(L"Arial") : font.face);
    pango_font_description_set_family(d, family.c_str());
    pango_font_description_set_absolute_size(d, double(std::max(1, font.sizePx)) * PANGO_SCALE);
    pango_font_description_set_weight(d, (font.style & FontStyleBold) ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_font_description_set_style(d, (font.style & FontStyleItalic) ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
    return d;
}

PangoLayout* MakeLayout(PangoContext* context, const std::wstring& text, const FontSpec& font, int maxWidth,
                        const Layout& layout)
{
    PangoLayout* l = pango_layout_new(context);
    const std::string utf8 = Utf8::Narrow(text);
    pango_layout_set_text(l, utf8.c_str(), int(utf8.size()));
    PangoFontDescription* d = Describe(font);
    pango_layout_set_font_description(l, d);
    pango_font_description_free(d);
    if (font.style & FontStyleUnderline) {
        PangoAttrList* attrs = pango_attr_list_new();
        pango_attr_list_insert(attrs, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
        pango_layout_set_attributes(l, attrs);
        pango_attr_list_unref(attrs);
    }
    if (maxWidth > 0) {
        pango_layout_set_width(l, maxWidth * PANGO_SCALE);
        if (layout.wrap) {
            pango_layout_set_wrap(l, PANGO_WRAP_WORD_CHAR);
        } else {
            pango_layout_set_ellipsize(l, PANGO_ELLIPSIZE_NONE);
            pango_layout_set_width(l, -1);
        }
        pango_layout_set_alignment(l, layout.hAlign == DT_CENTER  ? PANGO_ALIGN_CENTER
                                      : layout.hAlign == DT_RIGHT ? PANGO_ALIGN_RIGHT
                                                                  : PANGO_ALIGN_LEFT);
    }
    return l;
}

} // namespace

bool AddFontFile(const std::string& path)
{
    Engine& e = E();
    std::lock_guard lock(e.lock);
    if (!FcConfigAppFontAddFile(e.config, reinterpret_cast<const FcChar8*>(path.c_str())))
        return false;
    ConfigChanged(e);
    return true;
}

bool AddFontMemory(std::span<const unsigned char> bytes)
{
    if (bytes.empty())
        return false;
    // Fontconfig reads fonts from files; an anonymous memory file gives it one without
    // leaving anything on disk.
    const int fd = memfd_create("lumo-font", MFD_CLOEXEC);
    if (fd < 0)
        return false;
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) {
            close(fd);
            return false;
        }
        done += std::size_t(n);
    }
    if (!AddFontFile("/proc/self/fd/" + std::to_string(fd))) {
        close(fd);
        return false;
    }
    Engine& e = E();
    std::lock_guard lock(e.lock);
    e.memoryFonts.push_back(fd);
    return true;
}

bool HasFamily(const std::wstring& family)
{
    Engine& e = E();
    std::lock_guard lock(e.lock);
    const std::string name = Utf8::Narrow(family);
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
    FcObjectSet* os = FcObjectSetBuild(FC_FAMILY, nullptr);
    FcFontSet* set = FcFontList(e.config, pattern, os);
    const bool found = set && set->nfont > 0;
    if (set)
        FcFontSetDestroy(set);
    FcObjectSetDestroy(os);
    FcPatternDestroy(pattern);
    return found;
}

std::wstring ResolveFamily(const std::wstring& face)
{
    Engine& e = E();
    std::lock_guard lock(e.lock);
    const std::string name = Utf8::Narrow(face);
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(name.c_str()));
    if (!pattern)
        return face;
    FcConfigSubstitute(e.config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(e.config, pattern, &result);
    std::wstring family = face;
    FcChar8* value = nullptr;
    if (match && FcPatternGetString(match, FC_FAMILY, 0, &value) == FcResultMatch && value)
        family = Utf8::Widen(reinterpret_cast<const char*>(value));
    if (match)
        FcPatternDestroy(match);
    FcPatternDestroy(pattern);
    return family;
}

void Draw(cairo_t* cr, const std::wstring& text, const Rect& rect, const FontSpec& font, ARGB color,
          const Layout& layout)
{
    if (text.empty() || rect.IsRectEmpty() || AlphaOf(color) == 0)
        return;
    Engine& e = E();
    std::lock_guard lock(e.lock);
    if (!e.context)
        return;
    pango_cairo_update_context(cr, e.context);
    PangoLayout* l = MakeLayout(e.context, text, font, rect.Width(), layout);
    int w = 0, h = 0;
    pango_layout_get_pixel_size(l, &w, &h);
    int x = rect.left;
    if (!layout.wrap) {
        if (layout.hAlign == DT_CENTER)
            x = rect.left + (rect.Width() - w) / 2;
        else if (layout.hAlign == DT_RIGHT)
            x = rect.right - w;
    }
    int y = rect.top;
    if (layout.vAlign == DT_VCENTER)
        y = rect.top + (rect.Height() - h) / 2;
    else if (layout.vAlign == DT_BOTTOM)
        y = rect.bottom - h;
    cairo_save(cr);
    if (!layout.wrap) {
        cairo_rectangle(cr, rect.left, rect.top, rect.Width(), rect.Height());
        cairo_clip(cr);
    }
    cairo_set_source_rgba(cr, RedOf(color) / 255.0, GreenOf(color) / 255.0, BlueOf(color) / 255.0,
                          AlphaOf(color) / 255.0);
    cairo_move_to(cr, x, y);
    pango_cairo_show_layout(cr, l);
    cairo_restore(cr);
    g_object_unref(l);
}

Size Measure(const std::wstring& text, const FontSpec& font, int maxWidth)
{
    Engine& e = E();
    std::lock_guard lock(e.lock);
    if (!e.context || text.empty())
        return Size{};
    Layout layout;
    layout.wrap = maxWidth > 0;
    PangoLayout* l = MakeLayout(e.context, text, font, maxWidth, layout);
    int w = 0, h = 0;
    pango_layout_get_pixel_size(l, &w, &h);
    g_object_unref(l);
    return Size{w, h};
}

} // namespace Lumo::TextEngine
