// Objects of the pages through a full layout: page-number and date texts,
// the anchors with Book and Turn, boxes of empty, turned and stray objects,
// objects repeated on every page and the pages made only for their texts.

#include "score/layout/LayoutFixture.h"

#include "platform/text/FakeMeasurer.h"
#include "score/layout/page/PageComposer.h"
#include "score/layout/page/PageMarkTexts.h"
#include "score/model/ItemFactory.h"
#include "score/model/PageTexts.h"
#include "score/model/ScoreRoutines.h"

namespace {

struct TNumberRow {
  uint32_t Format;
  int64_t Page;
  const char* Text;
};

TEST(PageNumberText, EachFormat) {
  for (const TNumberRow& row : {TNumberRow{1, 0, "-1-"}, {2, 0, "a"}, {3, 0, "A"}, {4, 0, "I"}, {0, 0, "1"},
                                {5, 0, "1"}, {15, 0, "1"}, {2, 26, "aa"}, {3, 27, "AB"}, {4, 13, "XIV"},
                                {1, 65535 + 1000, "-66536-"}, {0, -5, "1"}})
    EXPECT_EQ(PageNumberText(row.Format, row.Page), row.Text) << row.Format << " " << row.Page;
}

TEST(DateTimeText, TheTenFormatsAndTheSeparatorLeftSet) {
  const TKVDateTime when{2024, 3, 5, 7, 8, 9};
  const char* expected[10] = {"05.03.2024",         "05/03/2024",          "05.03.2024 07:08", "05/03/2024 07:08:09",
                              "03/05/2024",         "03.05.2024",          "03/05/2024 07:08", "03/05/2024 07:08:09",
                              "07:08",              "07:08:09"};
  for (uint32_t format = 0; format < 10; ++format) {
    SetDateSeparator('/');
    std::string text;
    ASSERT_TRUE(DateTimeText(format, when, text));
    EXPECT_EQ(text, expected[format]) << format;
  }
  std::string text = "kept";
  SetDateSeparator('-');
  DateTimeText(3, when, text);
  EXPECT_EQ(text, "05-03-2024 07:08:09") << "the first date field of a run takes the separator in force";
  DateTimeText(0, when, text);
  DateTimeText(3, when, text);
  EXPECT_EQ(text, "05.03.2024 07:08:09") << "format 0 leaves its separator set";
  EXPECT_FALSE(DateTimeText(10, when, text));
  EXPECT_EQ(text, "05.03.2024 07:08:09");
  DateTimeText(7, {INT32_MIN, INT32_MAX, -1, 99, -7, 1000}, text);
  EXPECT_EQ(text, "12/01/0000 23:00:59") << "a clock at its limits keeps the format";
  SetDateSeparator('/');
}

class PageObjects : public LayoutTest {
protected:
  PageObjects() {
    SetPageMarkClock([] { return TKVDateTime{2023, 12, 31, 23, 59, 58}; });
  }
  ~PageObjects() override { SetPageMarkClock(nullptr); }

