// The entry checks: each check on the pairs that tell a sound check from a faulty one, the
// Global ID checks over whole tables, and the problems in words.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document/review/EntryChecker.h"
#include "document/review/TextMarkers.h"
#include "tests/document/TextResourceFiles.h"

namespace {

using namespace trf;

constexpr CheckMask P = MaskOf(EntryCheck::Placeholder), A = MaskOf(EntryCheck::Accelerator),
                    W = MaskOf(EntryCheck::Whitespace), N = MaskOf(EntryCheck::Parts),
                    E = MaskOf(EntryCheck::Empty), D = MaskOf(EntryCheck::DuplicateId),
                    B = MaskOf(EntryCheck::BadId), I = MaskOf(EntryCheck::PairId);
constexpr Encoding U8 = Encoding::Utf8, L1 = Encoding::Latin1;

struct PairCase {
    std::string original, translation;
    CheckMask expected;
    Encoding eo = U8, et = U8;
    std::string translationId = "1";  // the original's is "1"
};

CheckMask CheckOnePair(const PairCase& c, CheckMask enabled = kAllChecks) {
    ResourceTable store;
    Fill(store, {{"1", "G", "1", c.original}, {c.translationId, "G", "1", c.translation}}, {{"G", 1}}, 2);
    const EntryTable table(store, {}, true, c.eo, c.et);
    const std::vector<CheckMask> all = EntryChecker(enabled).Run(table);
    EXPECT_EQ(all[0], 0) << c.original;
    return all[1];
}

TEST(EntryChecks, EachCheckOnOnePair) {
    const PairCase cases[] = {
        // placeholders: forms, %% and order
        {"%s files", "%s fichiers", 0},
        {"%s files", "fichiers", P},
        {"%d of %s", "%s de %d", P},  // positionless: each place is an argument of its own type
        {"%1$s of %2$d", "%2$d de %1$s", 0},
        {"%s of %d", "%2$d de %1$s", 0},
        {"%5.2f MB", "%.1f Mo", 0},
        {"%ld bytes", "%d octets", P},
        {"%i items", "%d articles", 0},
        {"%*d", "%d", P},
        {"100%% done", "fait %% 100", 0},
        {"%%s literal", "%s litt\xC3\xA9ral", P},
        {"50% off, 100% sure", "50 % de remise", 0},
        {"%1 of %2", "%2 de %1", 0},
        {"%1 of %2", "%1 de %1", P},
        {"%10 items", "%1 articles", P},
        {"%L1 files", "%1 fichiers", 0},
        {"{0} files in {folder}", "{folder} : {0} fichiers", 0},
        {"{name}", "{nom}", P},
        {"{0:N2} MB", "{0} Mo", 0},
        {"{{0}} literal", "0", 0},
        // accelerators
        {"&File", "&Fichier", 0},
        {"&File", "Fichier", A},
        {"&File", "&Fi&chier", A},
        {"Save && &Quit", "Enregistrer && quitter", A},
        {"Fish & Chips", "Poisson", 0},
        {"Menu&", "Men\xC3\xBC", 0},
        {"&File", "Fichier&", A},
        {"&File", "&\xC3\x89tat", 0},
        {"&File", "Fichier &&", A},  // "&&" is a literal '&', no accelerator
        {"&File", "&&", A},
        {"&File", "&& &Fichier", 0},
        {"Save && &Quit", "Enregistrer && &quitter", 0},
        {"Save &&Quit", "Enregistrer", 0},  // no accelerator in the original
        // white space at either end, each kind
        {"Name: ", "Nom : ", 0},
        {"Name: ", "Nom :", W},
        {"Name:\t", "Nom : ", W},
        {" Name", "Nom", W},
        {"Name\xC2\xA0", "Nom\xA0", 0, U8, L1},
        {"Name ", "Nom\xC2\xA0", W},
        {"Name\xE2\x80\x83", "Nom ", W},
        {"Name\xE2\x80\x83", "Nom\xE2\x80\x83", 0},
        {"  ", "  ", 0},
        // parts, empty texts
        {"Size|Width|Height", "Taille|Largeur|Hauteur", 0},
        {"Size|Width|Height", "Taille|Largeur", N},
        {"&Open %s |x ", "", E},
        {"", "", 0},
        {"", "x", 0},
        // a translation under another Global ID, empty or not
        {"Open", "Ouvrir", I, U8, U8, "2"},
        {"Open", "", I | E, U8, U8, "2"},
        {"", "", I, U8, U8, "2"},
        {"&Open %s", "", I | E, U8, U8, "2"},
        // a Latin-1 original against a UTF-8 translation
        {"&Caf\xE9 %s\xA0", "&Caf\xC3\xA9 %s\xC2\xA0", 0, L1, U8},
        {"&Caf\xE9 %s\xA0", "Caf\xC3\xA9 %d", P | A | W, L1, U8},
    };
    for (const PairCase& c : cases)
        EXPECT_EQ(CheckOnePair(c), c.expected) << '"' << c.original << "\" / \"" << c.translation << '"';
    // A check left out finds nothing, the others still do.
    EXPECT_EQ(CheckOnePair(cases[std::size(cases) - 1], kAllChecks & ~A), P | W);
}

TEST(EntryChecks, GlobalIdsOverWholeTables) {
    ResourceTable store;
    // Pairs; the last translation is a stand-in. The last Global ID is 5.
    Fill(store,
         {{"1", "G", "1", "a"},
          {"1", "G", "1", "A"},
          {"2", "G", "2", "b"},
          {"3", "G", "2", "B"},
          {"2", "G", "3", "c"},
          {"2", "G", "3", "C"},
          {"x7", "G", "4", "d"},
          {"x7", "G", "4", "D"},
          {"02", "G", "5", "e"},
          {"02", "G", "5", "E"},
          {"", "G", "6", "f"},
          {"", "G", "6", "F"},
          {"9", "G", "7", "g"},
          {"9", "G", "7", "g"},
          {"-4", "G", "8", "h"},
          {"-4", "G", "8", "H"},
          {"99999999999", "G", "9", "i"},
          {"99999999999", "G", "9", "I"}},
         {{"G", 9}}, 5);
    const std::vector<uint8_t> standIn = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0};
    const std::vector<CheckMask> expected = {
        0, 0,  // 1 / 1
        D, I,  // 2 / 3: 2 is used again in the .txr
        D, D,  // 2 / 2: and in the .txl by "02"
        B, B,  // not a number, in both files
        D, D,  // 02 is 2
        B, B,  // empty: no number, and never a duplicate
        B, 0,  // above the last Global ID; the stand-in is in no file
        0, 0,  // negative numbers are numbers
        B, B,  // beyond 32 bits
    };
    EXPECT_EQ(EntryChecker().Run(EntryTable(store, standIn, true, U8, U8)), expected);
    EXPECT_EQ(EntryChecker(MaskOf(EntryCheck::PairId)).Run(EntryTable(store, standIn, true, U8, U8))[3], I);

