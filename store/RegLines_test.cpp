#include "store/RegLines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qor::store {
namespace {

using Texts = std::vector<std::string>;

TEST(RegLinesTest, FieldsBecomeStoredTextsStepByStep) {
    // field, stored by the store file's rules, stored by the import's rules
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"dword:ffffffff", "<dword>-1", "<dword>-1"},
        {"dword:", "<dword>0", "<dword>0"},
        {"1F", "<dword>31", "<dword>31"},
        {"plain", "plain", "plain"},
        {"\"\"", "<string>", "<string>"},
        {"\"", "<string>", "<string>"},
        {"\"x\\\"y \"q\"\"", "<string>x\"y \"q\"", "<string>x\"y \"q\""},
        {"\"see dword:5\"", "<string>see 5", "<string>see 5"},
        {"\"see hex:5\"", "<hex><string>see 5", "<hex><string>see 5"},
        {"hex:01,02,\\  03", "<hex>01,02,03", "<hex>01,02,03"},
        {"hex(2):41,00", "hex(2):41,00", "hex(2):41,00"},
        {"hex(7):41,\\  00,\\  00", "hex(7):41,00,00", "hex(7):41,00,00"},
        {"hex(x):41,\\  00", "hex(x):41,\\  00", "hex(x):41,\\  00"},
        {"\"a\\\\b\\\\c\"", "<string>a\\b\\c", "<string>a\\b\\c"},
        {"\"\\\\server\\\\share\"", "<string>\\\\server\\\\share", "<string>\\server\\share"},
        {"12345678\\\\x", "12345678\\\\x", "12345678\\x"},
        // Near the common shapes, where the whole chain of steps decides.
        {"dword:7fffffff", "<dword>2147483647", "<dword>2147483647"},
        {"dword:123456789", "<dword>-1", "<dword>-1"},
        {"dword:0x1f", "<dword>31", "<dword>31"},
        {"dword: 1f", "<dword>31", "<dword>31"},
        {"dword:0000000g", "0000000g", "0000000g"},
        {"\"C:x\"", "<string>C:x", "<string>C:x"},
        {"\"a\"b\"", "<string>a\"b", "<string>a\"b"},
        {"hex:01,hex:02", "<hex>01,02", "<hex>01,02"},
        {"hex:\"x\"", "<string>ex:\"x", "<string>ex:\"x"},
    };
    for (const auto& [field, storeFile, import] : cases) {
        std::string forFile = field, forImport = field;
        FieldToStoredText(forFile, kStoreFileRules.keepPairsAfterStringPrefix);
        FieldToStoredText(forImport, kImportRules.keepPairsAfterStringPrefix);
        EXPECT_EQ(forFile, storeFile) << field;
        EXPECT_EQ(forImport, import) << field;
    }
}

Texts Snapshot(const KeyMap& keys) {
    Texts out;
    for (const auto& [key, values] : keys) {
        out.push_back("[" + std::string(key) + "]");
        for (std::size_t i = 0; i < values.Size(); ++i)
            out.push_back(std::string(values.At(i).name) + "=" + std::string(values.At(i).text));
    }
    return out;
}

Texts Read(const std::string& bytes, const RegLineRules& rules) {
    KeyMap keys;
    EXPECT_TRUE(ReadRegLines(bytes, rules, keys, nullptr));
    return Snapshot(keys);
}

