#include <gtest/gtest.h>

#include <functional>

#include "base/Exceptions.h"
#include "score/model/Page.h"
#include "score/model/Score.h"
#include "support/EventJournal.h"
#include "support/FakeLayout.h"
#include "support/FakeScoreView.h"

namespace {

TEST(Page, WidthAndHeightChangeOnlyForCustomPaper) {
  TKVPage page(nullptr);
  page.SetPaperSize(TKVPaperSize::A4);
  page.SetWidth(150);
  EXPECT_EQ(page.InternalValue(pvWidth), 2100);
  page.SetPaperSize(TKVPaperSize::Custom);
  EXPECT_EQ(page.InternalValue(pvWidth), 2100);  // Custom keeps the size
  page.SetWidth(150);
  EXPECT_EQ(page.InternalValue(pvWidth), 1500);
}

TEST(Page, A4LandscapeAndOrientationSwap) {
  TKVPage page(nullptr);
  page.SetOrientation(poLandscape);
  EXPECT_EQ(page.InternalValue(pvWidth), 800);  // custom 1000 x 800 turned
  EXPECT_EQ(page.InternalValue(pvHeight), 1000);
  page.SetPaperSize(TKVPaperSize::A4);
  EXPECT_EQ(page.InternalValue(pvWidth), 2970);
  EXPECT_EQ(page.InternalValue(pvHeight), 2100);
  page.SetOrientation(poPortrait);
  EXPECT_EQ(page.Width(), 210);
  EXPECT_EQ(page.Height(), 297);
  page.SetPaperSize(TKVPaperSize::Default);  // keeps the size
  EXPECT_EQ(page.Width(), 210);
}

TEST(Page, UnitsConvertReadAndWrite) {
  TKVPage page(nullptr);
  page.SetMetrix(rmInches);
  page.SetLeftMargin(1);
  EXPECT_EQ(page.InternalValue(pvLeftMargin), 254);
  EXPECT_EQ(page.LeftMargin(), 1);
  page.SetMetrix(rmPixels);
  page.SetTopMargin(96);
  EXPECT_NEAR(double(page.InternalValue(pvTopMargin)), 254.0, 1e-12);
  EXPECT_NEAR(double(page.TopMargin()), 96.0, 1e-12);
  page.SetMetrix(rmMM);
  EXPECT_NEAR(double(page.TopMargin()), 25.4, 1e-12);
}

TEST(Page, ValuesAboveTheLimitAreLimited) {
  TKVPage page(nullptr);
  page.SetLineSpace(200000);
  EXPECT_EQ(page.InternalValue(pvLineSpace), 1000000);
  page.SetMetrix(rmInches);
  page.SetInterval(1e9L);
  EXPECT_EQ(page.InternalValue(pvInterval), 25400000);
  page.SetInterval(__builtin_nanl(""));  // ignored
  EXPECT_EQ(page.InternalValue(pvInterval), 25400000);
}

TEST(Page, PushAndPopMetrixOneLevel) {
  TKVPage page(nullptr);
  page.SetMetrix(rmInches);
  page.PushMetrix(rmPixels);
  EXPECT_EQ(page.Metrix(), rmPixels);
  page.PopMetrix();
  EXPECT_EQ(page.Metrix(), rmInches);
}

TEST(Page, PixelGettersRoundHalfToEvenAndBookHalvesTheWidth) {
  TKVPage page(nullptr);
  page.SetMetrix(rmPixels);
  page.SetWidth(961);
  page.SetHeight(600);
  page.SetLeftMargin(10.4L);
  page.SetRightMargin(11.6L);
  page.SetTopMargin(0.4L);
  page.SetBottomMargin(99.6L);
  EXPECT_EQ(page.GetWidthPixels(), 961);
  EXPECT_EQ(page.GetHeightPixels(), 600);
  EXPECT_EQ(page.GetLeftMarginPixels(), 10);
  EXPECT_EQ(page.GetRightMarginPixels(), 12);
  EXPECT_EQ(page.GetTopMarginPixels(), 0);
  EXPECT_EQ(page.GetBottomMarginPixels(), 100);
  page.SetBook(true);
  EXPECT_EQ(page.GetWidthPixels(), 480);  // 480.5 to the even neighbour
  page.SetWidth(963);
  EXPECT_EQ(page.GetWidthPixels(), 482);  // 481.5
  page.SetMetrix(rmMM);  // pixels whatever the unit is
  EXPECT_EQ(page.GetHeightPixels(), 600);
}

TEST(Page, AssignFromAnotherClassRaises) {
  TKVPage page(nullptr);
  TKVBrush brush;
  EXPECT_THROW(page.Assign(brush), EAssignError);
}

// ---- notifications to the owning score ----

using Entries = std::vector<std::string>;

class PageNotifications : public ::testing::Test {
protected:
  PageNotifications() {
    score.AddWindow(&view);
    score.OnChanged = [this](TObject*) { journal.Add("score:Changed"); };
    journal.Clear();
  }
  const std::vector<std::string>& Calls() const { return journal.Entries(); }

