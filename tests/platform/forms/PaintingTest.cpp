// Every standard control paints inside its own rectangle and nowhere else,
// focused or not; mnemonics are underlined under their character.
#include "support/forms/FormsTestSupport.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/CheckBox.h"
#include "platform/forms/ComboBox.h"
#include "platform/forms/Edit.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Label.h"
#include "platform/forms/ListBox.h"
#include "platform/forms/ProgressBar.h"
#include "platform/forms/ScrollBar.h"

namespace forms::test {
namespace {

struct TKind {
  const char* Name;
  std::function<TControl*(TForm*)> Make;
};

void PrintTo(const TKind& k, std::ostream* os) { *os << k.Name; }

template <class T>
std::function<TControl*(TForm*)> Maker(std::function<void(T*)> setup = nullptr) {
  return [setup](TForm* form) {
    T* c = AddControl<T>(form, 40, 30, 120, 60);
    c->SetCaption("&Wide caption text running past the right edge");
    if (setup) setup(c);
    return c;
  };
}

class ControlPaintingTest : public FormsTest, public ::testing::WithParamInterface<TKind> {};

TEST_P(ControlPaintingTest, PaintsInsideItsRectangleOnly) {
  TForm* form = MakeForm();
  form->SetColor(canvas::clYellow);
  TControl* c = GetParam().Make(form);
  if (auto* w = dynamic_cast<TWinControl*>(c)) w->SetFocus();
  const uint32_t yellow = canvas::PixelOf(canvas::clYellow);
  const TRect r = c->BoundsRect();
  const window::TScreenImage shot = Snapshot();
  int inside = 0, outside = 0;
  for (int y = r.Top - 8; y < r.Bottom + 8; ++y)
    for (int x = r.Left - 8; x < r.Right + 8; ++x) {
      const bool in = x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
      const bool painted = PixelIn(shot, form, {x, y}) != yellow;
      (in ? inside : outside) += painted;
    }
  EXPECT_EQ(outside, 0);
  EXPECT_GT(inside, 20);
}

INSTANTIATE_TEST_SUITE_P(
    Controls, ControlPaintingTest,
    ::testing::Values(
        TKind{"Button", Maker<TButton>()}, TKind{"Label", Maker<TLabel>()}, TKind{"Panel", Maker<TPanel>()},
        TKind{"GroupBox", Maker<TGroupBox>()}, TKind{"CheckBox", Maker<TCheckBox>([](TCheckBox* b) { b->SetChecked(true); })},
        TKind{"Edit", Maker<TEdit>([](TEdit* e) { e->SetText(std::string(80, 'W')); })},
        TKind{"ComboBox", Maker<TComboBox>([](TComboBox* b) {
                b->Items().Add(std::string(60, 'W'));
                b->SetItemIndex(0);
              })},
        TKind{"ListBox", Maker<TListBox>([](TListBox* l) {
                for (int i = 0; i < 20; ++i) l->Items().Add(std::string(60, 'W'));
              })},
        TKind{"ProgressBar", Maker<TProgressBar>([](TProgressBar* p) { p->SetPosition(150); })},
        TKind{"ScrollBar", Maker<TScrollBar>([](TScrollBar* s) { s->SetKind(sbVertical); })},
        TKind{"BitBtn", Maker<TBitBtn>([](TBitBtn* b) { b->Glyph.SetSize(200, 200, canvas::clNavy); })},
        TKind{"Image", Maker<TImage>([](TImage* i) {
                i->SetPicture(canvas::TBitmap(300, 300, canvas::clRed));
                i->SetBounds(40, 30, 120, 60);
              })},
        // A thick pen stays inside too.
        TKind{"Shape", Maker<TShape>([](TShape* s) {
                s->Shape = stRoundRect;
                s->Pen.Width = 5;
                s->Brush.Color = canvas::clNavy;
              })},
        TKind{"ShapeLine", Maker<TShape>([](TShape* s) {
                s->SetBounds(40, 30, 120, 1);
                s->Pen.Width = 1;
              })}),
    [](const ::testing::TestParamInfo<TKind>& info) { return std::string(info.param.Name); });

using MnemonicTest = FormsTest;

TEST_F(MnemonicTest, TheMarkedCharacterIsUnderlinedAndADoubleMarkShowsOnce) {
  TForm* form = MakeForm();
  form->SetColor(canvas::clWhite);
  auto* label = AddControl<TLabel>(form, 10, 10, 0, 0);
  label->SetCaption("Save &As");
  int marked;
  EXPECT_EQ(StripMnemonic("Save &As", marked), u"Save As");
  EXPECT_EQ(marked, 5);
  EXPECT_EQ(StripMnemonic("Rock && &Roll", marked), u"Rock & Roll");
  EXPECT_EQ(marked, 7);
  canvas::TCanvas& c = label->Canvas();
  const int start = c.TextWidth(u"Save "), end = c.TextWidth(u"Save A");
  const int row = c.GetTextMetrics().Ascent + 1;
  auto dark = [&](int x) { return (PixelAt(label, {x, row}) & 0xFF) < 0x80; };
  EXPECT_TRUE(dark(start + 1) && dark(end - 2));
  EXPECT_FALSE(dark(start - 3) || dark(end + 3));
}

}  // namespace
}  // namespace forms::test