TEST(RegLinesTest, LineRulesOfBothReaders) {
    for (const RegLineRules& rules : {kStoreFileRules, kImportRules}) {
        // CR, LF and CR LF end lines; the unended last line is dropped.
        EXPECT_EQ(Read("[K]\r\n\"A\"=1\n\n\"B\"=2\r\"C\"=3", rules), (Texts{"[K]", "A=<dword>1", "B=<dword>2"}));
        // Sections and names are upper-cased and lose their brackets and quotes.
        EXPECT_EQ(Read("[[k]\n\"\"n\"\"=1\nm=2\n[a]b]\n[c\n[]\n\"Z\"=3\n", rules),
                  (Texts{"[]", "Z=<dword>3", "[K]", "M=<dword>2", "N=<dword>1"}));
        // A value needs an earlier section, a name and a field.
        EXPECT_EQ(Read("\"E\"=1\nREGEDIT4\n[K]\n=2\n\"F\"=\n\"A=B\"=\"c\"\n\"\"=4\n", rules),
                  (Texts{"[K]", "=<dword>4", "A=<string>\"=\"c"}));
        // Lines with "hex:" that end in a backslash go on, whatever ends them.
        EXPECT_EQ(Read("[K]\r\n\"D\"=hex:01,\\\r\n  02,\\\n\n  03\r\n\"P\"=\"C:\\\\\"\n\"X\"=hex:1,\\\n  2", rules),
                  (Texts{"[K]", "D=<hex>01,02,03", "P=<string>C:\\"}));
        // So do lines with a typed list "hex(N):", N in hexadecimal digits.
        EXPECT_EQ(Read("[K]\n\"E\"=hex(2):25,00,\\\n  41,00,\\\n  00,00\n\"Q\"=hex(b):01,\\\n  02\n"
                       "\"R\"=hex(7x):01,\\\n\"S\"=hex():02,\\\n\"T\"=1\n",
                       rules),
                  (Texts{"[K]", "E=hex(2):25,00,41,00,00,00", "Q=hex(b):01,02", "R=hex(7x):01,\\", "S=hex():02,\\",
                         "T=<dword>1"}));
        // Of two values of one name the later one stays.
        EXPECT_EQ(Read("[K]\n\"B\"=1\n\"A\"=2\n\"b\"=3\n", rules), (Texts{"[K]", "A=<dword>2", "B=<dword>3"}));
    }
}

// The reader takes the common shapes of a store file in one pass, without
// the steps; each field must still come out as the steps make it.
TEST(RegLinesTest, TheReadersShortcutsStoreWhatTheStepsStore) {
    // The numbers, then the texts, byte lists and others.
    const std::vector<std::vector<std::string>> kinds = {
        {"dword:ffffffcb", "dword:0", "dword:123456789", "dword:00000010x", "dword:", "dword:FFFFFFCB"},
        {"dword:0000000g", "dword:+0000001", "dword:-0000001", "dword: 0000001", "dword:0000:001"},
        {"\"C:\\Scans\\P1\\4\"", "\"C:\\\\share\"", "\"a\\\"b\"", "\"x dword:5\"", "\"hex(2):a\\  b\""},
        {"\"hexagon:\\x\"", "\"ends\\\"", "\"\\\\first\"", "\"two\"quotes\"", "\"\"", "\"", "\"Dd hh\""},
        {"\"C:\\dword:1\"", "\"path\\hex\"", "hex:0a,ff", "hex:0a,\"x\"", "hex:0a:ff", "plain:text\\"},
    };
    for (const RegLineRules& rules : {kStoreFileRules, kImportRules}) {
        for (const auto& kind : kinds) {
            for (const std::string& field : kind) {
                std::string stepwise = field;
                FieldToStoredText(stepwise, rules.keepPairsAfterStringPrefix);
                EXPECT_EQ(Read("[K]\n\"N\"=" + field + "\n", rules), (Texts{"[K]", "N=" + stepwise})) << field;
            }
        }
    }
}

// The values after the marker line belong to the key before it.
TEST(RegLinesTest, StoreFileReaderSkipsTheMarkerLineWhereverItStands) {
    EXPECT_EQ(Read("[K]\n\"A\"=1\n[cinicheckfilevalid]\n\"B\"=2\n", kStoreFileRules),
              (Texts{"[K]", "A=<dword>1", "B=<dword>2"}));
    // With one more "[" the marker's text is a key like any other.
    EXPECT_EQ(Read("[[cinicheckfilevalid]\n\"A\"=1\n", kStoreFileRules), (Texts{"[CINICHECKFILEVALID]", "A=<dword>1"}));
}

// Splits inside a line, between CR and LF, inside a continued "hex:" line.
TEST(RegLinesTest, PiecesSplitAnywhereReadAsTheWholeText) {
    const std::string text =
        "REGEDIT4\r\n[K]\r\n\"D\"=hex:01,\\\r\n  02,\\\n  "
        "03\r\n\"S\"=\"a\\\\b\"\r[L]\n\"N\"=dword:0000000a\n\"T\"=tail";
    KeyMap whole;
    ASSERT_TRUE(ReadRegLines(text, kStoreFileRules, whole, nullptr));
    ASSERT_EQ(Snapshot(whole), (Texts{"[K]", "D=<hex>01,02,03", "S=<string>a\\b", "[L]", "N=<dword>10"}));
    for (std::size_t first = 0; first <= text.size(); ++first) {
        for (std::size_t second = first; second <= text.size(); second += 7) {
            KeyMap keys;
            RegLineReader reader(kStoreFileRules, keys, nullptr);
            ASSERT_TRUE(reader.Read(text.substr(0, first)));
            ASSERT_TRUE(reader.Read(text.substr(first, second - first)));
            ASSERT_TRUE(reader.Read(text.substr(second)));
            reader.Finish();
            EXPECT_EQ(Snapshot(keys), Snapshot(whole)) << "split at " << first << " and " << second;
        }
    }
}

