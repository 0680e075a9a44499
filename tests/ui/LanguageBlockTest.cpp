// The data block read in place, against bytes laid out by hand from the
// format's description, so that reader and writer cannot share a mistake.

#include <gtest/gtest.h>

#include "LanguageTestSupport.h"
#include "lrfc/LrfWriter.h"
#include "ui/LanguageBlock.h"

namespace {

// Sections "A" (one entry Caption = "x", message 0 = "hi") and "B" (empty).
const std::vector<uint8_t> kHandBlock = {
    // node 0 at 0: 'B', section at 51, smaller child 6 bytes after its field (at 11)
    'B', 51, 0, 0, 0, 6, 0, 0, 0, 0, 0,
    // node 1 at 11: 'A', section at 22, no children
    'A', 22, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    // section A at 22: string table 15 bytes after the count field, one entry
    15, 0, 0, 0, 1, 0, 7, 0, 'C', 'a', 'p', 't', 'i', 'o', 'n', 1, 1, 0, 'x',
    // string table at 41: one string at section offset 25
    1, 0, 25, 0, 0, 0, 2, 0, 'h', 'i',
    // section B at 51: no entries, no strings
    2, 0, 0, 0, 0, 0, 0, 0};

lrfc::TLrfSection Section(const std::string& name, std::vector<lrf::TEntry> entries = {},
                          std::vector<std::string> strings = {}) {
  return {name, std::move(entries), std::move(strings)};
}

TEST(LanguageBlock, WriterLaysOutTheDocumentedBytes) {
  EXPECT_EQ(lrfc::WriteLrfBlock({Section("A", {TextEntry("Caption", "x")}, {"hi"}), Section("B")}), kHandBlock);
}

TEST(LanguageBlock, FindsSectionsByTheSearchTree) {
  EXPECT_EQ(lrf::FindSection(kHandBlock, "A"), 22u);
  EXPECT_EQ(lrf::FindSection(kHandBlock, "B"), 51u);
  EXPECT_EQ(lrf::FindSection(kHandBlock, "C"), std::nullopt);
  EXPECT_EQ(lrf::FindSection(kHandBlock, "a"), std::nullopt);  // letter case counts
  EXPECT_EQ(lrf::FindSection(kHandBlock, "AB"), std::nullopt);
  EXPECT_EQ(lrf::FindSection(kHandBlock, ""), std::nullopt);
  EXPECT_EQ(lrf::FindSection({}, "A"), std::nullopt);
}

TEST(LanguageBlock, NamesSharingPrefixesAndHighBytesAreTold) {
  // "\xE9" sorts above "e" only when bytes compare unsigned.
  std::vector<lrfc::TLrfSection> sections;
  for (const char* name : {"F", "FA", "FAB", "Fe", "F\xE9", "G", "E"}) sections.push_back(Section(name, {}, {name}));
  std::vector<uint8_t> block = lrfc::WriteLrfBlock(sections);
  for (const char* name : {"F", "FA", "FAB", "Fe", "F\xE9", "G", "E"}) {
    auto section = lrf::FindSection(block, name);
    ASSERT_TRUE(section) << name;
    EXPECT_EQ(lrf::SectionString(block, *section, 0), name);
  }
  // A prefix without a section of its own is not found.
  std::vector<uint8_t> only = lrfc::WriteLrfBlock({Section("FAB")});
  EXPECT_EQ(lrf::FindSection(only, "FA"), std::nullopt);
  EXPECT_TRUE(lrf::FindSection(only, "FAB"));
}

TEST(LanguageBlock, ReadsEveryValueType) {
  // Only the low byte of a character set counts; sizes are unsigned.
  std::vector<uint8_t> block = lrfc::WriteLrfBlock(
      {Section("S", {ListEntry("L.Items", {"a", "", "c"}), FontEntry("M.Font", "Arial", 0x1CC, 40000),
                     TextEntry("X", "", 7), TextEntry("T", "ten", lrf::vtText)})});

  lrf::TSectionEntries entries(block, *lrf::FindSection(block, "S"));
  lrf::TEntry entry;
  ASSERT_TRUE(entries.Next(entry));
  EXPECT_EQ(entry.Items, (std::vector<std::string>{"a", "", "c"}));
  ASSERT_TRUE(entries.Next(entry));
  EXPECT_EQ(entry.Text, "Arial");
  EXPECT_EQ(entry.Charset, 0x1CC);
  EXPECT_EQ(entry.Size, 40000);
  ASSERT_TRUE(entries.Next(entry));
  EXPECT_EQ(entry.Path, "X");
  EXPECT_EQ(entry.Type, 7);
  ASSERT_TRUE(entries.Next(entry));
  EXPECT_EQ(entry.Type, lrf::vtText);
  EXPECT_EQ(entry.Text, "ten");
  EXPECT_FALSE(entries.Next(entry));
}

}  // namespace