  TEventJournal journal;
  TFakeLayoutScope layout{&journal};
  TKVScore score;
  TFakeScoreView view{&journal};
};

struct PageWriterCase {
  const char* name;
  std::function<void(TKVPage&)> set;  // a value different from the default
  Entries expected;
};


void SetCrossBrush(TKVPage& page) {
  TKVBrush b;
  b.SetStyle(bsCross);
  page.SetBrush(b);
}

void SetGifPicture(TKVPage& page) {
  TKVPicture p;
  p.SetGraphic(TKVPicture::gtGIF, {1, 2, 3});
  page.SetPicture(p);
}

// One writer of each kind of effect, and the writers that compare objects.
const Entries kRepaintChange{"view:InvalidateScoreArea", "score:Changed"};
const PageWriterCase kPageWriters[] = {
    {"Length", [](TKVPage& p) { p.SetTopMargin(12); }, {"layout:Reformat 0", "view:InvalidateScoreArea", "score:Changed"}},
    {"PaperSize", [](TKVPage& p) { p.SetPaperSize(TKVPaperSize::A4); }, {"layout:Reformat 0", "view:InvalidateRulerArea", "view:InvalidateScoreArea", "score:Changed"}},
    {"Metrix", [](TKVPage& p) { p.SetMetrix(rmInches); }, {"view:InvalidateRulerArea"}},
    {"Color", [](TKVPage& p) { p.SetColor(0x123456); }, kRepaintChange},
    {"Brush", SetCrossBrush, kRepaintChange},
    {"Picture", SetGifPicture, kRepaintChange},
};

class PageWriters : public PageNotifications, public ::testing::WithParamInterface<PageWriterCase> {};

TEST_P(PageWriters, ChangedValueActsInOrderAndAnEqualValueDoesNothing) {
  GetParam().set(score.Page());
  EXPECT_EQ(Calls(), GetParam().expected);
  journal.Clear();
  GetParam().set(score.Page());
  EXPECT_TRUE(Calls().empty());
}

INSTANTIATE_TEST_SUITE_P(Table, PageWriters, ::testing::ValuesIn(kPageWriters),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PageNotifications, AssignCopiesAllAndDoesNotFireChanged) {
  TKVPage source(nullptr);
  source.SetPaperSize(TKVPaperSize::A5);
  source.SetColor(0xABCDEF);
  source.SetBook(true);
  TKVBrush brush;
  brush.SetColor(0x00FF00);
  source.SetBrush(brush);
  score.Page().Assign(source);
  EXPECT_EQ(Calls(), (Entries{"layout:Reformat 0", "view:InvalidateRulerArea", "view:InvalidateScoreArea"}));
  EXPECT_EQ(score.Page().Data(), source.Data());
  EXPECT_EQ(score.Page().Brush().Color(), 0x00FF00u);
  EXPECT_EQ(score.Page().PaperSize(), TKVPaperSize::A5);
}

}  // namespace
