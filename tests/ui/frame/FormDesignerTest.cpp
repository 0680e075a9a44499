// The skinned frame on a form of the headless host: refusals at creation,
// the band it takes, what it paints (recorded calls and real pixels), the
// caption buttons by injected mouse input, moving and resizing by the
// frame, and the window's shape.
#include "platform/canvas/RecordingCanvas.h"
#include "platform/forms/Buttons.h"
#include "support/forms/FormsTestSupport.h"
#include "ui/frame/ECFormDesigner.h"

namespace forms::test {
namespace {

using window::TWindowState;

canvas::TBitmap Solid(int width, int height, canvas::TColor colour) { return canvas::TBitmap(width, height, colour); }

// A strip of Frames frames, Width wide each, frame f in colour 0x10 * (f + 1).
canvas::TBitmap Strip(int frames, int width, int height) {
  canvas::TBitmap strip(frames * width, height);
  for (int f = 0; f < frames; ++f) {
    strip.Canvas().Brush.Color = canvas::TColor(0x10 * (f + 1));
    strip.Canvas().FillRect({f * width, 0, (f + 1) * width, height});
  }
  return strip;
}

class FormDesignerTest : public FormsTest {
protected:
  // A form at (100, 100), 400 x 300, with a frame of a 20-pixel caption,
  // borders of 3 left, 5 right and 4 bottom, and a close, a minimise, a
  // maximise and a restore button from the right.
  TECFormDesigner* Skin(TForm* form) {
    auto* d = new TECFormDesigner(form);
    TECFormCaption& caption = d->CaptionSetting();
    caption.SetHeight(20);
    caption.SetPicture(ActiveLeftPicture, Solid(10, 20, 0x000080));
    caption.SetPicture(ActiveCenterPicture, Solid(7, 20, 0x800000));
    caption.SetPicture(ActiveRightPicture, Solid(40, 20, 0x008000));
    caption.SetPicture(DeactiveCenterPicture, Solid(7, 20, 0x808080));
    TECFormBorder& border = d->BorderSetting();
    border.SetPicture(LeftPicture, true, Solid(3, 9, 0x0000FF));
    border.SetPicture(RightPicture, true, Solid(5, 9, 0x00FF00));
    border.SetPicture(BottomPicture, true, Solid(11, 4, 0xFF0000));
    int left = 2;
    for (TECButtonStyle style : {bsClose, bsMinimized, bsMaximized, bsNormal}) {
      TECFormButton* b = d->Buttons().Add();
      b->SetStyle(style);
      b->SetRightAlign(true);
      b->SetLeft(style == bsNormal ? left - 18 : left);
      b->SetTop(3);
      b->SetPicture(Strip(4, 16, 14));
      left += 18;
    }
    d->SetActive(true);
    Pump();
    return d;
  }
  void Drag(TPoint from, TPoint to) {
    MoveToScreen(from);
    Host->PressButton();
    Pump();
    MoveToScreen(to);
    Host->ReleaseButton();
    Pump();
  }
};

TEST_F(FormDesignerTest, CreationIsRefusedWithoutAFormAndForASecondDesignerInstallingNothing) {
  auto refusal = [](TComponent* owner) {
    try {
      TECFormDesigner d(owner);
    } catch (const DException& e) {
      return e.Message();
    }
    return std::string("no refusal");
  };
  EXPECT_EQ(refusal(nullptr), "Component must be have class");
  TForm* form = MakeForm();
  auto* control = new TButton(form);
  EXPECT_EQ(refusal(control), "Owner must be a TForm class");
  EXPECT_FALSE(form->WindowHook);
  EXPECT_FALSE(form->OnPaintFrame);
  auto* first = new TECFormDesigner(form);
  const int components = form->ComponentCount();
  EXPECT_EQ(refusal(form), "May be only one TECFormDisigner component on the Form");
  EXPECT_EQ(form->ComponentCount(), components);
  // The first one's hook stays and still works.
  first->SetActive(true);
  first->CaptionSetting().SetHeight(22);
  EXPECT_EQ(form->FrameInsets(), (TRect{0, 22, 0, 0}));
  delete first;
  EXPECT_FALSE(form->WindowHook);
}

TEST_F(FormDesignerTest, TheBandIsThePicturesOrThePensAndNoneFullScreen) {
  TForm* form = MakeForm();
  TECFormDesigner* d = Skin(form);
  EXPECT_EQ(form->FrameInsets(), (TRect{3, 20, 5, 4}));
  EXPECT_EQ(form->ClientRect(), (TRect{0, 0, 392, 276}));
  d->BorderSetting().SetSimple(true);
  canvas::TPen pen;
  pen.Width = 2;
  d->BorderSetting().SetPen(pen);
  EXPECT_EQ(form->FrameInsets(), (TRect{2, 20, 3, 3}));
  d->SetActive(false);
  EXPECT_EQ(form->FrameInsets(), (TRect{}));
  EXPECT_EQ(form->BorderIcons(), biSystemMenu | biMinimize | biMaximize);  // given back
  d->SetActive(true);
  EXPECT_EQ(form->BorderIcons(), 0);  // while skinned the form has none of its own

  // Full screen: no band, and the whole window is the form's colour.
  d->SetFullScreen(true);
  d->FrameChanged();
  EXPECT_EQ(form->FrameInsets(), (TRect{}));
  form->SetColor(canvas::clYellow);
  const window::TScreenImage shot = Snapshot();
  for (TPoint p : {TPoint{0, 0}, TPoint{200, 10}, TPoint{398, 5}, TPoint{1, 298}, TPoint{399, 299}})
    EXPECT_EQ(shot.Pixel(100 + p.X, 100 + p.Y), 0xFFFFFF00u) << p.X << "," << p.Y;
}

struct TDrawCase {
  uint8_t State;
  bool Active, Minimised;
  int Frames;
  int Expected;  // the frame drawn
};

void PrintTo(const TDrawCase& c, std::ostream* os) {
  *os << "state " << int(c.State) << (c.Active ? " active" : " inactive") << (c.Minimised ? " minimised" : "") << " "
      << c.Frames << " frames";
}

class DrawButtonTest : public FormDesignerTest, public ::testing::WithParamInterface<TDrawCase> {};

TEST_P(DrawButtonTest, DrawsTheFrameOfItsStateThatTheStripHas) {
  const TDrawCase& c = GetParam();
  TForm* form = MakeForm();
  auto* d = new TECFormDesigner(form);
  TECFormButton* b = d->Buttons().Add();
  b->SetLeft(5);
  b->SetPicture(Strip(c.Frames, 16, 14));
  b->SetButtonState(c.State);
  const TWindowState state = c.Minimised ? TWindowState::wsMinimized : TWindowState::wsNormal;
  ASSERT_TRUE(d->ButtonShown(*b, state));
  canvas::TBitmap target(40, 20, canvas::clWhite);
  d->DrawButton(target.Canvas(), *b, c.Active, state);
  EXPECT_EQ(target.ColorAt(12, 7), canvas::TColor(0x10 * (c.Expected + 1)));
  EXPECT_EQ(target.ColorAt(4, 7), canvas::clWhite);
  EXPECT_EQ(target.ColorAt(21, 7), canvas::clWhite);
}

// Normal: frame 3 only for an inactive, not minimised window whose strip has
// it. Hot: 1 when active and there, 3 when inactive and there (else 0).
// Pressed: 2 when there.
INSTANTIATE_TEST_SUITE_P(
    Choices, DrawButtonTest,
    ::testing::Values(TDrawCase{0, true, false, 4, 0}, TDrawCase{0, false, false, 4, 3},
                      TDrawCase{0, false, false, 3, 0}, TDrawCase{0, false, true, 4, 0},
                      TDrawCase{0, true, true, 4, 0}, TDrawCase{1, true, false, 1, 0}, TDrawCase{1, true, false, 2, 1},
                      TDrawCase{1, true, true, 4, 1}, TDrawCase{1, false, false, 4, 3},
                      TDrawCase{1, false, false, 3, 0}, TDrawCase{1, false, false, 1, 0},
                      TDrawCase{1, false, true, 4, 3}, TDrawCase{2, true, false, 2, 0}, TDrawCase{2, true, false, 3, 2},
                      TDrawCase{2, false, false, 4, 2}, TDrawCase{2, false, true, 1, 0}));

TEST_F(FormDesignerTest, RestoreShowsOnlyWhenMaximisedOrMinimisedAndMaximiseOnlyWhenNotMaximised) {
  TForm* form = MakeForm();
  TECFormDesigner* d = Skin(form);
  auto shown = [&](TWindowState state) {
    std::string styles;
    for (int i = 0; i < d->Buttons().Count(); ++i)
      if (d->ButtonShown(*d->Buttons().Items(i), state)) styles += "CRnNX"[d->Buttons().Items(i)->Style()];
    return styles;
  };
  // Close (X), minimise (n), maximise (N), restore (R).
  EXPECT_EQ(shown(TWindowState::wsNormal), "XnN");
  EXPECT_EQ(shown(TWindowState::wsMaximized), "XnR");
  EXPECT_EQ(shown(TWindowState::wsMinimized), "XNR");
  d->Buttons().Items(0)->SetVisible(false);
  EXPECT_EQ(shown(TWindowState::wsNormal), "nN");
  // The restore button of a minimised window moves 16 pixels right, into
  // the minimise button's room.
  TECFormButton& restore = *d->Buttons().Items(3);
  d->ButtonShown(restore, TWindowState::wsMinimized);
  EXPECT_EQ(d->ButtonRect(restore, TWindowState::wsMinimized).Left, 400 - (38 - 16) - 16);
  EXPECT_EQ(d->ButtonRect(restore, TWindowState::wsMaximized).Left, 400 - 38 - 16);
  // A bottom-aligned button is placed and hit from the bottom edge alike.
  TECFormButton& maximise = *d->Buttons().Items(2);
  maximise.SetBottomAlign(true);
  d->ButtonShown(maximise, TWindowState::wsNormal);
  EXPECT_EQ(d->ButtonRect(maximise, TWindowState::wsNormal), (TRect{346, 300 - 3 - 14, 362, 297}));
  EXPECT_EQ(d->ButtonAt(350, 290), &maximise);
}

TEST_F(FormDesignerTest, AButtonActsOnceWhenReleasedOverItIsHotUnderThePointerAndCloseAndMinimiseAct) {
  TForm* form = MakeForm();
  TECFormDesigner* d = Skin(form);
  TECFormButton* custom = d->Buttons().Add();
  custom->SetLeft(60);
  custom->SetTop(2);
  custom->SetPicture(Strip(4, 16, 14));
  int clicks = 0;
  custom->OnClick = [&](TObject*) { ++clicks; };
  const TPoint on{100 + 68, 100 + 8};
  Drag(on, {100 + 200, 100 + 150});
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(custom->ButtonState(), 0);
  EXPECT_EQ(form->BoundsRect(), (TRect{100, 100, 500, 400}));  // a button press moves nothing
  MoveToScreen(on);
  EXPECT_EQ(custom->ButtonState(), 1);  // hot under the pointer
  Host->AdvanceTime(1000);  // not the second press of a double click
  Host->PressButton();
  Pump();
  EXPECT_EQ(custom->ButtonState(), 2);
  EXPECT_TRUE(d->CaptureActive());
  MoveToScreen({on.X + 3, on.Y + 2});
  Host->ReleaseButton();
  Pump();
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(d->CaptureActive());
  // The hot state follows the pointer: off over the client area and away.
  MoveToScreen({100 + 200, 100 + 150});
  EXPECT_EQ(custom->ButtonState(), 0);
  EXPECT_EQ(d->HotButton(), nullptr);
  MoveToScreen(on);
  EXPECT_EQ(d->HotButton(), custom);
  MoveToScreen({100 + 100, 100 + 8});
  EXPECT_EQ(d->HotButton(), nullptr);
  // Close asks the close query; minimise minimises.
  int asked = 0;
  form->OnCloseQuery = [&](TObject*, bool& canClose) { canClose = ++asked == 0; };
  const TPoint close{100 + 400 - 2 - 8, 100 + 10}, minimise{100 + 400 - 20 - 8, 100 + 10};
  Drag(close, close);
  EXPECT_EQ(asked, 1);
  EXPECT_TRUE(form->Visible());
  Drag(minimise, minimise);
  EXPECT_EQ(form->WindowState(), TWindowState::wsMinimized);
}

TEST_F(FormDesignerTest, ATitleTooWideEndsInDotsLeftOfItsLimitAndOfTheRightPiece) {
  TForm* form = MakeForm();
  TECFormDesigner* d = Skin(form);
  form->SetCaption("A caption far too long for the room that the caption bar leaves between its pieces");
  d->Buttons().Clear();
  canvas::TRecordingCanvas recorded;
  d->PaintNonClient(recorded, 1);
  std::u16string title;
  int x = -1;
  for (const canvas::TCanvasCall& call : recorded.Calls)
    if (call.Name == "TextOut") title = call.Text, x = int(call.Args[0]);
  ASSERT_GE(title.size(), 3u);
  EXPECT_EQ(title.substr(title.size() - 2), u"..");
  EXPECT_EQ(x, 10);  // after the left piece
  // Widths added character by character from that of "..": the title's
  // characters fit, one more would not.
  const int room = 360 - x;
  const std::u16string full = u"A caption far too long for the room that the caption bar leaves between its pieces";
  int sum = recorded.TextWidth(u"..");
  for (size_t i = 0; i + 2 < title.size(); ++i) sum += recorded.TextWidth(full.substr(i, 1));
  EXPECT_LE(sum, room);
  EXPECT_GT(sum + recorded.TextWidth(full.substr(title.size() - 2, 1)), room);

  // Through the real canvas with a margin of its own: no white ink past it.
  d->CaptionSetting().SetTextRight(150);
  canvas::TBitmap window(400, 300, canvas::clBlack);
  d->PaintNonClient(window.Canvas(), 1);
  int ink = 0;
  for (int y = 0; y < 20; ++y)
    for (int px = 0; px < 400; ++px) {
      const canvas::TColor c = window.ColorAt(px, y);
      if (canvas::GetRValue(c) > 0xA0 && canvas::GetGValue(c) > 0xA0 && canvas::GetBValue(c) > 0xA0) {
        ++ink;
        EXPECT_LT(px, 400 - 150) << px << "," << y;
      }
    }
  EXPECT_GT(ink, 20);
}

TEST_F(FormDesignerTest, PaintsTheActiveAndTheInactivePiecesWhereTheyBelong) {
  TForm* form = MakeForm();
  form->SetCaption("");
  Skin(form);
  form->SetFocus();
  const window::TScreenImage active = Snapshot();
  EXPECT_EQ(active.Pixel(100 + 5, 100 + 5), 0xFF800000u);    // left piece
  EXPECT_EQ(active.Pixel(100 + 200, 100 + 1), 0xFF000080u);  // centre, tiled
  EXPECT_EQ(active.Pixel(100 + 361, 100 + 1), 0xFF008000u);  // right piece
  EXPECT_EQ(active.Pixel(100 + 1, 100 + 150), 0xFFFF0000u);  // left border
  EXPECT_EQ(active.Pixel(100 + 396, 100 + 150), 0xFF00FF00u);
  EXPECT_EQ(active.Pixel(100 + 200, 100 + 297), 0xFF0000FFu);
  // The close button's strip, frame 0.
  EXPECT_EQ(active.Pixel(100 + 390, 100 + 10), 0xFF100000u);
  TForm* other = MakeForm();
  other->SetBounds(600, 500, 50, 50);
  other->SetFocus();
  const window::TScreenImage inactive = Snapshot();
  EXPECT_EQ(inactive.Pixel(100 + 200, 100 + 1), 0xFF808080u);
  EXPECT_EQ(inactive.Pixel(100 + 5, 100 + 5), 0xFF800000u);  // no inactive left piece: the active one
  EXPECT_EQ(inactive.Pixel(100 + 390, 100 + 10), 0xFF400000u);  // frame 3
}

TEST_F(FormDesignerTest, TheCaptionMovesTheWindowAndTheBorderResizesItDownToItsMinimum) {
  TForm* form = MakeForm();
  Skin(form);
  form->Constraints.MinWidth = 200;
  form->Constraints.MinHeight = 100;
  Drag({100 + 150, 100 + 10}, {100 + 130, 100 + 60});
  EXPECT_EQ(form->BoundsRect(), (TRect{80, 150, 480, 450}));
  // The bottom-right corner far inwards.
  Drag({80 + 398, 150 + 298}, {80 + 10, 150 + 10});
  EXPECT_EQ(form->BoundsRect(), (TRect{80, 150, 280, 250}));
  // A double click on the caption leaves a skinned form as it is: it has no
  // border icons of its own while skinned.
  MoveToScreen({80 + 100, 150 + 10});
  Host->Click({80 + 100, 150 + 10});
  Host->Click({80 + 100, 150 + 10});
  Pump();
  EXPECT_EQ(form->WindowState(), TWindowState::wsNormal);
}

TEST_F(FormDesignerTest, TheShapeIsTheRoundRectangleOrTheHandlersRegion) {
  TForm* form = MakeForm();
  TECFormDesigner* d = Skin(form);
  EXPECT_EQ(form->Window().WindowRgn(), nullptr);
  d->SetWidthEllipse(20);
  d->SetHeightEllipse(20);
  ASSERT_NE(form->Window().WindowRgn(), nullptr);
  EXPECT_FALSE(form->Window().WindowRgn()->Contains({0, 0}));
  EXPECT_TRUE(form->Window().WindowRgn()->Contains({10, 0}));
  EXPECT_FALSE(form->Window().WindowRgn()->Contains({399, 299}));
  d->OnCreateRgn = [&](TObject*, std::optional<window::TRegion>& rgn) {
    rgn = window::TRegion::Rect({0, 0, form->Width() / 2, form->Height()});
  };
  form->SetBounds(100, 100, 300, 300);
  ASSERT_NE(form->Window().WindowRgn(), nullptr);
  EXPECT_EQ(form->Window().WindowRgn()->Bounds(), (window::TRect{0, 0, 150, 300}));
  d->SetActive(false);
  EXPECT_EQ(form->Window().WindowRgn(), nullptr);
}

}  // namespace
}  // namespace forms::test