  TKVPageMark* AddPageMark(uint8_t Format, int16_t X, int16_t Y, uint16_t Page = 0) {
    auto* mark = static_cast<TKVPageMark*>(CreateItemByKind(215, score.get()));
    TByteBlock& data = mark->Data();
    data.setI16(PageObjectBlock::X, X);
    data.setI16(PageObjectBlock::Y, Y);
    data.setU8(PageMarkBlock::Format, Format);
    data.setU8(PageMarkBlock::FontSize, 10);
    data.setU16(PageMarkBlock::Page, Page);
    return mark;
  }
  TKVText* AddText(std::initializer_list<std::u16string> Lines, uint16_t Angle = 0) {
    auto* text = static_cast<TKVText*>(CreateItemByKind(200, score.get()));
    text->Lines().assign(Lines.begin(), Lines.end());
    text->Data().setU16(TextBlock::Angle, Angle);
    text->Data().setI16(PageObjectBlock::X, 400);
    text->Data().setI16(PageObjectBlock::Y, 600);
    return text;
  }
  TKVPageRecord& Page(int Index) { return *ScoreLayoutRecords(*score).Pages.at(size_t(Index)); }
  int32_t PageCount() { return ScoreLayoutRecords(*score).PageCount; }
  TKVDisplayItem& Object(int PageIndex, int Index) { return *Page(PageIndex).PageObjects.at(size_t(Index)); }
  std::pair<int32_t, int32_t> PageSize() {
    TKVComposerContext ctx(*score, Service().Steps());
    SetPageArea(ctx);
    return {ctx.PageWidth, ctx.PageHeight};
  }
  // Fake metrics of a page mark's text at 10 points.
  static int32_t MarkWidth(const std::string& Text) { return FakeWidth(Text, 80); }
  static int32_t MarkHeight() { return text::TFakeMeasurer().TextHeight({"Arial", 80, 0}); }
};

TEST_F(PageObjects, BookPutsLeftAndRightAnchorsOnAlternateSides) {
  score->Page().SetBook(true);
  score->SetUserPages(2);
  MakePiece(1, 1);
  const TKVPageMark* left = AddPageMark(0x01, 0, 0);
  AddPageMark(0x02, 0, 0);
  Layout();
  ASSERT_GE(PageCount(), 2);
  const int32_t w = MarkWidth("1"), margin = score->Page().GetLeftMarginPixels() * 8;
  const int32_t rightEdge = PageSize().first - score->Page().GetRightMarginPixels() * 8;
  EXPECT_EQ(Object(0, 0).Item, left);
  EXPECT_EQ(Object(0, 0).Bounds.Left, margin - 24) << "left anchor, even page";
  EXPECT_EQ(Object(0, 1).Bounds.Width, rightEdge + 24) << "right anchor, even page";
  EXPECT_EQ(Object(1, 0).Bounds.Width, rightEdge + 24) << "left anchor, odd page";
  EXPECT_EQ(Object(1, 1).Bounds.Left, margin - 24) << "right anchor, odd page";
  EXPECT_EQ(Object(0, 0).Bounds.Width - Object(0, 0).Bounds.Left, w + 48);
  EXPECT_EQ(Object(1, 0).Text, "2");
}

TEST_F(PageObjects, TurnMirrorsTheSecondPagesBox) {
  score->Page().SetTurn(true);
  score->SetUserPages(2);
  MakePiece(1, 1);
  AddPageMark(0x1F, 0, 0);  // "-1-", centred both ways
  AddPageMark(0x10, 100, 50);
  Layout();
  const auto [width, height] = PageSize();
  const TKVLayoutRect centred = Object(1, 0).Bounds, placed = Object(1, 1).Bounds;
  EXPECT_NEAR(centred.Left + centred.Width, width, 1) << "mirrored about the vertical axis";
  EXPECT_NEAR(centred.Top + centred.Bottom, height, 1);
  EXPECT_EQ(Object(1, 0).Text, "-2-");
  EXPECT_EQ(placed.Width, width - 100 + 24);
  EXPECT_EQ(placed.Left, width - 100 - MarkWidth("-2-") - 24);
  EXPECT_EQ(Object(0, 1).Bounds.Left, 100 - 24) << "the first page is not turned";
}

TEST_F(PageObjects, EmptyTurnedAndStrayObjectsGetTheirBoxes) {
  MakePiece(1, 1);
  AddText({});
  AddText({}, 90);
  AddText({}, 450);
  AddPageMark(0x00, 30000, 30000);
  AddPageMark(0x00, -50, -70);
  auto* line = static_cast<TKVItem*>(CreateItemByKind(202, score.get()));
  for (auto [at, v] : {std::pair{PageObjectBlock::X, 300}, {PageObjectBlock::Y, 200}, {PageObjectBlock::Width, 100},
                       {PageObjectBlock::Height, 250}})
    line->Data().setI16(at, int16_t(v));
  Layout();
  const auto [width, height] = PageSize();
  ASSERT_EQ(Page(0).PageObjectCount, 6);
  EXPECT_EQ(Object(0, 0).Bounds, (TKVLayoutRect{400, 600, 528, 728})) << "an empty text is 128 x 128";
  EXPECT_EQ(Object(0, 1).Bounds, (TKVLayoutRect{400, 600 - 128, 528, 600})) << "turned by 90 degrees";
  EXPECT_EQ(Object(0, 2).Bounds, Object(0, 1).Bounds) << "450 degrees turn as 90";
  const TKVLayoutRect stray = Object(0, 3).Bounds;
  EXPECT_EQ(std::pair(stray.Width, stray.Bottom), std::pair(width + 24, height + 24)) << "pulled onto the page";
  EXPECT_EQ(std::pair(Object(0, 4).Bounds.Left, Object(0, 4).Bounds.Top), std::pair(-24, -24)) << "negative: 0";
  EXPECT_EQ(Object(0, 5).Bounds, (TKVLayoutRect{100, 200, 300, 250})) << "a line's box holds its end points";
  EXPECT_EQ(Object(0, 3).Bounds.Bottom - Object(0, 3).Bounds.Top, MarkHeight() + 48);
}

// Thousands of lines, a size of 0, the largest page-number offset.
TEST_F(PageObjects, OutsizedObjectsStayWithinTheirFields) {
  MakePiece(1, 1);
  TKVText* text = AddText({});
  text->Lines().assign(5000, u"line");
  TKVPageMark* mark = AddPageMark(0x40, 0, 0);
  mark->Data().setU8(PageMarkBlock::FontSize, 0);
  mark->Data().setU16(PageMarkBlock::PageNumberOffset, 65535);
  Layout();
  const int32_t height = PageSize().second;
  EXPECT_EQ(Object(0, 0).Bounds.Top, 0) << "a text taller than the page starts at its top";
  EXPECT_EQ(Object(0, 0).Bounds.Bottom, 5000 * text::TFakeMeasurer().TextHeight({"Arial", 64, 0}));
  EXPECT_GT(Object(0, 0).Bounds.Bottom, height);
  EXPECT_EQ(Object(0, 1).Text, IntToRoman(65536)) << "page 0 + 65535, in Roman numerals";
  EXPECT_EQ(Object(0, 1).Bounds.Bottom - Object(0, 1).Bounds.Top,
            text::TFakeMeasurer().TextHeight({"Arial", 64, 0}) + 48) << "size 0 is 8 points";
}

TEST_F(PageObjects, RunsMeasureOnlyTheirSliceOfTheText) {
  MakePiece(1, 1);
  TKVText* text = AddText({u"abc", u"de"});
  text->Runs = {{{0, "", 0, 0, 1, 1000}, {0, "Serif", 20, 0, 2, 2}}, {{0, "", 10, 0, 40000, 5}}};
  Layout();
  const std::vector<TKVTextRun>& first = text->Runs[0];
  const int32_t w1 = LayoutTest::FakeWidth("bcde", 64), w2 = LayoutTest::FakeWidth("cd", 160);
  const int32_t h1 = text::TFakeMeasurer().TextHeight({"Arial", 64, 0}), h2 = text::TFakeMeasurer().TextHeight({"Serif", 160, 0});
  EXPECT_EQ((std::vector<int32_t>{first[0].Left, first[0].Right, first[1].Left, first[1].Right, first[1].CharOffset}),
            (std::vector<int32_t>{0, w1, w1, w1 + w2, 4})) << "a run past the text ends with it";
  EXPECT_EQ((std::vector<int32_t>{first[0].Bottom, first[1].Bottom, first[0].Top}), (std::vector<int32_t>{h2, h2, h2 - h1}))
      << "runs stand on the line's bottom";
  EXPECT_EQ(text->Runs[1][0].Right, 0) << "a run starting past the text is empty";
  EXPECT_EQ(text->Runs[1][0].Top, h2);
  const TKVLayoutRect box = Object(0, 0).Bounds;
  EXPECT_EQ(box, (TKVLayoutRect{400, 600, 400 + w1 + w2, 600 + h2 + text::TFakeMeasurer().TextHeight({"Arial", 80, 0})}));
}

TEST_F(PageObjects, ObjectsOfEveryPageAreChainedPageToPage) {
  score->SetUserPages(3);
  MakePiece(1, 1);
  TKVText* everyPage = AddText({u"Title"});
  AddPageMark(0x00, 0, 0, 2);  // on page 2 only
  Layout();
  ASSERT_EQ(PageCount(), 3) << "blank pages up to the user's page count";
  EXPECT_EQ(std::vector<int>({Page(0).PageObjectCount, Page(1).PageObjectCount, Page(2).PageObjectCount}),
            std::vector<int>({1, 2, 1}));
  EXPECT_EQ(Object(1, 1).Text, "2");
  EXPECT_EQ(Object(0, 0).Link, nullptr);
  EXPECT_EQ(Object(1, 0).Link, &Object(0, 0));
  EXPECT_EQ(Object(2, 0).Link, &Object(1, 0));
  EXPECT_EQ(everyPage->DisplayLink, &Object(2, 0));
  EXPECT_EQ(Page(2).RepeatedObjects, std::vector<TKVDisplayItem*>{&Object(2, 0)});
  score->Reformat(2);
  EXPECT_EQ(Object(2, 0).Link, &Object(1, 0)) << "a run from a later page chains to the kept page";
}

TEST_F(PageObjects, PieceWithoutMeasuresStillGetsItsPageTexts) {
  MakePiece(1, 0);
  AddPageMark(0x30, 0, 0);
  auto* other = CreateItemByKind(2, score.get());  // a score item that is no page object
  Layout();
  ASSERT_GE(PageCount(), 1);
  ASSERT_EQ(Page(0).PageObjectCount, 1) << "only page objects stand on pages";
  EXPECT_EQ(Object(0, 0).Text, "A");
  EXPECT_EQ(other->DisplayLink, nullptr);
}

}  // namespace