// A whole file's first piece sizes the list of keys to index from the
// file's length: told of a file four times as long, the list is made for
// more keys than come, and the index made in it must still find every key.
TEST(RegLinesTest, KeysForeseenFromALongerFileAreAllIndexed) {
    std::string text;
    for (int i = 0; i < 200; ++i) {
        text += "[KEY\\" + std::to_string(i) + "]\r\n\"V\"=\"" + std::string(150, 'x') + "\"\r\n";
    }
    KeyMap keys;
    RegLineReader reader(kStoreFileRules, keys, nullptr);
    reader.ExpectFileBytes(text.size() * 4);
    for (std::size_t at = 0; at < text.size(); at += 4096) ASSERT_TRUE(reader.Read(text.substr(at, 4096)));
    reader.Finish();
    ASSERT_EQ(keys.size(), 200u);
    for (int i = 0; i < 200; ++i) {
        const std::string key = "KEY\\" + std::to_string(i);
        EXPECT_NE(keys.find(key), keys.end()) << key;
        EXPECT_NE(keys.FindAnyCase("key\\" + std::to_string(i)), keys.end()) << key;
    }
}

TEST(RegLinesTest, ADuplicateSectionInALaterPieceStopsTheRead) {
    KeyMap keys;
    RegLineReader reader(kStoreFileRules, keys, nullptr);
    EXPECT_TRUE(reader.Read("[K]\n\"A\"=1\n[K"));
    EXPECT_FALSE(reader.Read("]\n\"B\"=2\n"));
}

// Writes down each line the observer is told of with its number and fate.
class LineLog : public RegLineObserver {
public:
    void Line(std::size_t number, std::string_view text) override {
        log += std::to_string(number) + ":" + std::string(text);
    }
    void Ignored(IgnoredLine why) override { log += " ignored" + std::to_string(static_cast<int>(why)) + "\n"; }
    void Section(std::string_view, bool namedBefore) override { log += namedBefore ? " again\n" : " section\n"; }
    void Marker() override { log += " marker\n"; }
    void Value(std::string_view, std::string_view, std::string_view name, std::string_view stored) override {
        log += " value " + std::string(name) + "=" + std::string(stored) + "\n";
    }
    void UnendedLastLine(std::size_t number, std::string_view text) override {
        log += std::to_string(number) + ":" + std::string(text) + " unended\n";
    }
    std::string log;
};

std::string ObservedInPieces(std::string_view text, std::size_t pieceSize) {
    LineLog observer;
    KeyMap target;
    RegLineReader reader(RegLineRules{false, false, true}, target, nullptr, &observer);
    for (std::size_t at = 0; at < text.size(); at += pieceSize) reader.Read(text.substr(at, pieceSize));
    reader.Finish();
    return observer.log;
}

TEST(RegLineObserverTest, NumbersLinesAsAnEditorDoesWhateverThePieces) {
    // CR LF, LF and a lone CR each end one line; a continued byte list has
    // the number of its first line; a key named again is told as such.
    const std::string text =
        "REGEDIT4\r\n\"A\"=\"0\"\n[K]\r\"B\"=hex:01,\\\r\n  02\r\n=x\r\n\r\n[k]\n"
        "[CINICHECKFILEVALID]\r\n\"C\"=";
    const std::string expected =
        "1:REGEDIT4 ignored1\n2:\"A\"=\"0\" ignored0\n3:[K] section\n4:\"B\"=hex:01,\\  02 value B=<hex>01,02\n"
        "6:=x ignored2\n8:[k] again\n9:[CINICHECKFILEVALID] marker\n10:\"C\"= unended\n";
    for (std::size_t pieceSize : {text.size(), std::size_t(1), std::size_t(2), std::size_t(7)}) {
        EXPECT_EQ(ObservedInPieces(text, pieceSize), expected) << "pieces of " << pieceSize;
    }
}

}  // namespace
}  // namespace qor::store
