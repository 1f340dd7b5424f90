#pragma once
#include "lumo/MControl.h"

#include <string>

namespace Lumo {

struct ImgResInfo;
struct FontFamily;

// Font style bits.
constexpr int FontStyleRegular = 0;
constexpr int FontStyleBold = 1;
constexpr int FontStyleItalic = 2;
constexpr int FontStyleUnderline = 4;

// Horizontal and vertical alignment values.
constexpr UINT DT_LEFT = 0;
constexpr UINT DT_CENTER = 1;
constexpr UINT DT_RIGHT = 2;
constexpr UINT DT_TOP = 0;
constexpr UINT DT_VCENTER = 4;
constexpr UINT DT_BOTTOM = 8;

// How text is rasterised: 0 system default ... 5 sub-pixel with grid fit.
enum class TextRenderingHint { SystemDefault = 0, SingleBitPerPixelGridFit, SingleBitPerPixel, AntiAliasGridFit, AntiAlias, ClearTypeGridFit };

// A font as a control asks for it (face, size in pixels, style bits).
struct FontSpec {
    std::wstring face;
    int sizePx = 14;
    int style = 0;
};

// Base of every control that shows a title, uses a font or shows a skin image strip.
class MControlFont : public MControl {
public:
    MControlFont(MObject* parent, UINT id, Rect rect, const wchar_t* title, int visible = 1, int enabled = 1,
                 int response = 1);
    ~MControlFont() override;

    virtual void SetTextFont(const std::wstring& name);
    virtual void SetTextColor(ARGB color);
    // Loads from the program's resources through the window's image cache.
    virtual int SetImage(UINT resourceId, const std::wstring& resourceType, int count);
    // Loads a skin image (relative to the skin folder) through the window's image cache.
    virtual int SetImage(const wchar_t* path, int count);
    virtual void SetControlTitle(const wchar_t* title);
    virtual const std::wstring& GetControlTitle() const;

    void SetTitle(const wchar_t* title);
    const std::wstring& GetTitle() const { return GetControlTitle(); }
    void SetAlignment(UINT h);
    void SetVAlignment(UINT v);
    void SetAlignment(UINT h, UINT v);
    void GetAlignment(UINT& h, UINT& v) const
    {
        h = m_hAlign;
        v = m_vAlign;
    }
    void SetFont(const wchar_t* name, int size, int style);
    const std::wstring& GetTextFont() const { return m_fontName; }
    ARGB GetTextColor() const { return m_textColor; }
    void SetFontStyle(int style) { m_fontStyle = style; }
    int GetFontStyle() const { return m_fontStyle; }
    void SetFontWidth(int size) { m_fontSize = size; }
    int GetFontWidth() const { return m_fontSize; }
    void SetTextRenderingHint(TextRenderingHint hint) { m_renderingHint = hint; }
    TextRenderingHint GetTextRenderingHint() const { return m_renderingHint; }
    void SetImageCount(int count) { m_imageCount = count > 0 ? count : 1; }
    int GetImageCount() const { return m_imageCount; }
    Size GetImageSize() const { return Size{m_imageWidth, m_imageHeight}; }
    const std::wstring& GetImagePath() const { return m_imagePath; }
    const ImgResInfo* GetImageInfo() const { return m_image; }
    const FontFamily* GetFontFamily(const wchar_t* name);
    // The font this control draws its text with.
    FontSpec GetFontSpec() const { return FontSpec{m_fontName, m_fontSize, m_fontStyle}; }
    // Device-font handle equivalents: the font description above, built once and dropped on title changes.
    const FontSpec* GetGDIFont();
    void ClearGDIFont() { m_gdiFont.reset(); }

protected:
    std::wstring m_title;
    std::wstring m_fontName;
    std::wstring m_imagePath;
    int m_fontSize = 14;
    ARGB m_textColor = 0xFFFFFFFF;
    int m_fontStyle = 0;
    const FontFamily* m_fontFamily = nullptr;
    UINT m_hAlign = DT_LEFT;
    UINT m_vAlign = DT_VCENTER;
    TextRenderingHint m_renderingHint = TextRenderingHint::ClearTypeGridFit;
    std::unique_ptr<FontSpec> m_gdiFont;
    const ImgResInfo* m_image = nullptr;
    int m_imageWidth = 0;
    int m_imageHeight = 0;
    int m_imageCount = 4;
};

} // namespace Lumo
