#include "document/format/LanguageCode.h"

#include <cctype>

namespace {

// ISO 639-1, and the ISO 639-2 codes (terminologic and bibliographic) of single languages and
// macrolanguages; collective codes ("art", "map") and the special ones ("und", "mul") are left
// out, as they name no language a file could be in. Each code between spaces.
constexpr std::string_view kTwoLetter =
    " "
    "aa ab ae af ak am an ar as av ay az ba be bg bh bi bm bn bo br bs ca ce ch co cr cs cu cv cy da "
    "de dv dz ee el en eo es et eu fa ff fi fj fo fr fy ga gd gl gn gu gv ha he hi ho hr ht hu hy hz "
    "ia id ie ig ii ik io is it iu ja jv ka kg ki kj kk kl km kn ko kr ks ku kv kw ky la lb lg li ln "
    "lo lt lu lv mg mh mi mk ml mn mr ms mt my na nb nd ne ng nl nn no nr nv ny oc oj om or os pa pi "
    "pl ps pt qu rm rn ro ru rw sa sc sd se sg si sk sl sm sn so sq sr ss st su sv sw ta te tg th ti "
    "tk tl tn to tr ts tt tw ty ug uk ur uz ve vi vo wa wo xh yi yo za zh zu ";
constexpr std::string_view kThreeLetter =
    " "
    "aar abk ace ach ada ady afh afr ain aka akk alb ale alt amh ang anp ara arc arg arm arn arp arw "
    "asm ast ava ave awa aym aze bak bal bam ban baq bas bej bel bem ben bho bik bin bis bla bod bos "
    "bra bre bua bug bul bur byn cad car cat ceb ces cha chb che chg chi chk chm chn cho chp chr chu "
    "chv chy cnr cop cor cos cre crh csb cym cze dak dan dar del den deu dgr din div doi dsb dua dum "
    "dut dyu dzo efi egy eka ell elx eng enm epo est eus ewe ewo fan fao fas fat fij fil fin fon fra "
    "fre frm fro frr frs fry ful fur gaa gay gba geo ger gez gil gla gle glg glv gmh goh gon gor got "
    "grb grc gre grn gsw guj gwi hai hat hau haw heb her hil hin hit hmn hmo hrv hsb hun hup hye iba "
    "ibo ice ido iii iku ile ilo ina ind inh ipk isl ita jav jbo jpn jpr jrb kaa kab kac kal kam kan "
    "kas kat kau kaw kaz kbd kha khm kho kik kin kir kmb kok kom kon kor kos kpe krc krl kru kua kum "
    "kur kut lad lah lam lao lat lav lez lim lin lit lol loz ltz lua lub lug lui lun luo lus mac mad "
    "mag mah mai mak mal man mao mar mas may mdf mdr men mga mic min mkd mlg mlt mnc mni moh mon mos "
    "mri msa mus mwl mwr mya myv nap nau nav nbl nde ndo nds nep new nia niu nld nno nob nog non nor "
    "nqo nso nwc nya nym nyn nyo nzi oci oji ori orm osa oss ota pag pal pam pan pap pau peo per phn "
    "pli pol pon por pro pus que raj rap rar roh rom ron rum run rup rus sad sag sah sam san sas sat "
    "scn sco sel sga shn sid sin slk slo slv sma sme smj smn smo sms sna snd snk sog som sot spa sqi "
    "srd srn srp srr ssw suk sun sus sux swa swe syc syr tah tam tat tel tem ter tet tgk tgl tha tib "
    "tig tir tiv tkl tlh tli tmh tog ton tpi tsi tsn tso tuk tum tur tvl twi tyv udm uga uig ukr umb "
    "urd uzb vai ven vie vol vot wal war was wel wln wol xal xho yao yap yid yor zap zbl zen zgh zha "
    "zho zul zun zza ";

bool Listed(std::string_view list, std::string_view code) {
    if (code.empty()) return false;
    for (const char c : code)
        if (c < 'a' || c > 'z') return false;
    // The list starts and ends with a space: a code found is a whole one when spaces surround it.
    for (size_t at = list.find(code); at != std::string_view::npos; at = list.find(code, at + 1))
        if (list[at - 1] == ' ' && list[at + code.size()] == ' ') return true;
    return false;
}

// A region ("BR", "419") or a script ("Hant") subtag as file names write them.
bool IsSubtag(std::string_view s) {
    auto all = [s](size_t from, int (*pred)(int)) {
        for (size_t i = from; i < s.size(); ++i)
            if (!pred(static_cast<unsigned char>(s[i]))) return false;
        return true;
    };
    if (s.size() == 2) return all(0, std::isupper);
    if (s.size() == 3) return all(0, std::isdigit);
    return s.size() == 4 && std::isupper(static_cast<unsigned char>(s[0])) && all(1, std::islower);
}

bool IsSeparator(char c) {
    return c == '.' || c == '_' || c == '-';
}

}  // namespace

std::optional<std::string> LanguageCode::Parse(std::string_view text, bool threeLetters) {
    std::string_view primary = text, subtag;
    if (const size_t cut = text.find_first_of("_-"); cut != std::string_view::npos) {
        primary = text.substr(0, cut);
        subtag = text.substr(cut + 1);
        if (!IsSubtag(subtag)) return std::nullopt;
    }
    const bool known = primary.size() == 2   ? Listed(kTwoLetter, primary)
                       : primary.size() == 3 ? threeLetters && Listed(kThreeLetter, primary)
                                             : false;
    if (!known) return std::nullopt;
    std::string code(primary);
    if (!subtag.empty()) {
        code.push_back('-');
        code.append(subtag);
    }
    return code;
}

std::string LanguageCode::OfFileName(std::string_view path) {
    while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
    const size_t slash = path.rfind('/');
    std::string_view stem = slash == std::string_view::npos ? path : path.substr(slash + 1);
    if (const size_t dot = stem.rfind('.'); dot != std::string_view::npos && dot > 0)
        stem = stem.substr(0, dot);
    if (auto whole = Parse(stem)) return *whole;
    // The last part, or the last two when the last is a subtag ("app_pt_BR"). Only two-letter
    // codes here: "my_app" is no language.
    const size_t last = stem.find_last_of("._-");
    if (last != std::string_view::npos) {
        if (auto code = Parse(stem.substr(last + 1), false)) return *code;
        if (last > 0 && IsSubtag(stem.substr(last + 1))) {
            size_t before = last;
            while (before > 0 && !IsSeparator(stem[before - 1])) --before;
            if (before > 0)
                if (auto code = Parse(stem.substr(before, stem.size() - before), false)) return *code;
        }
    }
    if (slash != std::string_view::npos && slash > 0) {
        const std::string_view folders = path.substr(0, slash);
        const size_t up = folders.rfind('/');
        if (auto code = Parse(up == std::string_view::npos ? folders : folders.substr(up + 1))) return *code;
    }
    return "und";
}
