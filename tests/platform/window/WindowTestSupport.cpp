#include "WindowTestSupport.h"

namespace window::test {

namespace {

const char* KindName(TMessageKind k) {
  switch (k) {
    case TMessageKind::Paint: return "Paint";
    case TMessageKind::Size: return "Size";
    case TMessageKind::Move: return "Move";
    case TMessageKind::MouseMove: return "MouseMove";
    case TMessageKind::MouseDown: return "MouseDown";
    case TMessageKind::MouseUp: return "MouseUp";
    case TMessageKind::MouseWheel: return "MouseWheel";
    case TMessageKind::MouseEnter: return "MouseEnter";
    case TMessageKind::MouseLeave: return "MouseLeave";
    case TMessageKind::KeyDown: return "KeyDown";
    case TMessageKind::KeyUp: return "KeyUp";
    case TMessageKind::Char: return "Char";
    case TMessageKind::Activate: return "Activate";
    case TMessageKind::SetFocus: return "SetFocus";
    case TMessageKind::KillFocus: return "KillFocus";
    case TMessageKind::Close: return "Close";
    case TMessageKind::Timer: return "Timer";
    case TMessageKind::CancelMode: return "CancelMode";
    case TMessageKind::CaptureChanged: return "CaptureChanged";
    case TMessageKind::ManagerFrame: return "ManagerFrame";
  }
  return "?";
}

std::string Pos(TPoint p) { return " " + std::to_string(p.X) + "," + std::to_string(p.Y); }

}  // namespace

std::string Describe(const std::string& name, const TMessage& m) {
  std::string s = name + " " + KindName(m.Kind);
  const std::string shift = " s=" + std::to_string(m.Shift);
  switch (m.Kind) {
    case TMessageKind::MouseMove: return s + Pos(m.Pos) + shift;
    case TMessageKind::MouseDown:
    case TMessageKind::MouseUp: return s + Pos(m.Pos) + " " + "LRM"[m.Button] + shift;
    case TMessageKind::MouseWheel: return s + Pos(m.Pos) + " " + std::to_string(m.WheelDelta) + shift;
    case TMessageKind::MouseEnter: return s + Pos(m.Pos);
    case TMessageKind::KeyDown:
    case TMessageKind::KeyUp: return s + " " + std::to_string(m.Key) + shift + (m.Repeat ? " repeat" : "");
    case TMessageKind::Char: return s + " " + std::to_string(static_cast<uint32_t>(m.CharCode));
    case TMessageKind::Activate: return s + (m.Active ? " on" : " off");
    case TMessageKind::Timer: return s + " " + std::to_string(m.TimerId);
    case TMessageKind::Size: return s + " " + std::to_string(m.Width) + "x" + std::to_string(m.Height);
    case TMessageKind::Move: return s + Pos(m.ScreenPos);
    case TMessageKind::Paint:
      return s + Pos({m.UpdateRect.Left, m.UpdateRect.Top}) + Pos({m.UpdateRect.Right, m.UpdateRect.Bottom});
    default: return s;
  }
}

TLoggedWindow::TLoggedWindow(TLog& log, std::string name, TWindowKind kind, TWindow* owner, bool logPaint)
    : TWindow(kind, owner), FLog(log), FName(std::move(name)), FLogPaint(logPaint) {
  OnMessage = [this](TObject*, TMessage& msg) {
    if (msg.Kind == TMessageKind::Paint) {
      for (int y = msg.UpdateRect.Top; y < msg.UpdateRect.Bottom; ++y)
        for (int x = msg.UpdateRect.Left; x < msg.UpdateRect.Right; ++x) msg.Buffer.Row(y)[x] = Colour;
      if (!FLogPaint) {
        if (Extra) Extra(msg);
        return;
      }
    }
    FLog.push_back(Describe(FName, msg));
    if (Extra) Extra(msg);
  };
}

HeadlessWindowTest::HeadlessWindowTest() {
  auto host = std::make_unique<THeadlessHost>();
  Host = host.get();
  System = std::make_unique<TWindowSystem>(std::move(host));
}

HeadlessWindowTest::~HeadlessWindowTest() = default;

TLog HeadlessWindowTest::Pump() {
  System->ProcessMessages();
  TLog out;
  out.swap(Log);
  return out;
}

std::unique_ptr<TLoggedWindow> HeadlessWindowTest::MakeWindow(const std::string& name, TRect bounds, TWindowKind kind,
                                                             TWindow* owner) {
  auto w = std::make_unique<TLoggedWindow>(Log, name, kind, owner);
  w->SetBounds(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
  Log.clear();  // the first Move and Size
  return w;
}

}  // namespace window::test
