#include "platform/SystemLanguage.h"

#include <cstdlib>
#include <string>

namespace platform {
namespace {
struct LocaleId {
    const char* tag; // lower case, "ll_cc"; the first entry of a language is its main region
    int id;
};

constexpr LocaleId kLocales[] = {
    {"en_us", 1033}, {"en_gb", 2057}, {"en_au", 3081}, {"en_ca", 4105}, {"en_nz", 5129}, {"en_ie", 6153},
    {"en_za", 7177}, {"en_in", 16393}, {"en_sg", 18441}, {"en_ph", 13321},
    {"zh_cn", 2052}, {"zh_tw", 1028}, {"zh_hk", 3076}, {"zh_sg", 4100}, {"zh_mo", 5124},
    {"pt_br", 1046}, {"pt_pt", 2070},
    {"es_es", 3082}, {"es_mx", 2058}, {"es_ar", 11274}, {"es_co", 9226}, {"es_cl", 13322}, {"es_pe", 10250},
    {"es_ve", 8202}, {"es_us", 21514},
    {"fr_fr", 1036}, {"fr_be", 2060}, {"fr_ca", 3084}, {"fr_ch", 4108},
    {"de_de", 1031}, {"de_ch", 2055}, {"de_at", 3079},
    {"it_it", 1040}, {"it_ch", 2064},
    {"nl_nl", 1043}, {"nl_be", 2067},
    {"ja_jp", 1041}, {"ko_kr", 1042}, {"ru_ru", 1049}, {"uk_ua", 1058}, {"be_by", 1059}, {"pl_pl", 1045},
    {"cs_cz", 1029}, {"sk_sk", 1051}, {"hu_hu", 1038}, {"ro_ro", 1048}, {"bg_bg", 1026}, {"el_gr", 1032},
    {"tr_tr", 1055}, {"he_il", 1037}, {"ar_sa", 1025}, {"ar_eg", 3073}, {"ar_ae", 14337}, {"fa_ir", 1065},
    {"th_th", 1054}, {"vi_vn", 1066}, {"id_id", 1057}, {"ms_my", 1086}, {"fil_ph", 1124}, {"hi_in", 1081},
    {"bn_in", 1093}, {"ta_in", 1097}, {"ur_pk", 1056},
    {"sv_se", 1053}, {"sv_fi", 2077}, {"da_dk", 1030}, {"nb_no", 1044}, {"nn_no", 2068}, {"fi_fi", 1035},
    {"is_is", 1039}, {"et_ee", 1061}, {"lv_lv", 1062}, {"lt_lt", 1063},
    {"hr_hr", 1050}, {"sr_rs", 10266}, {"sr_rs@latin", 9242}, {"sl_si", 1060}, {"mk_mk", 1071}, {"sq_al", 1052},
    {"ca_es", 1027}, {"eu_es", 1069}, {"gl_es", 1110},
    {"ka_ge", 1079}, {"hy_am", 1067}, {"az_az", 1068}, {"kk_kz", 1087}, {"af_za", 1078}, {"sw_ke", 1089},
};

std::string Lower(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

int Find(std::string_view tag)
{
    for (const auto& entry : kLocales)
        if (tag == entry.tag)
            return entry.id;
    return 0;
}

bool IsPlainC(std::string_view locale)
{
    return locale == "C" || locale == "POSIX" || locale.rfind("C.", 0) == 0;
}

const char* NonEmptyEnv(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value ? value : nullptr;
}
} // namespace

int LanguageIdFromLocale(std::string_view locale)
{
    // language[_territory][.codeset][@modifier]; '-' also separates (BCP 47 style).
    const size_t at = locale.find('@');
    const std::string modifier = at == std::string_view::npos ? "" : Lower(locale.substr(at));
    std::string_view base = locale.substr(0, std::min(locale.find('.'), at));
    const size_t sep = base.find_first_of("_-");
    const std::string language = Lower(base.substr(0, sep));
    const std::string territory = sep == std::string_view::npos ? "" : Lower(base.substr(sep + 1));
    if (language.empty())
        return 0;
    if (!territory.empty()) {
        if (const int id = Find(language + "_" + territory + modifier))
            return id;
        if (const int id = Find(language + "_" + territory))
            return id;
    }
    // A bare language, or a region not in the table: the language's main region.
    const std::string prefix = language + "_";
    for (const auto& entry : kLocales)
        if (std::string_view(entry.tag).rfind(prefix, 0) == 0)
            return entry.id;
    return 0;
}

int UserDefaultUiLanguage()
{
    const char* locale = NonEmptyEnv("LC_ALL");
    if (!locale)
        locale = NonEmptyEnv("LC_MESSAGES");
    if (!locale)
        locale = NonEmptyEnv("LANG");
    if (locale && IsPlainC(locale))
        return 1033;
    if (const char* list = NonEmptyEnv("LANGUAGE"); list && locale) {
        std::string_view rest(list);
        while (!rest.empty()) {
            const size_t colon = rest.find(':');
            if (const int id = LanguageIdFromLocale(rest.substr(0, colon)))
                return id;
            rest.remove_prefix(colon == std::string_view::npos ? rest.size() : colon + 1);
        }
    }
    if (locale)
        if (const int id = LanguageIdFromLocale(locale))
            return id;
    return 1033;
}

} // namespace platform