    // Without pairs every row is in the one file.
    Fill(store, {{"1", "G", "1", "a"}, {"2", "G", "2", "b"}, {"1", "G", "3", "c"}, {"3", "G", "4", "d"}},
         {{"G", 4}}, 2);
    EXPECT_EQ(EntryChecker().Run(EntryTable(store, {}, false, U8, U8)), (std::vector<CheckMask>{D, 0, D, B}));

    // Many IDs that are no numbers beside a few numbers, and numbers spread far apart.
    std::vector<Row> rows;
    for (int i = 0; i < 50; ++i) rows.push_back({"id" + std::to_string(i % 40), "G", "1", "t"});
    for (const char* id : {"1", "1000000", "-1000000", "01"}) rows.push_back({id, "G", "1", "t"});
    Fill(store, rows, {{"G", 1}}, 1000000);
    const std::vector<CheckMask> found = EntryChecker().Run(EntryTable(store, {}, false, U8, U8));
    for (size_t i = 0; i < 50; ++i) EXPECT_EQ(found[i], i % 40 < 10 ? (B | D) : B) << i;
    EXPECT_EQ(std::vector<CheckMask>(found.begin() + 50, found.end()), (std::vector<CheckMask>{D, 0, 0, D}));
}

TEST(EntryChecks, ProblemsInWords) {
    ResourceTable store;
    Fill(store,
         {{"1", "G", "1", "%s of %d files "},
          {"1", "G", "1", "%d fichiers|x\t"},
          {"x", "G", "2", "&Open {0}"},
          {"2", "G", "2", "&Ou&vrir"}},
         {{"G", 2}}, 1);
    const EntryTable table(store, {}, true, U8, U8);
    const struct {
        int row;
        EntryCheck check;
        std::string words;
    } cases[] = {
        {1, EntryCheck::Placeholder,
         "placeholders differ: the translation lacks %s (argument 1), %d (argument 2); it has %d (argument "
         "1) "
         "that the original lacks"},
        {1, EntryCheck::Whitespace,
         "trailing white space differs: the original has space, the translation tab"},
        {3, EntryCheck::Accelerator, "the original has one accelerator (&), the translation 2"},
        {1, EntryCheck::Parts, "the original has 1 part separated by '|', the translation 2"},
        {3, EntryCheck::Placeholder, "placeholders differ: the translation lacks {0}"},
        {3, EntryCheck::PairId, "the translation has Global ID \"2\", its original \"x\""},
        {2, EntryCheck::BadId, "Global ID \"x\" is not a decimal integer"},
        {3, EntryCheck::BadId, "Global ID \"2\" is above the last Global ID (1)"},
    };
    for (const auto& c : cases) EXPECT_EQ(EntryChecker::Describe(table, c.row, c.check), c.words);
    for (int k = 0; k < kEntryCheckCount; ++k)
        EXPECT_EQ(CheckByName(CheckName(static_cast<EntryCheck>(k))), static_cast<EntryCheck>(k));
    EXPECT_EQ(CheckByName("spelling"), std::nullopt);
}

