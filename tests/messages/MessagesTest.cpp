// Localized messages, the language taken from the locale, and the bounded system error texts.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <vector>

#include "app/Messages.h"
#include "platform/ResourceModule.h"
#include "platform/SystemLanguage.h"
#include "platform/Ui.h"
#include "resources/MessageTable.h"
#include "tests/harness/Harness.h"

namespace {

// Sets the locale variables for a scope: LC_ALL wins, the others are cleared.
struct Locale {
    harness::ScopedEnv all, messages, lang;
    explicit Locale(std::optional<std::string> lcAll)
        : all("LC_ALL", std::move(lcAll)), messages("LC_MESSAGES", std::nullopt), lang("LANG", std::nullopt) {}
};

// Records message boxes instead of showing them.
struct BoxRecorder {
    std::vector<platform::UiRequest> boxes;
    BoxRecorder() {
        platform::SetUiAnswerer([this](const platform::UiRequest& r) -> std::optional<std::string> {
            boxes.push_back(r);
            return "ok";
        });
    }
    ~BoxRecorder() { platform::SetUiAnswerer(nullptr); }
};

const char* const kTenLocales[] = {"zh_TW.UTF-8", "de_DE.UTF-8", "en_US.UTF-8", "fr_FR.UTF-8", "it_IT.UTF-8",
                                   "ko_KR.UTF-8", "ru_RU.UTF-8", "zh_CN.UTF-8", "pt_PT.UTF-8", "es_ES.UTF-8"};

TEST(LocalizedMessage, PicksTheSystemLanguage) {
    struct Case {
        const char* locale;
        unsigned id;
        const char* text;
    };
    const Case cases[] = {
        {"de_DE.UTF-8", 1000, "Sprachaufnahme"},
        {"en_US.UTF-8", 1000, "Voice Recording"},
        {"pt_PT.UTF-8", 1007, "Volume"},
        {"pt_PT.UTF-8", 1005, "Altifalante"},
        {"zh_CN.UTF-8", 1005, "扬声器电话"},
        {"zh_CN.UTF-8", 1003, "无效的文件格式。当前不支持此类文件格式。"},
        {"zh_TW.UTF-8", 1006, "無"},
        {"ko_KR.UTF-8", 1006, "필터링 없음"},
        {"fr_FR.UTF-8", 1002, "Editer  "},  // trailing blanks belong to the text
        {"it_IT.UTF-8", 1002, "Modifica "},
        {"it_IT.UTF-8", 1003, "Formato file non valido. Questo formato non è attualmente supportato. "},
        {"es_ES.UTF-8", 1014, "La unidad o el recurso compartido UNC no existen o no están accesibles"},
        {"ru_RU.UTF-8", 1008, "Отключить звук"},
        {"de_DE.UTF-8", 1007, "Lautstärke"},
        {"en_US.UTF-8", 1010, "Built-in "},
        {"en_US.UTF-8", 1014, "The drive or UNC share you selected does not exist or it is not accessible"},
        // Languages the table lacks (en_GB asks for 0x0C09) fall back to English.
        {"en_GB.UTF-8", 1000, "Voice Recording"},
        {"ja_JP.UTF-8", 1008, "Mute"},
        {"pt_BR.UTF-8", 1001, "Directional Array"},
        {"C", 1005, "Speaker Phone"},
        {"POSIX", 1007, "Volume"},
        {"de_DE.UTF-8", 999, ""},
        {"de_DE.UTF-8", 1015, ""},
    };
    for (const Case& c : cases) {
        Locale locale(c.locale);
        EXPECT_EQ(GetLocalizedMessage(c.id), c.text) << c.locale << " " << c.id;
    }
}

TEST(LocalizedMessage, EveryLanguageHasEveryMessageWithoutLineBreaks) {
    for (const char* name : kTenLocales) {
        Locale locale(name);
        EXPECT_EQ(GetLocalizedMessage(1009), "Waiting...") << name;
        for (unsigned id = resources::kFirstMessageId; id <= resources::kLastMessageId; ++id) {
            const std::string text = GetLocalizedMessage(id);
            EXPECT_FALSE(text.empty()) << name << " " << id;
            EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << name << " " << id;
        }
    }
    // As stored, each text ends with its line break; 1005 and 1006 mostly with two.
    EXPECT_EQ(*resources::FindMessage(0x0409, 1005), "Speaker Phone\r\n");
    EXPECT_EQ(*resources::FindMessage(0x0407, 1005), "Lautsprecher\r\n\r\n");
    EXPECT_EQ(*resources::FindMessage(0x0404, 1006), "無\r\n");
    EXPECT_EQ(*resources::FindMessage(0x0412, 1006), "필터링 없음\r\n\r\n");
    EXPECT_FALSE(resources::FindMessage(0x0809, 1000));
}

TEST(LocalizedMessage, UnsetLocaleIsEnglish) {
    Locale locale(std::nullopt);
    EXPECT_EQ(platform::GetSystemDefaultLangID(), 0x0409);
    EXPECT_EQ(GetLocalizedMessage(1000), "Voice Recording");
}

TEST(SystemLanguage, FirstNonEmptyVariableWins) {
    {
        harness::ScopedEnv all("LC_ALL", ""), messages("LC_MESSAGES", "de_DE.UTF-8"), lang("LANG", "fr_FR.UTF-8");
        EXPECT_EQ(platform::GetSystemDefaultLangID(), 0x0407);
    }
    {
        harness::ScopedEnv all("LC_ALL", "it_IT"), messages("LC_MESSAGES", "de_DE.UTF-8"), lang("LANG", "fr_FR");
        EXPECT_EQ(platform::GetSystemDefaultLangID(), 0x0410);
    }
    {
        harness::ScopedEnv all("LC_ALL", std::nullopt), messages("LC_MESSAGES", std::nullopt), lang("LANG", "ko_KR");
        EXPECT_EQ(platform::GetSystemDefaultLangID(), 0x0412);
    }
}

TEST(SystemLanguage, MapsLocaleNames) {
    const std::pair<const char*, unsigned> cases[] = {
        {"de_DE", 0x0407}, {"de_DE.UTF-8", 0x0407}, {"de_AT.UTF-8", 0x0C07}, {"de_BE", 0x0407},
        {"it_IT@euro", 0x0410}, {"pt_PT.UTF-8", 0x0816}, {"pt_BR", 0x0416}, {"zh_CN.UTF-8", 0x0804},
        {"zh_TW.Big5", 0x0404}, {"zh_HK", 0x0C04}, {"en_US.UTF-8", 0x0409}, {"en_GB.UTF-8", 0x0809},
        {"en", 0x0409}, {"fr_FR", 0x040C}, {"fr_CA", 0x0C0C}, {"es_ES", 0x0C0A}, {"es_MX", 0x080A},
        {"ko_KR.EUC-KR", 0x0412}, {"ru_RU", 0x0419}, {"ja_JP", 0x0411}, {"nl_NL", 0x0413},
        {"C", 0x0409}, {"POSIX", 0x0409}, {"C.UTF-8", 0x0409}, {"", 0x0409}, {"xx_YY", 0x0409},
        {"DE_de", 0x0407}, {"de-DE", 0x0407},
    };
    for (const auto& [name, id] : cases) EXPECT_EQ(platform::LangIdFromLocale(name), id) << name;
}

TEST(SystemErrors, WindowsCodesMapToErrno) {
    const std::pair<long, int> cases[] = {{3, ENOENT}, {5, EACCES}, {82, ENAMETOOLONG}, {112, ENOSPC},
                                          {2, ENOENT}, {ETIMEDOUT + 0L, ETIMEDOUT}};
    for (const auto& [code, err] : cases) {
        EXPECT_EQ(ErrnoFromSystemCode(code), err) << code;
        EXPECT_EQ(SystemErrorText(code), std::strerror(err)) << code;
    }
}

TEST(SystemErrors, BoxesShowTheTextWithTheApplicationCaption) {
    BoxRecorder rec;
    platform::SetApplicationCaption("Murmelo");
    ShowSystemError(112);
    ASSERT_EQ(rec.boxes.size(), 1u);
    EXPECT_EQ(rec.boxes[0].text, std::strerror(ENOSPC));
    EXPECT_EQ(rec.boxes[0].caption, "Murmelo");
    EXPECT_EQ(rec.boxes[0].flags, platform::MB_OK);

    // ShowErrorCode shows codes 1..15999 only.
    const std::pair<long, bool> codes[] = {{0, false}, {-1, false}, {16000, false}, {-2147467259L, false},
                                           {1, true}, {5, true}, {15999, true}};
    for (const auto& [code, shown] : codes) {
        rec.boxes.clear();
        EXPECT_EQ(ShowErrorCode(code), shown) << code;
        EXPECT_EQ(rec.boxes.size(), shown ? 1u : 0u) << code;
    }
    rec.boxes.clear();
    ShowErrorCode(3);
    ASSERT_EQ(rec.boxes.size(), 1u);
    EXPECT_EQ(rec.boxes[0].text, std::strerror(ENOENT));

    rec.boxes.clear();
    errno = EACCES;
    ShowLastError();
    ASSERT_EQ(rec.boxes.size(), 1u);
    EXPECT_EQ(rec.boxes[0].text, std::strerror(EACCES));
    rec.boxes.clear();
    errno = 0;
    ShowLastError();
    EXPECT_TRUE(rec.boxes.empty());

    // A code without a text still gets a bounded box.
    rec.boxes.clear();
    ShowSystemError(15000);
    ASSERT_EQ(rec.boxes.size(), 1u);
    EXPECT_LT(rec.boxes[0].text.size(), kMessageBufferUnits);
}

TEST(SystemErrors, TextsAreCutToTheBuffer) {
    const std::string e2 = "\xC3\xA8";              // è: one unit
    const std::string cjk = "\xE6\x97\xA0";          // 无: one unit
    const std::string emoji = "\xF0\x9F\x8E\xA4";    // U+1F3A4: a surrogate pair, two units
    struct Case {
        std::string text;
        std::size_t units;
        std::string expected;
    };
    const Case cases[] = {
        {std::string(300, 'a'), 259, std::string(259, 'a')},
        {std::string(259, 'a'), 259, std::string(259, 'a')},
        {"short", 259, "short"},
        {std::string(258, 'a') + e2 + "b", 259, std::string(258, 'a') + e2},
        {std::string(257, 'a') + cjk + cjk + cjk, 259, std::string(257, 'a') + cjk + cjk},
        {std::string(258, 'a') + emoji, 259, std::string(258, 'a')},  // the pair does not fit: never split
        {std::string(257, 'a') + emoji, 259, std::string(257, 'a') + emoji},
        {std::string("ab\xE6"), 10, std::string("ab\xE6")},  // a cut-off sequence is kept byte by byte
        {"abc", 0, ""},
    };
    for (const Case& c : cases) EXPECT_EQ(CutToUnits(c.text, c.units), c.expected) << c.text.size();
}

TEST(ResourceStrings, ComeFromTheModuleOrAreEmpty) {
    platform::ResourceModule::Free();
    EXPECT_EQ(LoadResourceString(1226), "");
    ASSERT_TRUE(platform::ResourceModule::Load((harness::BinDir() / "Lexel.so").string()));
    EXPECT_EQ(LoadResourceString(1226), "Messaggio");
    EXPECT_EQ(LoadResourceString(1237), "Attenzione");
    EXPECT_EQ(LoadResourceString(4242), "");
    platform::ResourceModule::Free();
    EXPECT_EQ(LoadResourceString(1226), "");
}

}  // namespace
