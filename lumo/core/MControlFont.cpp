#include "lumo/MControlFont.h"

#include "lumo/Image.h"
#include "lumo/Manager.h"
#include "lumo/PaintManager.h"

namespace Lumo {

MControlFont::MControlFont(MObject* parent, UINT id, Rect rect, const wchar_t* title, int visible, int enabled,
                           int response)
    : MControl(parent, id, rect, visible, enabled, response), m_title(title ? title : L""),
      m_fontName(Manager::GetFontName()), m_fontSize(Manager::GetFontWidth())
{
}

MControlFont::~MControlFont() = default;

void MControlFont::SetTextFont(const std::wstring& name) { m_fontName = name; }

void MControlFont::SetTextColor(ARGB color) { m_textColor = color; }

int MControlFont::SetImage(UINT resourceId, const std::wstring& resourceType, int count)
{
    if (!m_manager)
        return 0;
    const ImgResInfo* info = m_manager->AddImgResInfo(resourceId, resourceType, count, 1);
    if (!info)
        return 0;
    m_image = info;
    m_imagePath.clear();
    m_imageWidth = info->image->Width();
    m_imageHeight = info->image->Height();
    m_imageCount = count > 0 ? count : 1;
    UpdateControl(1);
    return 1;
}

int MControlFont::SetImage(const wchar_t* path, int count)
{
    if (!m_manager || !path)
        return 0;
    const ImgResInfo* info = m_manager->AddImgResInfo(path, count);
    if (!info)
        return 0;
    m_image = info;
    m_imagePath = path;
    m_imageWidth = info->image->Width();
    m_imageHeight = info->image->Height();
    m_imageCount = count > 0 ? count : 1;
    UpdateControl(1);
    return 1;
}

void MControlFont::SetControlTitle(const wchar_t* title) { m_title = title ? title : L""; }

const std::wstring& MControlFont::GetControlTitle() const { return m_title; }

void MControlFont::SetTitle(const wchar_t* title)
{
    ClearGDIFont();
    SetControlTitle(title);
    UpdateControl(1);
}

void MControlFont::SetAlignment(UINT h)
{
    if (h == m_hAlign)
        return;
    m_hAlign = h;
    UpdateControl(1);
}

void MControlFont::SetVAlignment(UINT v)
{
    if (v == m_vAlign)
        return;
    m_vAlign = v;
    UpdateControl(1);
}

void MControlFont::SetAlignment(UINT h, UINT v)
{
    if (h == m_hAlign && v == m_vAlign)
        return;
    m_hAlign = h;
    m_vAlign = v;
    UpdateControl(1);
}

void MControlFont::SetFont(const wchar_t* name, int size, int style)
{
    if (name)
        SetTextFont(name);
    m_fontSize = size;
    m_fontStyle = style;
    ClearGDIFont();
}

const FontFamily* MControlFont::GetFontFamily(const wchar_t* name)
{
    if (!m_manager)
        return nullptr;
    m_fontFamily = m_manager->FindTempFont(name);
    return m_fontFamily;
}

const FontSpec* MControlFont::GetGDIFont()
{
    if (!m_gdiFont)
        m_gdiFont = std::make_unique<FontSpec>(FontSpec{Manager::GetFontName(), m_fontSize, m_fontStyle});
    return m_gdiFont.get();
}

} // namespace Lumo