TEST(EntryChecks, EncodingsDecidedPerFile) {
    ResourceTable store;
    Fill(store,
         {{"1", "G", "1", "caf\xC3\xA9"},
          {"1", "G", "1", "caf\xE9"},
          {"2", "G", "2", "x"},
          {"2", "G", "2", "x\xE9"}},
         {{"G", 2}}, 2);
    const auto paired = DocumentOf(store, {}, true);
    EXPECT_EQ(paired->FileEncoding(DocFile::Txr), U8);
    EXPECT_EQ(paired->FileEncoding(DocFile::Txl), L1);
    // A stand-in copy is its original's bytes: a .txl of stand-ins alone takes the .txr's
    // encoding, whatever the copies would say on their own.
    const std::vector<uint8_t> standIn = {0, 1, 0, 1};
    Fill(store,
         {{"1", "G", "1", "caf\xC3\xA9"},
          {"1", "G", "1", "caf\xC3\xA9"},
          {"2", "G", "2", "x"},
          {"2", "G", "2", "x"}},
         {{"G", 2}}, 2);
    EXPECT_EQ(DocumentOf(store, standIn, true)->Table().TranslationEncoding(), U8);
    Fill(store,
         {{"1", "G", "1", "caf\xE9"}, {"1", "G", "1", "caf\xE9"}, {"2", "G", "2", "x"}, {"2", "G", "2", "x"}},
         {{"G", 2}}, 2);
    EXPECT_EQ(DocumentOf(store, standIn, true)->Table().TranslationEncoding(), L1);
    // A Latin-1 group name makes the .txr Latin-1, not the .txl (the group list is the .txr's).
    Fill(store, {{"1", "G", "1", "a"}, {"1", "G", "1", "b"}},
         {{"Gr\xF6\xDF"
           "e",
           1}},
         2);
    const auto latin1Groups = DocumentOf(store, {}, true);
    EXPECT_EQ(latin1Groups->Table().OriginalEncoding(), L1);
    EXPECT_EQ(latin1Groups->Table().TranslationEncoding(), U8);
}

}  // namespace
