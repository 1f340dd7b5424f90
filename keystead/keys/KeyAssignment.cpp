#include "keys/KeyAssignment.h"

#include "keys/KeyFunction.h"
#include "macros/MacroModel.h"
#include "shell/Language.h"
#include "store/DataStore.h"

KeyAssignments::KeyAssignments(DataStore& store, AssignmentPicture& picture, FunctionPicker& picker,
                               KeyTableSink& sink)
    : m_store(store), m_picture(picture), m_picker(picker), m_sink(sink)
{
}

bool KeyAssignments::TipTexts(const KeyMacroData& record, std::wstring& text1, std::wstring& text2)
{
    const int label = KeyTipLabelText(record.macro_type);
    if (label == 0)
        return false;
    text1 = GetLanguageText(label);
    if (record.macro_type == KeyKind::Disabled)
        text2.clear();
    else if (record.macro_type == KeyKind::Macro)
        text2 = GetMacroDisplayName(record.macro_desc, GetCurrentLanguageId(), GetLanguageText(kMacroStemText));
    else
        text2 = record.macro_desc;
    return true;
}

int KeyAssignments::ApplyKeyAssignment(KeyMacroData record, int profile, int keyCode)
{
    record.profile = profile;
    record.fn_layer = kNormalLayer;
    record.key_code = keyCode;
    const int result = m_store.SaveKeyAssignment(record);
    if (result < 1) {
        m_picture.SetTipKey(keyCode, L"", L"");
        m_picture.SetKeyCheck(keyCode, 0);
        m_picture.SetSelectItem(-1);
        m_picture.UpdateControl();
        m_picker.SetItemCheckByItemData(0, 0, 0);
    } else {
        m_picture.SetKeyCheck(keyCode, 1);
        m_picture.UpdateControl();
        std::wstring text1, text2;
        if (TipTexts(record, text1, text2))
            m_picture.SetTipKey(keyCode, text1, text2);
        if (record.macro_type == KeyKind::Key || record.macro_type == KeyKind::KeyHigh)
            m_picker.SetItemCheckByItemData(record.macro_value, record.macro_value2, record.macro_value3);
    }
    RefreshKeyTable(profile);
    return result;
}

void KeyAssignments::ShowKeyAssignments(int profile)
{
    m_picker.SetItemCheckByItemData(0, 0, 0);
    m_picture.ResetAllItemCheck();
    m_picture.ResetTipKey();
    std::vector<KeyMacroData> rows;
    m_store.GetLayerAssignments(profile, kNormalLayer, rows);
    for (const KeyMacroData& row : rows) {
        m_picture.SetKeyCheck(row.key_code, 1);
        std::wstring text1, text2;
        if (TipTexts(row, text1, text2))
            m_picture.SetTipKey(row.key_code, text1, text2);
    }
    m_picture.UpdateControl();
}

void KeyAssignments::RefreshKeyTable(int profile)
{
    std::vector<KeyMacroData> rows;
    m_store.GetLayerAssignments(profile, kNormalLayer, rows);
    m_sink.RefreshKeyTable(profile, rows);
}
