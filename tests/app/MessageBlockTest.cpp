// The message box: lines wrapped at 200, 300 or 400 pixels by the text's
// length, the box sized to them, the buttons of the flags from right to
// left with the leftmost focused, and Escape answering Cancel.

#include "ProgramTestSupport.h"
#include "app/MessageBlock.h"
#include "base/Strings.h"
#include "base/Utf8.h"
#include "platform/forms/ControlPaint.h"
#include "platform/forms/DialogFrame.h"
#include "platform/threads/MainQueue.h"

namespace apptest {
namespace {

class MessageBlockTest : public ProgramTest {
protected:
  MessageBlockTest() { Start(); }
};

std::string Words(size_t length) {
  std::string text;
  for (int i = 0; text.size() < length; ++i) text += (i % 3 ? "word" : "longer") + std::string(i % 5 ? " " : ", ");
  return text.substr(0, length);
}

TEST_F(MessageBlockTest, LinesBreakAtTheLastBreakThatFitsTheLimitOfTheTextsLength) {
  for (auto [length, limit] : {std::pair{50, 200}, {80, 300}, {100, 300}, {120, 400}, {400, 400}}) {
    SCOPED_TRACE(length);
    TFMessageBlock box(nullptr);
    const std::string text = Words(size_t(length));
    box.WrapText(text);
    const forms::TStrings& lines = box.MMessageBlock->Lines();
    canvas::TCanvas& measure = box.MMessageBlock->Canvas();
    std::string joined;
    for (int i = 0; i < lines.Count(); ++i) {
      joined += (i ? " " : "") + lines.Strings(i);
      // A line fits; with the next line's first word it would not.
      EXPECT_LE(forms::TextSize(measure, lines.Strings(i)).Cx, limit) << lines.Strings(i);
      if (i + 1 < lines.Count()) {
        const std::string next = lines.Strings(i + 1);
        const std::string longer = lines.Strings(i) + " " + next.substr(0, next.find_first_of(" ,") + 1);
        EXPECT_GT(forms::TextSize(measure, longer).Cx, limit) << longer;
      }
    }
    EXPECT_EQ(joined.size(), Trim(text).size());
  }
}

TEST_F(MessageBlockTest, AOneLineQuestionShowsYesNoCancelAndEscapeCancels) {
  std::vector<std::string> captions;
  std::string focused;
  int width = 0, height = 0;
  TMainQueue::Instance().Post([&] {
    auto* box = dynamic_cast<TFMessageBlock*>(forms::Screen->ActiveForm());
    ASSERT_TRUE(box);
    width = box->ClientWidth();
    height = box->ClientHeight();
    for (auto it = box->Buttons.rbegin(); it != box->Buttons.rend(); ++it) captions.push_back((*it)->Caption());
    focused = box->ActiveControl() ? box->ActiveControl()->Caption() : "";
    EXPECT_TRUE(box->IQuestion->Visible());
    EXPECT_FALSE(box->IWarning->Visible());
    Host->KeyDown(window::VK_ESCAPE);
    Host->KeyUp(window::VK_ESCAPE);
  });
  EXPECT_EQ(ShowMessageBlock("Exit", "Save?", mpQuestion, mbYes | mbNo | mbCancel), forms::mrCancel);
  EXPECT_EQ(captions, (std::vector<std::string>{"&Yes", "&No", "Cancel"}));
  EXPECT_EQ(focused, "&Yes");
  EXPECT_EQ(width, 264);  // the third button widens the box past the text's 194
  EXPECT_EQ(height, 116);
}

// A button answers to the letter its caption marks, typed alone or with
// Alt, in the box's language (Russian "&Нет" to its Cyrillic letter); a
// letter no button marks does nothing.
TEST_F(MessageBlockTest, TheMarkedLetterOfAButtonAnswersTheBox) {
  struct TPress {
    std::function<void()> Press;
    int Result;
  };
  const TPress presses[] = {
      {[&] { Host->TypeText("n"); }, forms::mrNo},
      {[&] { Host->TypeText("Y"); }, forms::mrYes},
      {[&] {
         Host->SetModifiers(window::ssAlt);
         Host->KeyDown('N');
         Host->KeyUp('N');
         Host->SetModifiers(0);
       },
       forms::mrNo},
  };
  for (const TPress& press : presses) {
    TMainQueue::Instance().Post([&] {
      ASSERT_TRUE(dynamic_cast<TFMessageBlock*>(forms::Screen->ActiveForm()));
      Host->TypeText("q");  // marks no button
      App->ProcessMessages();
      ASSERT_TRUE(dynamic_cast<TFMessageBlock*>(forms::Screen->ActiveForm()));
      press.Press();
    });
    EXPECT_EQ(ShowMessageBlock("Exit", "Save?", mpQuestion, mbYes | mbNo | mbCancel), press.Result);
  }
  Main->LanguageExecute(Main->ARussian, "RUS");
  TMainQueue::Instance().Post([&] { Host->TypeText("н"); });
  EXPECT_EQ(ShowMessageBlock("Exit", "Save?", mpQuestion, mbYes | mbNo | mbCancel), forms::mrNo);
}

TEST_F(MessageBlockTest, ThePlainFrameShowsTheCaptionMovesTheBoxByItAndHasNoCloseButton) {
  const uint32_t caption = canvas::PixelOf(canvas::ColorToRGB(canvas::clActiveCaption));
  forms::TRect before, after, insets;
  int titleInk = 0;
  uint32_t buttonPlace = 0;
  TMainQueue::Instance().Post([&] {
    auto* box = dynamic_cast<TFMessageBlock*>(forms::Screen->ActiveForm());
    ASSERT_TRUE(box);
    insets = box->FrameInsets();
    before = box->BoundsRect();
    App->ProcessMessages();
    const window::TScreenImage shot = Host->Screenshot();
    for (int x = before.Left + 4; x < before.Left + 60; ++x)
      for (int y = before.Top + 2; y < before.Top + 18; ++y) titleInk += shot.Pixel(x, y) == 0xFFFFFFFFu;
    // Where a close button would be, the caption goes on.
    buttonPlace = shot.Pixel(before.Right - 10, before.Top + 10);
    Host->MoveMouse({before.Left + 100, before.Top + 8});
    Host->PressButton();
    Host->MoveMouse({before.Left + 40, before.Top + 58});
    Host->ReleaseButton();
    App->ProcessMessages();
    after = box->BoundsRect();
    Host->KeyDown(window::VK_ESCAPE);
    Host->KeyUp(window::VK_ESCAPE);
  });
  EXPECT_EQ(ShowMessageBlock("Question", "Save?", mpQuestion, mbYes | mbNo), forms::mrCancel);
  EXPECT_EQ(insets, forms::TDialogFrame::Insets());
  EXPECT_GT(titleInk, 10);
  EXPECT_EQ(buttonPlace, caption);
  EXPECT_EQ(after.Left, before.Left - 60);
  EXPECT_EQ(after.Top, before.Top + 50);
  EXPECT_EQ(after.Right - after.Left, before.Right - before.Left);
}

}  // namespace
}  // namespace apptest