namespace forms::test {
namespace {

// A window manager that starts while the program runs may frame a skinned
// window although it asked for no frame: the window then shows the
// manager's caption alone, without its shape, and gets its own caption
// back when the manager no longer frames it. A dialog's plain frame does
// the same.
TEST_F(FormDesignerTest, AFrameOfTheWindowManagerTakesThePlaceOfTheSkinnedOneUntilItGoes) {
  TForm* form = MakeForm();
  TECFormDesigner* d = Skin(form);
  d->SetWidthEllipse(20);
  d->SetHeightEllipse(20);
  const TRect skinned{3, 20, 5, 4};
  ASSERT_EQ(form->FrameInsets(), skinned);
  Host->FrameByManager(form->Window(), {1, 20, 1, 1});
  Pump();
  EXPECT_TRUE(form->ManagerFramed());
  EXPECT_FALSE(d->Skinned());
  EXPECT_EQ(form->FrameInsets(), TRect{});
  EXPECT_EQ(form->ClientRect(), (TRect{0, 0, 400, 300}));
  EXPECT_EQ(form->Window().WindowRgn(), nullptr);
  // A press where the close button was is the client area's now.
  ClickScreen({100 + 400 - 2 - 8, 100 + 8});
  Pump();
  EXPECT_TRUE(form->Visible());
  // A manager that draws borders but no caption leaves the skin in place.
  Host->FrameByManager(form->Window(), {2, 0, 2, 2});
  Pump();
  EXPECT_TRUE(d->Skinned());
  EXPECT_EQ(form->FrameInsets(), skinned);
  EXPECT_NE(form->Window().WindowRgn(), nullptr);
  Host->FrameByManager(form->Window(), {1, 20, 1, 1});
  Host->FrameByManager(form->Window(), {});
  Pump();
  EXPECT_TRUE(d->Skinned());
  EXPECT_EQ(form->FrameInsets(), skinned);

  TForm* dialog = MakeForm();
  dialog->SetBorderStyle(bsDialog);
  const TRect plain = dialog->FrameInsets();
  ASSERT_GT(plain.Top, 0);
  Host->FrameByManager(dialog->Window(), {1, 20, 1, 1});
  Pump();
  EXPECT_EQ(dialog->FrameInsets(), TRect{});
  Host->FrameByManager(dialog->Window(), {});
  Pump();
  EXPECT_EQ(dialog->FrameInsets(), plain);
}

}  // namespace
}  // namespace forms::test
