#include "platform/SystemLanguage.h"

#include <cctype>
#include <cstdlib>
#include <string>

namespace platform {

namespace {

struct LocaleLang {
    const char* language;   // ISO 639 code
    const char* territory;  // ISO 3166 code; nullptr is the language's default
    LANGID id;
};

// Defaults come first for each language; a territory not listed falls back to them.
constexpr LocaleLang kTable[] = {
    {"en", nullptr, 0x0409}, {"en", "US", 0x0409}, {"en", "GB", 0x0809}, {"en", "AU", 0x0C09},
    {"en", "CA", 0x1009},    {"en", "NZ", 0x1409}, {"en", "IE", 0x1809}, {"en", "ZA", 0x1C09},
    {"en", "IN", 0x4009},    {"en", "SG", 0x4809},
    {"de", nullptr, 0x0407}, {"de", "DE", 0x0407}, {"de", "CH", 0x0807}, {"de", "AT", 0x0C07},
    {"de", "LU", 0x1007},    {"de", "LI", 0x1407},
    {"fr", nullptr, 0x040C}, {"fr", "FR", 0x040C}, {"fr", "BE", 0x080C}, {"fr", "CA", 0x0C0C},
    {"fr", "CH", 0x100C},    {"fr", "LU", 0x140C},
    {"it", nullptr, 0x0410}, {"it", "IT", 0x0410}, {"it", "CH", 0x0810},
    {"es", nullptr, 0x0C0A}, {"es", "ES", 0x0C0A}, {"es", "MX", 0x080A}, {"es", "AR", 0x2C0A},
    {"es", "CL", 0x340A},    {"es", "CO", 0x240A}, {"es", "PE", 0x280A}, {"es", "VE", 0x200A},
    {"es", "US", 0x540A},
    {"pt", nullptr, 0x0816}, {"pt", "PT", 0x0816}, {"pt", "BR", 0x0416},
    {"zh", nullptr, 0x0804}, {"zh", "CN", 0x0804}, {"zh", "TW", 0x0404}, {"zh", "HK", 0x0C04},
    {"zh", "SG", 0x1004},    {"zh", "MO", 0x1404},
    {"ko", nullptr, 0x0412}, {"ja", nullptr, 0x0411}, {"ru", nullptr, 0x0419}, {"uk", nullptr, 0x0422},
    {"pl", nullptr, 0x0415}, {"cs", nullptr, 0x0405}, {"sk", nullptr, 0x041B}, {"hu", nullptr, 0x040E},
    {"ro", nullptr, 0x0418}, {"bg", nullptr, 0x0402}, {"hr", nullptr, 0x041A}, {"sl", nullptr, 0x0424},
    {"sr", nullptr, 0x081A}, {"el", nullptr, 0x0408}, {"tr", nullptr, 0x041F}, {"nl", nullptr, 0x0413},
    {"nl", "BE", 0x0813},    {"sv", nullptr, 0x041D}, {"sv", "FI", 0x081D}, {"da", nullptr, 0x0406},
    {"nb", nullptr, 0x0414}, {"no", nullptr, 0x0414}, {"nn", nullptr, 0x0814}, {"fi", nullptr, 0x040B},
    {"is", nullptr, 0x040F}, {"et", nullptr, 0x0425}, {"lv", nullptr, 0x0426}, {"lt", nullptr, 0x0427},
    {"he", nullptr, 0x040D}, {"ar", nullptr, 0x0401}, {"ar", "EG", 0x0C01}, {"fa", nullptr, 0x0429},
    {"hi", nullptr, 0x0439}, {"th", nullptr, 0x041E}, {"vi", nullptr, 0x042A}, {"id", nullptr, 0x0421},
    {"ms", nullptr, 0x043E}, {"ca", nullptr, 0x0403}, {"eu", nullptr, 0x042D}, {"gl", nullptr, 0x0456},
};

}  // namespace

LANGID LangIdFromLocale(std::string_view locale) {
    // language[_territory][.codeset][@modifier]
    const auto cut = locale.find_first_of(".@");
    if (cut != std::string_view::npos) locale = locale.substr(0, cut);
    const auto sep = locale.find_first_of("_-");
    std::string language(locale.substr(0, sep));
    std::string territory(sep == std::string_view::npos ? std::string_view() : locale.substr(sep + 1));
    for (char& c : language) c = char(std::tolower(static_cast<unsigned char>(c)));
    for (char& c : territory) c = char(std::toupper(static_cast<unsigned char>(c)));

    const LocaleLang* fallback = nullptr;
    for (const LocaleLang& entry : kTable) {
        if (language != entry.language) continue;
        if (!entry.territory) {
            if (!fallback) fallback = &entry;
        } else if (territory == entry.territory) {
            return entry.id;
        }
    }
    return fallback ? fallback->id : kLangEnglishUS;
}

LANGID GetSystemDefaultLangID() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value) return LangIdFromLocale(value);
    }
    return kLangEnglishUS;
}

}  // namespace platform
