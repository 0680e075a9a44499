// The GUI exerciser: a seeded random walk over what a user does with the
// program's windows (menus and drop-downs opened and left by mouse, Escape
// or a click elsewhere; dialogs cancelled or given typed paths of scores, of
// a damaged file, of a missing folder; lists, sliders, Play, Stop, Record,
// Save, Save as, languages, the close query; the tips window's links and
// frame buttons, the about box; windows moved and resized by their frames,
// minimised, maximised and restored, a minimised one given back as from a
// task bar; Exit, after which the program starts again). Input goes
// through the window layer's own path: the
// headless host, or real X events (XTEST) on Xvfb with and without openbox.
// After every step the program must run and its windows be consistent.
// Files opened are copies in the walk's folder and saves go there only:
// the dialogs start there (it is made the home folder) and never leave it.
// SONARID_WALK_STEPS / SONARID_WALK_SEED set the walk (default: seed 20270,
// 12000 steps headless and 1200 on Xvfb, each about a minute and a half;
// under the sanitizers 2000 and 600, each about a minute there).
#include <spawn.h>
#include <unistd.h>

#include <cstdlib>
#include <random>

#include "ProgramTestSupport.h"
#include "WalkInput.h"
#include "app/HelperModule.h"
#include "app/Program.h"
#include "app/ProgramUnit.h"
#include "ui/ECMenu.h"
#include "platform/forms/FileDialogForm.h"
#include "platform/window/SdlHost.h"
#include "platform/window/WindowSystem.h"
#include "support/Sanitized.h"
#include "support/VirtualDisplay.h"
#include "ui/frame/ECFormDesigner.h"

