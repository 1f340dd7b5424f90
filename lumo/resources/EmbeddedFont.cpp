// The library's own typeface, taken into the library at build time.
#include "resources/EmbeddedResources.h"

__asm__(".pushsection .rodata\n"
        ".balign 16\n"
        ".hidden lumo_embedded_font_begin\n"
        ".hidden lumo_embedded_font_end\n"
        "lumo_embedded_font_begin:\n"
        ".incbin \"" LUMO_FONT_FILE "\"\n"
        "lumo_embedded_font_end:\n"
        ".popsection\n");

extern "C" const unsigned char lumo_embedded_font_begin[];
extern "C" const unsigned char lumo_embedded_font_end[];

namespace Lumo::Embedded {

std::span<const unsigned char> FontBytes()
{
    return {lumo_embedded_font_begin, std::size_t(lumo_embedded_font_end - lumo_embedded_font_begin)};
}

} // namespace Lumo::Embedded
