#include "ShippedFiles.h"

#include "shell/Language.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

namespace {

const int kLanguages[] = {1033, 2052, 1046};

// The fixture's numbers and first-last ranges; '#' starts a comment.
std::set<int> RequiredTextIds()
{
    std::set<int> ids;
    std::ifstream in(std::string(KEYSTEAD_FIXTURES_DIR) + "/distdata/required_text_ids.txt");
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line.substr(0, line.find('#')));
        std::string word;
        while (words >> word) {
            const size_t dash = word.find('-');
            const int first = std::stoi(word.substr(0, dash));
            const int last = dash == std::string::npos ? first : std::stoi(word.substr(dash + 1));
            for (int id = first; id <= last; ++id)
                ids.insert(id);
        }
    }
    return ids;
}

std::set<int> KeysOf(const shipped::LanguageFile& file)
{
    std::set<int> keys;
    for (const auto& [key, text] : file.texts)
        keys.insert(key);
    return keys;
}

} // namespace

TEST(ShippedLanguages, EveryFileHoldsEveryTextTheProgramAndTheLayoutsUse)
{
    std::set<int> required = RequiredTextIds();
    ASSERT_TRUE(required.count(65) && required.count(715)) << "fixture not read";
    for (const auto& keyboard : shipped::ReadKeyboards())
        for (const auto& effect : shipped::ReadLayout(keyboard.layout).effects)
            required.insert(effect.nameId);

    const std::set<int> english = KeysOf(shipped::ReadLanguageFile(1033));
    for (int language : kLanguages) {
        const auto file = shipped::ReadLanguageFile(language);
        SCOPED_TRACE(language);
        ASSERT_TRUE(file.readable);
        EXPECT_TRUE(file.hasBom);
        EXPECT_TRUE(file.problems.empty()) << file.problems.front();
        const std::set<int> keys = KeysOf(file);
        EXPECT_EQ(keys, english) << "all languages carry the same texts";
        for (int id : required)
            EXPECT_TRUE(keys.count(id)) << "text " << id << " missing";
    }
}

TEST(ShippedLanguages, ProgramReadsEachTextBackUnchanged)
{
    const std::wstring keepFolder = GetLanguageFolder();
    const int keepLanguage = GetCurrentLanguageId();
    SetLanguageFolder(shipped::WideProgramPath("language"));
    for (int language : kLanguages) {
        SetCurrentLanguageId(language);
        for (const auto& [number, utf8] : shipped::ReadLanguageFile(language).texts) {
            SCOPED_TRACE(utf8);
            const std::wstring text = platform::FromUtf8(utf8);
            EXPECT_FALSE(text.empty());
            EXPECT_EQ(text.find(wchar_t(0xFFFD)), std::wstring::npos) << "not UTF-8";
            // Reading trims blanks, unwraps quotes and cuts at 259 characters: none may apply.
            EXPECT_LE(text.size(), 259u);
            EXPECT_EQ(GetLanguageText(number), text) << language << ": text " << number;
        }
    }
    SetCurrentLanguageId(keepLanguage);
    SetLanguageFolder(keepFolder);
}

TEST(ShippedLanguages, NameStemsAreTheWordsStoredNamesAreRecognisedBy)
{
    // Stored default names keep the language they were made in and are shown with the stem of
    // the current language, so these texts must be exactly the words that are looked for.
    struct Case {
        int language;
        const char* profile;
        const char* macro;
    };
    const Case cases[] = {{1033, "Profile", "Macro"}, {2052, "配置方案", "宏"}, {1046, "Perfil", "Macro"}};
    for (const auto& c : cases) {
        const auto file = shipped::ReadLanguageFile(c.language);
        EXPECT_EQ(file.texts.at(65), c.profile) << c.language;
        EXPECT_EQ(file.texts.at(331), c.macro) << c.language;
    }
}