namespace apptest {
namespace {

using forms::TControl;
using canvas::TPoint;

class THeadlessInput : public TWalkInput {
public:
  explicit THeadlessInput(window::THeadlessHost*& host) : FHost(host) {}
  void Move(int x, int y) override { FHost->MoveMouse({x, y}); }
  void Button(bool down) override { down ? FHost->PressButton() : FHost->ReleaseButton(); }
  void Key(int key, bool down) override {
    if (key == window::VK_CONTROL) return FHost->SetModifiers(down ? window::ssCtrl : 0);
    down ? FHost->KeyDown(key) : FHost->KeyUp(key);
  }
  void Type(const std::string& ascii) override { FHost->TypeText(ascii); }

private:
  window::THeadlessHost*& FHost;
};

enum class TDisplay { Headless, Xvfb, XvfbOpenbox };

class ExerciserTest : public ProgramTest, public ::testing::WithParamInterface<TDisplay> {
protected:
  static int Env(const char* name, int fallback) { return std::getenv(name) ? std::atoi(std::getenv(name)) : fallback; }
  int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(Rng); }
  void Press(int key) { In->Key(key, true), In->Key(key, false); }
  void ClickAt(TPoint p, TPoint to) {
    In->Move(p.X, p.Y), In->Button(true), In->Move(to.X, to.Y), In->Button(false);
  }
  // The forms the user sees; the innermost modal loop's window takes the input.
  std::vector<forms::TCustomForm*> Shown() {
    std::vector<forms::TCustomForm*> shown;
    for (int i = 0; i < forms::Screen->FormCount(); ++i)
      if (forms::TCustomForm* f = forms::Screen->Forms(i); f->Visible() && f->Window().AcceptsInput())
        shown.push_back(f);
    return shown;
  }
  // A file dialog's ways out of the walk's folder are never taken.
  static bool LeadsAway(const TControl* c) {
    for (const char* name : {"UpButton", "FileList", "PlacesList", "PathEdit"})
      if (c && c->Name() == name) return true;
    return false;
  }
  void Leaves(TControl* c, std::vector<TControl*>& out) {
    if (!c->Showing() || !c->IsEnabled() || LeadsAway(c)) return;
    auto* w = dynamic_cast<forms::TWinControl*>(c);
    // Menus and tool bars hold many items each.
    if (!w || w->ControlCount() == 0) out.insert(out.end(), dynamic_cast<TECMenu*>(c) ? 6 : 1, c);
    for (int i = 0; w && i < w->ControlCount(); ++i) Leaves(w->Controls(i), out);
  }
  static TECFormDesigner* FrameOf(forms::TCustomForm* form) {
    for (int i = 0; form && i < form->ComponentCount(); ++i)
      if (auto* d = dynamic_cast<TECFormDesigner*>(form->Components(i))) return d;
    return nullptr;
  }
  // A click on one of the skinned frame's caption buttons shown now.
  void ClickFrameButton(forms::TCustomForm* form) {
    TECFormDesigner* d = FrameOf(form);
    if (!d || !d->Skinned()) return;
    std::vector<TECFormButton*> buttons;
    for (int i = 0; i < d->Buttons().Count(); ++i)
      if (d->ButtonShown(*d->Buttons().Items(i), form->WindowState())) buttons.push_back(d->Buttons().Items(i));
    if (buttons.empty()) return;
    TECFormButton& b = *buttons[size_t(Pick(int(buttons.size())))];
    d->ButtonShown(b, form->WindowState());
    const canvas::TRect r = d->ButtonRect(b, form->WindowState());
    const TPoint p{form->Left() + (r.Left + r.Right) / 2, form->Top() + (r.Top + r.Bottom) / 2};
    ClickAt(p, p);
  }
  // A drag from the frame band: the caption moves the window, a border
  // resizes it; the window stays on the screen.
  void DragFrame(forms::TCustomForm* form) {
    const canvas::TRect in = form->FrameInsets();
    const int w = form->Width(), h = form->Height();
    if (in.Top <= 0) return;
    TPoint from{Pick(w), Pick(in.Top)};
    if (Pick(2)) {
      const int side = Pick(3);
      if (side == 0 && in.Left > 0) from = {Pick(in.Left), in.Top + Pick(std::max(1, h - in.Top))};
      if (side == 1 && in.Right > 0) from = {w - 1 - Pick(in.Right), in.Top + Pick(std::max(1, h - in.Top))};
      if (side == 2 && in.Bottom > 0) from = {Pick(w), h - 1 - Pick(in.Bottom)};
    }
    const canvas::TRect screen = {0, 0, forms::Screen->Width(), forms::Screen->Height()};
    const int dx = std::clamp(Pick(121) - 60, -form->Left(), std::max(0, screen.Right - form->Left() - w));
    const int dy = std::clamp(Pick(121) - 60, -form->Top(), std::max(0, screen.Bottom - form->Top() - h));
    const TPoint p{form->Left() + from.X, form->Top() + from.Y};
    ClickAt(p, {std::clamp(p.X + dx, 0, screen.Right - 1), std::clamp(p.Y + dy, 0, screen.Bottom - 1)});
  }
  void Step() {
    // A minimised window comes back now and then, as from a task bar.
    for (int i = 0; i < forms::Screen->FormCount(); ++i)
      if (forms::TCustomForm* f = forms::Screen->Forms(i);
          f->Visible() && f->WindowState() == window::TWindowState::wsMinimized && !Pick(8)) {
        if (GetParam() == TDisplay::Headless) Host->RestoreFromTaskBar(f->Window());
        else f->SetWindowState(window::TWindowState::wsNormal);
        return;
      }
    const std::vector<forms::TCustomForm*> shown = Shown();
    // Mostly the window made last (a dialog, a box, a drop-down), else any.
    forms::TCustomForm* form = shown.empty() ? nullptr : Pick(3) ? shown.back() : shown[size_t(Pick(int(shown.size())))];
    std::vector<TControl*> leaves;
    if (form) Leaves(form, leaves);
    auto* dialog = dynamic_cast<forms::TFileDialogForm*>(form);
    const int kind = dialog && Pick(2) ? 9 : Pick(14);
    if (kind < 6 && !leaves.empty()) {  // a click, or a drag on sliders and lists
      TControl* c = leaves[size_t(Pick(int(leaves.size())))];
      const TPoint p = c->ClientToScreen({Pick(std::max(1, c->Width())), Pick(std::max(1, c->Height()))});
      ClickAt(p, kind == 0 ? TPoint{p.X + Pick(120) - 60, p.Y + Pick(40) - 20} : p);
    } else if (kind < 9) {
      static const int keys[] = {window::VK_ESCAPE, window::VK_RETURN, window::VK_TAB,  window::VK_UP,
                                 window::VK_DOWN,   window::VK_LEFT,   window::VK_RIGHT, window::VK_SPACE};
      // Nor by the keyboard: from those controls it only moves on.
      const auto* active = dynamic_cast<forms::TFileDialogForm*>(forms::Screen->ActiveForm());
      Press(active && LeadsAway(active->ActiveControl()) ? window::VK_TAB : keys[Pick(8)]);
    } else if (kind == 9 && dialog) {  // a typed path and Return
      const auto* edit = dynamic_cast<TControl*>(dialog->FindComponent("FileNameEdit"));
      const TPoint p = edit->ClientToScreen({4, 4});
      ClickAt(p, p);
      In->Key(window::VK_CONTROL, true), Press('A'), In->Key(window::VK_CONTROL, false);
      In->Type(Paths[size_t(Pick(int(Paths.size())))]);
      Press(window::VK_RETURN);
    } else if (kind == 10 && GetParam() == TDisplay::Headless && Main && Pick(4) == 0) {
      Host->RequestClose(Main->Window());
    } else if (kind == 12 && form) {
      ClickFrameButton(form);
    } else if (kind == 13 && form) {
      DragFrame(form);
    } else if (form && !dialog) {  // a click anywhere on a window but a file dialog
      const TPoint p = form->ClientToScreen({Pick(form->Width()), Pick(form->Height())});
      ClickAt(p, p);
    }
    if (GetParam() == TDisplay::Headless) Host->AdvanceTime(Pick(3) ? 40 : 700);
    else usleep(Pick(3) ? 2000 : 200000);
  }
  void Check() {
    auto& system = window::TWindowSystem::Current();
    const std::vector<uint32_t>& modal = system.ModalLoops();
    for (size_t i = 0; i < modal.size(); ++i) {
      const window::TWindow* w = system.FindWindow(modal[i]);
      ASSERT_TRUE(w && w->Visible()) << "a modal loop runs for a window gone or hidden";
      EXPECT_EQ(w->AcceptsInput(), i + 1 == modal.size()) << "an outer modal window takes input";
    }
    std::vector<window::TWindow*> known = system.ZOrder();
    known.insert(known.end(), {system.GetCapture(), system.GetActiveWindow(), system.GetHoverWindow()});
    for (window::TWindow* w : known)
      if (w) {
        EXPECT_EQ(system.FindWindow(w->Handle()), w) << "a window is used after its destruction";
      }
    bool tipsKnown = !HelperModule();
    for (int i = 0; i < forms::Screen->FormCount(); ++i) {
      forms::TCustomForm* f = forms::Screen->Forms(i);
      EXPECT_EQ(system.FindWindow(f->Window().Handle()), &f->Window());
      tipsKnown |= f == HelperModule();
      // A skinned frame's band is the one its pieces make, and a button it
      // holds pressed holds the mouse.
      if (TECFormDesigner* d = FrameOf(f); d && d->Skinned()) {
        if (f->WindowState() != window::TWindowState::wsMinimized) {
          EXPECT_EQ(f->FrameInsets(), d->FrameInsets());
        }
        if (d->CaptureActive()) {
          EXPECT_EQ(system.GetCapture(), &f->Window());
        }
      }
      if (auto* d = dynamic_cast<forms::TFileDialogForm*>(f); d && d->Visible()) {
        ASSERT_EQ(d->Folder().rfind(Folder.string(), 0), 0u) << d->Folder();
      }
    }
    EXPECT_TRUE(tipsKnown) << "the tips window's reference outlives it";
  }
  // Runs the program until Exit or the walk's end; false when an invariant broke.
  bool RunProgram(int steps) {
    Start();
    window::TWindowSystem::Current().SetIdleHandler([&] {
      // The loops end at once, without waiting for anything more.
      if (Done >= steps || HasFailure()) {
        App->Terminate();
        return false;
      }
      Step();
      ++Done;
      Check();
      return false;
    });
    App->Run();
    Stop();
    return !HasFailure();
  }
  void NewApplication() {
    App.reset();
    std::unique_ptr<window::THost> host;
    if (GetParam() == TDisplay::Headless) {
      auto headless = std::make_unique<window::THeadlessHost>();
      Host = headless.get();
      host = std::move(headless);
    } else {
      host = std::make_unique<window::TSdlHost>();
    }
    App = std::make_unique<forms::TApplication>(std::move(host));
  }

