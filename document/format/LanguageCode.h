#pragma once
// Language codes as file and folder names carry them: the language a localized file is in, for
// an export's target language and for anything else that has to know which language a file
// holds.
//
// A code is an ISO 639-1 two-letter code ("fr") or an ISO 639-2 three-letter code of a single
// language ("fra", "fre"), lower case, optionally followed by a region ("BR", "419") or script
// ("Hant") subtag after '_' or '-'; it is written with '-' ("pt-BR"). "und" and the like name no
// language and do not count.
#include <optional>
#include <string>
#include <string_view>

class LanguageCode {
public:
    // The code `text` is as a whole ("pt_BR" gives "pt-BR"); nothing when it is none.
    // `threeLetters`: whether a three-letter primary code counts.
    static std::optional<std::string> Parse(std::string_view text, bool threeLetters = true);

    // The language a localized file's path announces, "und" when it announces none. Looked for,
    // in this order: the whole file name less its extension ("fr.txl", "fra.txl",
    // "pt_BR.txl"); its last part after a '.', '_' or '-' when that is a two-letter code,
    // with its subtag ("app.fr.txl", "app_pt_BR.txl", "app-pt-BR.txl"); the name of the folder
    // holding it ("fr/app.txl", "pt-BR/app.txl"). A name that merely looks like a code ("app",
    // "my_ui") is none. Only what `path` spells is looked at: pass an absolute path to let the
    // folder of a bare file name count.
    static std::string OfFileName(std::string_view path);
};
