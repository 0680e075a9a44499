#include "app/AboutModule.h"

#include "app/SkinnedFrames.h"
#include "platform/shell/Shell.h"
#include "platform/window/WindowSystem.h"
#include "ui/ECFormLanguage.h"
#include "ui/FormsPublished.h"
#include "ui/frame/ECFormDesigner.h"

namespace {

constexpr canvas::TColor BoxColour = 15855340, BandColour = 0xF8EFE6, BandEdge = 0xC8A888;
constexpr canvas::TColor LinkColour = 0xA04010, TitleColour = 0x7A3A1E, NoteColour = 0x707070;

forms::TLabel* AddLabel(TFAboutModule* box, const char* name, int left, int top, const char* text) {
  auto* label = new forms::TLabel(box);
  label->SetName(name);
  label->SetParent(box);
  label->SetLeft(left);
  label->SetTop(top);
  label->SetCaption(text);
  return label;
}

void MakeLink(forms::TLabel* label) {
  canvas::TFont font = label->Font();
  font.Color = LinkColour;
  font.Style |= text::fsUnderline;
  label->SetFont(font);
  label->SetCursor(window::crHandPoint);
}

}  // namespace

TFAboutModule::TFAboutModule(forms::TComponent* owner) : TForm(owner) {
  SetName("FAboutModule");
  SetColor(BoxColour);
  SetBorderStyle(forms::bsSingle);
  Position = forms::poOwnerFormCenter;
  KeyPreview = true;
  // A press and release on the box itself is a click, as on a control.
  ControlStyle = forms::csCaptureMouse | forms::csClickEvents;
  SetBounds(0, 0, 380, 290);

  FDAbout = new TECFormDesigner(this);
  FDAbout->SetName("FDAbout");
  SkinAboutFrame(*FDAbout);
  FDAbout->SetActive(true);

  SAbout = new forms::TShape(this);
  SAbout->SetName("SAbout");
  SAbout->SetParent(this);
  SAbout->Shape = forms::stRoundRect;
  SAbout->Brush.Color = BandColour;
  SAbout->Pen.Color = BandEdge;
  SAbout->SetBounds(8, 8, ClientWidth() - 16, 74);
  LProgram = AddLabel(this, "LProgram", 20, 14, "Korvane Sonarid");
  canvas::TFont title = LProgram->Font();
  title.SetSize(14);
  title.Style |= text::fsBold;
  title.Color = TitleColour;
  LProgram->SetFont(title);
  LDescription = AddLabel(this, "LDescription", 20, 42, "Records the sound of a score played through MIDI");
  LVersion = AddLabel(this, "LVersion", 20, 60, "Version 1.0");
  LDevelopment = AddLabel(this, "LDevelopment", 16, 94, "Development: Korvane");
  LSupport = AddLabel(this, "LSupport", 16, 116, "Technical support:");
  LSupportMail = AddLabel(this, "LSupportMail", 176, 116, "support@korvane.example");
  LSales = AddLabel(this, "LSales", 16, 134, "Sales:");
  LSalesMail = AddLabel(this, "LSalesMail", 176, 134, "sales@korvane.example");
  LProducts = AddLabel(this, "LProducts", 16, 160, "Other Korvane products:");
  LProduct1 = AddLabel(this, "LProduct1", 32, 178, "Korvane Score Writer");
  LProduct2 = AddLabel(this, "LProduct2", 32, 196, "Korvane Tab Editor");
  LProduct3 = AddLabel(this, "LProduct3", 32, 214, "Korvane Ear Trainer");
  LClose = AddLabel(this, "LClose", 16, 242, "Click or press any key to close this window.");
  canvas::TFont note = LClose->Font();
  note.Color = NoteColour;
  LClose->SetFont(note);

  for (forms::TLabel* mail : {LSupportMail, LSalesMail}) {
    MakeLink(mail);
    mail->OnClick = [this, mail](TObject*) {
      const std::string address = mail->Caption();
      CloseBox();
      shell::OpenLink("mailto:" + address);
    };
  }
  const char* pages[] = {"https://www.korvane.example/scorewriter/", "https://www.korvane.example/tabeditor/",
                         "https://www.korvane.example/eartrainer/"};
  int i = 0;
  for (forms::TLabel* product : {LProduct1, LProduct2, LProduct3}) {
    MakeLink(product);
    product->SetHint(pages[i++]);
    product->OnClick = [product](TObject*) { shell::OpenLink(product->Hint()); };
  }
  for (forms::TControl* closer : {static_cast<forms::TControl*>(this), static_cast<forms::TControl*>(SAbout),
                                  static_cast<forms::TControl*>(LDevelopment), static_cast<forms::TControl*>(LVersion),
                                  static_cast<forms::TControl*>(LProducts)})
    closer->OnClick = [this](TObject*) { CloseBox(); };
  OnKeyDown = [this](TObject*, int& key, forms::TShiftState) {
    if (!AllowClose) return;
    key = 0;
    CloseBox();
  };
  OnActivate = [this](TObject*) { TakeCapture(); };

  Published = std::make_unique<TFormsPublishedForm>(*this);
  FLAboutModule = std::make_unique<TECFormLanguage>(Published.get());
  FLAboutModule->SetFormName("FAboutModule");
  FLAboutModule->ApplyApplicationLanguage();
}

TFAboutModule::~TFAboutModule() { FLAboutModule.reset(); }

void TFAboutModule::CloseBox() {
  if (AllowClose) SetModalResult(forms::mrOk);
}

void TFAboutModule::TakeCapture() {
  if (AllowClose && Visible() && window::TWindowSystem::Exists())
    window::TWindowSystem::Current().SetCapture(&Window());
}

void TFAboutModule::WindowMessage(window::TMessage& Msg) {
  TForm::WindowMessage(Msg);
  // A press outside the box reaches it through the capture.
  if (Msg.Kind == window::TMessageKind::MouseDown &&
      !(Msg.Pos.X >= 0 && Msg.Pos.Y >= 0 && Msg.Pos.X < Width() && Msg.Pos.Y < Height()))
    CloseBox();
  // Whatever let the capture go (a label's click, a move by the caption),
  // the box takes it back while it is up.
  if (Msg.Kind == window::TMessageKind::CaptureChanged && !Msg.Other) TakeCapture();
}