  std::mt19937 Rng{unsigned(Env("SONARID_WALK_SEED", 20270))};
  std::unique_ptr<TWalkInput> In;
  std::vector<std::string> Paths;
  int Done = 0;
};

TEST_P(ExerciserTest, AnyOrderOfUserActionsLeavesTheProgramRunningAndConsistent) {
  std::unique_ptr<test_support::TVirtualDisplay> display;
  pid_t openbox = 0;
  if (GetParam() != TDisplay::Headless) {
    for (const char* tool : {"Xvfb", "openbox"})
      if (!test_support::OnPath(tool)) GTEST_SKIP() << tool << " is not installed (scripts/install-deps installs it)";
    display = std::make_unique<test_support::TVirtualDisplay>(1024, 768);
    ASSERT_FALSE(display->Display().empty()) << "no X server could start";
    setenv("DISPLAY", display->Display().c_str(), 1);
    setenv("SDL_VIDEODRIVER", "x11", 1);
    const char* argv[] = {"openbox", nullptr};
    if (GetParam() == TDisplay::XvfbOpenbox) {
      ASSERT_EQ(posix_spawnp(&openbox, "openbox", nullptr, nullptr, const_cast<char**>(argv), environ), 0);
      ASSERT_TRUE(WaitForWindowManager(display->Display())) << "openbox did not start";
    }
    In = XTestInput(display->Display());
    ASSERT_TRUE(In) << "no XTEST on the virtual display";
    NewApplication();
  } else {
    In = std::make_unique<THeadlessInput>(Host);
  }
  // Links and the volume control start nothing: stand-ins come first on the path.
  const std::string bin = (Folder / "bin").string();
  fs::create_directories(bin);
  for (const char* tool : {"xdg-open", "pavucontrol"}) {
    WriteText(bin + "/" + tool, "#!/bin/sh\nexit 0\n");
    fs::permissions(bin + "/" + tool, fs::perms::owner_all);
  }
  setenv("PATH", (bin + ":" + std::getenv("PATH")).c_str(), 1);
  // Dialogs start at home, and it is the walk's folder, as are the other places.
  setenv("HOME", Folder.c_str(), 1);
  setenv("XDG_CONFIG_HOME", (Folder / ".config").c_str(), 1);
  // Copies only, in the walk's folder, which is also where the dialogs start.
  fs::copy_file(CorpusXml("01a-Pitches-Pitches.xml"), Folder / "score.xml");
  if (const std::string midi = CorpusMidi(); !midi.empty()) fs::copy_file(midi, Folder / "song.mid");
  WriteText(Folder / "damaged.mid", ReadText(Folder / "score.xml").substr(0, 60));
  for (const char* name : {"score.xml", "song.mid", "damaged.mid", "missing/x.mid", "take-1.wav", "take-2", "missing/t.wav"})
    Paths.push_back((Folder / name).string());

  const int steps = Env("SONARID_WALK_STEPS", GetParam() == TDisplay::Headless ? (test_support::kSanitized ? 2000 : 12000)
                                                                                : (test_support::kSanitized ? 600 : 1200));
  int restarts = 0;
  while (RunProgram(steps) && Done < steps) {
    ++restarts;
    NewApplication();
  }
  In.reset();
  if (openbox) kill(openbox, SIGTERM), waitpid(openbox, nullptr, 0);
  EXPECT_EQ(Done, steps) << "seed " << Env("SONARID_WALK_SEED", 20270);
  std::printf("%d steps, %d restarts of the program\n", Done, restarts);
  if (display) App.reset();
}

INSTANTIATE_TEST_SUITE_P(Displays, ExerciserTest,
                         ::testing::Values(TDisplay::Headless, TDisplay::Xvfb, TDisplay::XvfbOpenbox),
                         [](const auto& info) {
                           return std::string(info.param == TDisplay::Headless ? "Headless"
                                              : info.param == TDisplay::Xvfb ? "Xvfb" : "XvfbOpenbox");
                         });

}  // namespace
}  // namespace apptest
