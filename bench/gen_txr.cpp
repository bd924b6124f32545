// Makes realistic text resource files for benchmarks: about 200 groups, texts of 10 to 120
// bytes with some '|' and UTF-8, Group IDs numbered within each group in file order.
//
//   gen_txr --entries N [--groups G] [--seed S] [--single] OUT_PREFIX
//
// Writes OUT_PREFIX.txr and OUT_PREFIX.txl as a localized pair (line 2 holds the row count of
// the pair table, 2N). With --single only OUT_PREFIX.txr is written, as a plain document
// (line 2 holds N), so that reading and writing it again gives the same bytes.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

const char* const kWords[] = {
    "file",   "open",    "save",  "close",  "print",   "error",  "cannot",  "the",      "document",
    "window", "name",    "value", "entry",  "group",   "text",   "new",     "delete",   "all",
    "search", "replace", "with",  "please", "enter",   "number", "version", "settings", "folder",
    "disk",   "full",    "read",  "write",  "unknown", "Größe",  "naïve",   "café",     "über",
    "Ärger",  "déjà",    "vu",    "résumé", "—",       "…",      "OK",      "Cancel",
};
const char* const kTranslated[] = {
    "fichier",   "ouvrir",   "enregistrer", "fermer",    "imprimer", "erreur",   "impossible", "le",
    "document",  "fenêtre",  "nom",         "valeur",    "entrée",   "groupe",   "texte",      "nouveau",
    "supprimer", "tout",     "chercher",    "remplacer", "avec",     "veuillez", "saisir",     "numéro",
    "version",   "réglages", "dossier",     "disque",    "plein",    "lire",     "écrire",     "inconnu",
    "taille",    "naïf",     "café",        "sur",       "colère",   "déjà",     "vu",         "résumé",
    "—",         "…",        "OK",          "Annuler",
};
const char* const kGroupStems[] = {"Menu",    "Dialog", "Error", "Status",
                                   "Tooltip", "Button", "Title", "Prompt"};

std::string MakeText(std::mt19937& rng, const char* const* words, size_t wordCount) {
    // Lengths from 10 to 120 bytes, short texts more common than long ones (mean about 47).
    std::uniform_real_distribution<double> u(0.0, 1.0);
    std::uniform_int_distribution<size_t> pick(0, wordCount - 1);
    std::uniform_int_distribution<int> pct(0, 99);
    const double x = u(rng);
    const size_t target = 10 + static_cast<size_t>(110.0 * x * x);
    std::string text;
    while (text.size() < target) {
        if (!text.empty()) text += pct(rng) < 4 ? " | " : " ";
        text += words[pick(rng)];
    }
    if (text.size() > 120) text.resize(120);
    while (!text.empty() && (static_cast<unsigned char>(text.back()) & 0xC0) == 0x80)
        text.pop_back();  // whole characters
    if (!text.empty() && static_cast<unsigned char>(text.back()) >= 0xC0) text.pop_back();
    if (!text.empty() && text.back() == ' ') text += "x";
    if (pct(rng) < 10 && text.size() < 116) text += ": %d";
    return text;
}

void Usage() {
    std::fprintf(stderr, "usage: gen_txr --entries N [--groups G] [--seed S] [--single] OUT_PREFIX\n");
    std::exit(1);
}

}  // namespace

int main(int argc, char** argv) {
    long entries = -1;
    int groups = 200;
    unsigned seed = 1;
    bool single = false;
    std::string prefix;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--entries") && i + 1 < argc)
            entries = std::atol(argv[++i]);
        else if (!std::strcmp(argv[i], "--groups") && i + 1 < argc)
            groups = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--seed") && i + 1 < argc)
            seed = static_cast<unsigned>(std::atol(argv[++i]));
        else if (!std::strcmp(argv[i], "--single"))
            single = true;
        else if (argv[i][0] != '-' && prefix.empty())
            prefix = argv[i];
        else
            Usage();
    }
    if (entries < 0 || groups < 1 || prefix.empty()) Usage();

    std::mt19937 rng(seed);
    std::vector<std::string> names;
    for (int g = 0; g < groups; ++g) {
        const char* stem = kGroupStems[g % (sizeof kGroupStems / sizeof *kGroupStems)];
        names.push_back(g < 8 ? std::string(stem) : std::string(stem) + "_" + std::to_string(g));
    }
    // Group sizes follow a skewed distribution, as real tables do.
    std::discrete_distribution<int> pickGroup = [&] {
        std::vector<double> w;
        for (int g = 0; g < groups; ++g) w.push_back(1.0 / (1 + g % 37));
        return std::discrete_distribution<int>(w.begin(), w.end());
    }();
    std::vector<int> entryGroup(static_cast<size_t>(entries));
    std::vector<int> counter(static_cast<size_t>(groups), 0);
    for (auto& g : entryGroup) {
        g = pickGroup(rng);
        ++counter[static_cast<size_t>(g)];
    }

    std::string header;
    header += std::to_string(entries) + "\r\n";
    header += std::to_string(single ? entries : 2 * entries) + "\r\n";
    for (int g = 0; g < groups; ++g)
        header +=
            names[static_cast<size_t>(g)] + "|" + std::to_string(counter[static_cast<size_t>(g)]) + "\r\n";
    header += "#\r\n";

    std::string txr = header, txl = header;
    std::vector<int> running(static_cast<size_t>(groups), 0);
    for (long e = 0; e < entries; ++e) {
        const int g = entryGroup[static_cast<size_t>(e)];
        const std::string prefixCells = std::to_string(e + 1) + "|" + names[static_cast<size_t>(g)] + "|" +
                                        std::to_string(++running[static_cast<size_t>(g)]) + "|";
        txr += prefixCells + MakeText(rng, kWords, sizeof kWords / sizeof *kWords) + "\r\n";
        if (!single)
            txl +=
                prefixCells + MakeText(rng, kTranslated, sizeof kTranslated / sizeof *kTranslated) + "\r\n";
    }
    auto write = [](const std::string& path, const std::string& data) {
        FILE* f = std::fopen(path.c_str(), "wb");
        if (!f || std::fwrite(data.data(), 1, data.size(), f) != data.size() || std::fclose(f) != 0) {
            std::perror(path.c_str());
            std::exit(2);
        }
    };
    write(prefix + ".txr", txr);
    if (!single) write(prefix + ".txl", txl);
    return 0;
}
