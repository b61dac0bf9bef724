#include "store/ValueList.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace qor::store {
namespace {

using Texts = std::vector<std::string>;

Texts Contents(const ValueList& list) {
    Texts out;
    list.ForEach([&](const ValueList::Entry& e) { out.push_back(std::string(e.name) + "=" + e.text.Joined()); });
    return out;
}

// No two lists share a block; assigning a list to itself keeps its values.
TEST(ValueListTest, CopiesAndMovesOwnTheirBlocks) {
    ValueList list;
    list.Set("A", "<string>a");
    list.Set("B", "b");
    ValueList copy;
    copy.Set("Z", "gone");
    copy = list;
    copy.Set("A", "<string>changed");
    EXPECT_EQ(Contents(list), (Texts{"A=<string>a", "B=b"}));
    const ValueList& self = copy;
    copy = self;
    EXPECT_EQ(Contents(copy), (Texts{"A=<string>changed", "B=b"}));
    ValueList moved(std::move(copy));
    EXPECT_TRUE(copy.Empty());  // NOLINT(bugprone-use-after-move): a moved-from list is empty
    ValueList target;
    target.Set("Y", "y");
    target = std::move(moved);
    EXPECT_EQ(Contents(target), (Texts{"A=<string>changed", "B=b"}));
    target = ValueList();
    EXPECT_TRUE(target.Empty());
    EXPECT_EQ(target.LiveBytes(), 0u);
}

// A builder is the same block as a list only when the list holds its
// values laid out as the builder would lay them out; a changed, longer or
// shorter list never compares the same.
TEST(ValueListTest, BuilderIsTheSameBlockOnlyAsAnEqualListBuiltInOrder) {
    const auto fill = [](ValueListBuilder& builder, std::vector<const char*> names) {
        for (const char* name : names) builder.AddUpperName(name, "<string>", name);
    };
    ValueListBuilder builder;
    ValueList built;
    fill(builder, {"a", "b", "c"});
    builder.MoveInto(built);
    const ValueList empty;
    ValueList changed = built, longer = built, shorter = built;
    changed.Set("B", "<string>x");
    longer.Set("D", "<dword>4");
    shorter.Remove("C");
    const struct {
        std::vector<const char*> names;
        const ValueList* list;
        bool same;
    } cases[] = {
        {{"a", "b", "c"}, &built, true},
        {{"a", "b", "c"}, &changed, false},
        {{"a", "b", "c"}, &longer, false},
        {{"a", "b", "c"}, &shorter, false},
        {{"a", "c", "b"}, &built, false},
        {{}, &built, false},
        {{"a"}, &empty, false},
    };
    for (const auto& c : cases) {
        fill(builder, c.names);
        EXPECT_EQ(builder.SameBlockAs(*c.list), c.same) << c.names.size();
        builder.Clear();
    }
    EXPECT_TRUE(builder.SameBlockAs(empty));
}

// A block built into an arena is changed in place while it fits, leaves
// the arena for a block of its own when it must grow, and is never freed
// by a list (the arena is): every change and copy keeps the values right.
TEST(ValueListTest, BlocksInAnArenaChangeGrowAndCopyLikeOwnBlocks) {
    ByteArena other, arena;  // made before the lists that use them
    ValueListBuilder builder;
    const auto listIn = [&builder](ByteArena& room) {
        ValueList list;
        for (const char* name : {"a", "b", "c"}) builder.AddUpperName(name, "<string>", name);
        builder.MoveInto(list, &room);
        return list;
    };
    const auto arenaList = [&] { return listIn(arena); };
    ValueList same = arenaList();
    EXPECT_TRUE(same.InArena());
    same.Set("B", "<string>x");  // the same size: in place
    EXPECT_TRUE(same.InArena());
    ValueList copy = same;
    EXPECT_FALSE(copy.InArena());
    EXPECT_EQ(Contents(copy), (Texts{"A=<string>a", "B=<string>x", "C=<string>c"}));

    ValueList grown = arenaList();
    grown.Set("D", "<dword>4");
    grown.Set("A", "<string>longer");
    EXPECT_FALSE(grown.InArena());
    EXPECT_EQ(Contents(grown), (Texts{"A=<string>longer", "B=<string>b", "C=<string>c", "D=<dword>4"}));

    ValueList emptied = arenaList();
    for (const char* name : {"B", "A", "C"}) EXPECT_TRUE(emptied.Remove(name));
    EXPECT_TRUE(emptied.Empty());
    EXPECT_FALSE(emptied.Find("A"));  // no block left to look into

    ValueList moved;
    {
        ByteArena gone;
        moved = listIn(gone);
        other.Reserve(moved.BlockBytes());
        moved.MoveInto(other);
    }
    EXPECT_EQ(Contents(moved), (Texts{"A=<string>a", "B=<string>b", "C=<string>c"}));
}

std::string Text(const std::optional<StoredText>& text) { return text ? text->Joined() : std::string("(missing)"); }

TEST(ValueListTest, ReplacingAndRemovingKeepsEveryOtherValue) {
    ValueList list;
    for (int i = 0; i < 300; ++i) list.Set("N" + std::to_string(i), std::string(static_cast<std::size_t>(i % 7), 'v'));
    for (int round = 1; round <= 20; ++round) {
        for (int i = 0; i < 300; i += 3)
            list.Set("N" + std::to_string(i), std::string(static_cast<std::size_t>(round * 13 % 200), 'r'));
        EXPECT_TRUE(list.Remove("N" + std::to_string(round * 3 + 1)));
    }
    ASSERT_EQ(list.Size(), 280u);
    EXPECT_FALSE(list.Find("N4"));
    EXPECT_EQ(Text(list.Find("N3")), std::string(20 * 13 % 200, 'r'));
    EXPECT_EQ(Text(list.Find("N299")), std::string(299 % 7, 'v'));
    EXPECT_LT(list.LiveBytes(), 300u * 200u);
    for (int i = 0; i < 300; ++i) list.Remove("N" + std::to_string(i));
    EXPECT_TRUE(list.Empty());
}

TEST(ValueListTest, LongTextsSortedNamesAndTextsFromTheSameList) {
    ValueList list;
    list.Set(std::string(300, 'n'), std::string(70000, 't'));
    for (const char* name : {"b", "\xe9", "A", "_", ""}) list.Set(name, std::string(40, 'a'));
    list.Set("B", list.Find("b")->body.substr(3));
    EXPECT_EQ(list.Find(std::string(300, 'n'))->size(), 70000u);
    EXPECT_EQ(Text(list.Find("B")), std::string(37, 'a'));
    Texts names;
    for (std::size_t i = 0; i < list.Size(); ++i) names.emplace_back(list.At(i).name.substr(0, 1));
    EXPECT_EQ(names, (Texts{"", "A", "B", "_", "b", "n", "\xe9"}));
}

// The type prefixes are kept as codes: every text must come back exactly,
// whether it begins with a prefix, only looks like one, or holds one inside;
// and a replacement of the same body size but another prefix must take it.
TEST(ValueListTest, TextsComeBackExactlyWhateverPrefixTheyBeginWith) {
    const std::vector<std::string> texts = {
        "<dword>-53",           "<string>", "<hex>0a,ff", "<dword", "<dwordX>1",
        "plain <string>inside", "",         "<",          "<hex>",  "<string><dword>7"};
    ValueList list;
    for (std::size_t i = 0; i < texts.size(); ++i) list.Set("V" + std::to_string(i), texts[i]);
    for (std::size_t i = 0; i < texts.size(); ++i) EXPECT_EQ(Text(list.Find("V" + std::to_string(i))), texts[i]) << i;
    EXPECT_EQ(list.Find("V0")->body, "-53");
    EXPECT_EQ(list.Find("V3")->body, "<dword");
    list.Set("V0", "<hex>ab");
    list.Set("V1", "<dword>");
    list.Set("V2", "<string>0a,ff");
    EXPECT_EQ(Contents(list)[0], "V0=<hex>ab");
    EXPECT_EQ(Contents(list)[1], "V1=<dword>");
    EXPECT_EQ(Text(list.Find("V2")), "<string>0a,ff");
    const ValueList copy = list;
    EXPECT_EQ(Contents(copy), Contents(list));
}

// A search in any case finds a stored (upper-case) name whatever the case
// of its letters, for names of every length the search reads differently
// (short, one or two words, longer, past the one-byte length), in a list
// walked in turn and in one searched by halving; a name that differs from a
// stored one only in bit 0x20 of a byte that is no letter is not found, and
// the exact search stays exact.
TEST(ValueListTest, SearchesInAnyCaseFoldOnlyTheLettersAToZ) {
    for (const std::size_t values : {std::size_t{5}, std::size_t{40}}) {
        ValueList list;
        std::vector<std::string> names;
        for (std::size_t i = 0; i < values; ++i) {
            std::string name(i % 5 == 0 ? i % 37 : (i * 7) % 41, 'A');
            for (std::size_t at = 0; at < name.size(); ++at) name[at] = "AZ@[^_19\\|"[(i + at) % 10];
            name += std::to_string(i);
            names.push_back(name);
            list.Set(name, "<dword>" + std::to_string(i));
        }
        for (std::size_t i = 0; i < values; ++i) {
            SCOPED_TRACE(names[i]);
            std::string lower = names[i], twisted = names[i];
            for (char& c : lower) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c + 0x20) : c;
            EXPECT_EQ(Text(list.FindAnyCase(names[i])), "<dword>" + std::to_string(i));
            EXPECT_EQ(Text(list.FindAnyCase(lower)), "<dword>" + std::to_string(i));
            const std::size_t other = twisted.find_first_of("@[^_19\\|");
            if (other == std::string::npos) continue;
            twisted[other] = static_cast<char>(twisted[other] ^ 0x20);  // `, {, ~, DEL, | or a control byte
            EXPECT_FALSE(list.FindAnyCase(twisted).has_value());
            if (lower != names[i]) {
                EXPECT_FALSE(list.Find(lower).has_value());
            }
        }
    }
    // The empty name, and a text long enough for its length to take two bytes.
    ValueList list;
    list.Set("", "<string>empty");
    list.Set("LONG", std::string(300, 't'));
    EXPECT_EQ(Text(list.FindAnyCase("")), "<string>empty");
    EXPECT_EQ(Text(list.FindAnyCase("long")), std::string(300, 't'));
}

}  // namespace
}  // namespace qor::store
