#include "app/MessageBlock.h"

#include "app/ProgramUnit.h"
#include "base/Utf8.h"
#include "platform/forms/ControlPaint.h"
#include "ui/ECFormLanguage.h"
#include "ui/FormsPublished.h"

namespace {

constexpr canvas::TColor clCream = 0xF0FBFF;
constexpr int TextLeft = 60, TextTop = 12, PictureLeft = 12;

bool IsBreak(char32_t c) { return c == ' ' || c == ',' || c == ';' || c == ')'; }

std::u16string Utf16Of(char32_t c) {
  if (c < 0x10000) return std::u16string(1, char16_t(c));
  c -= 0x10000;
  return {char16_t(0xD800 + (c >> 10)), char16_t(0xDC00 + (c & 0x3FF))};
}

std::string Utf8Of(const std::u32string& text, size_t from, size_t to) {
  std::string out;
  for (size_t i = from; i < to && i < text.size(); ++i) AppendUtf8(out, text[i]);
  return Trim(out);
}

forms::TImage* Picture(forms::TForm* form, const char* name, const std::string& file) {
  auto* image = new forms::TImage(form);
  image->SetName(name);
  image->SetParent(form);
  image->SetBounds(PictureLeft, TextTop, 36, 88);
  image->SetPicture(SkinPicture(file));
  // The picture's sign fills its top and the rest is blank: drawn from the
  // top, the sign stays whole however short the text is.
  image->Hide();
  return image;
}

}  // namespace

TMessageText::TMessageText(forms::TComponent* owner) : TGraphicControl(owner) {
  FLines.OnChange = [this](TObject*) { Invalidate(); };
}

void TMessageText::DefineProperties(forms::TPropertyList& props) {
  TGraphicControl::DefineProperties(props);
  props.Object("Lines", forms::TPropKind::pkStrings, [this] { return &FLines; });
}

void TMessageText::Paint() {
  canvas::TCanvas& c = Canvas();
  c.Font = Font();
  const int lineHeight = c.TextHeight(u"A");
  for (int i = 0; i < FLines.Count(); ++i)
    forms::DrawText(c, FLines.Strings(i), {0, i * lineHeight, Width(), (i + 1) * lineHeight}, forms::taLeftJustify);
}

TFMessageBlock::TFMessageBlock(forms::TComponent* owner) : TForm(owner) {
  SetName("FMessageBlock");
  SetBorderStyle(forms::bsDialog);
  SetBorderIcons(0);
  Position = forms::poOwnerFormCenter;
  KeyPreview = true;
  SetColor(clCream);
  SetClientWidth(392);
  SetClientHeight(118);
  IQuestion = Picture(this, "IQuestion", "question.png");
  IWarning = Picture(this, "IWarning", "warning.png");
  IInformation = Picture(this, "IInformation", "information.png");
  MMessageBlock = new TMessageText(this);
  MMessageBlock->SetName("MMessageBlock");
  MMessageBlock->SetParent(this);
  MMessageBlock->SetEnabled(false);
  MMessageBlock->SetBounds(TextLeft, TextTop, 300, 36);
  ILMessageBlock = new forms::TImageList(this);
  ILMessageBlock->SetName("ILMessageBlock");
  ILMessageBlock->AddStrip(SkinPicture("message-glyphs.png"));
  OnKeyDown = [this](TObject*, int& key, forms::TShiftState) {
    if (key != window::VK_ESCAPE) return;
    key = 0;
    SetModalResult(forms::mrCancel);
  };

  FPublished = std::make_unique<TFormsPublishedForm>(*this);
  FLMessageBlock = std::make_unique<TECFormLanguage>(FPublished.get());
  FLMessageBlock->ApplyApplicationLanguage();
}

TFMessageBlock::~TFMessageBlock() = default;

void TFMessageBlock::WrapText(const std::string& utf8) {
  const std::u32string text = DecodeUtf8(utf8);
  const int limit = text.size() < 51 ? 200 : text.size() < 101 ? 300 : 400;
  canvas::TCanvas& measure = MMessageBlock->Canvas();
  forms::TStrings& lines = MMessageBlock->Lines();
  lines.Clear();
  size_t start = 0;
  int sum = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    sum += measure.TextWidth(Utf16Of(text[i]));
    if (sum <= limit) continue;
    size_t cut = std::u32string::npos;
    for (size_t j = i + 1; j-- > start;)
      if (IsBreak(text[j])) {
        cut = j;
        break;
      }
    if (cut == std::u32string::npos)
      for (size_t j = i + 1; j < text.size(); ++j)
        if (IsBreak(text[j])) {
          cut = j;
          break;
        }
    if (cut == std::u32string::npos) break;  // the rest goes on one line
    lines.Add(Utf8Of(text, start, cut + 1));
    start = cut + 1;
    i = cut;
    sum = 0;
  }
  const std::string rest = Utf8Of(text, start, text.size());
  if (!rest.empty()) lines.Add(rest);
}

void TFMessageBlock::LayoutText() {
  canvas::TCanvas& measure = MMessageBlock->Canvas();
  int width = 0;
  for (int i = 0; i < MMessageBlock->Lines().Count(); ++i)
    width = std::max(width, forms::TextSize(measure, MMessageBlock->Lines().Strings(i)).Cx);
  width = std::max(width + 10, 114);
  int height = MMessageBlock->Lines().Count() * measure.TextHeight(u"A");
  if (height < 36) {
    MMessageBlock->SetBounds(TextLeft, TextTop + 10, width, height);
    height = 36;
    for (forms::TImage* picture : {IQuestion, IWarning, IInformation}) picture->SetHeight(48);
  } else {
    MMessageBlock->SetBounds(TextLeft, TextTop, width, height);
    for (forms::TImage* picture : {IQuestion, IWarning, IInformation}) picture->SetHeight(height);
  }
  SetClientWidth(width + 80);
  SetClientHeight(height + 80);
  FNextLeft = ClientWidth() - 84;
}

void TFMessageBlock::ChooseIcon(int kind) {
  IWarning->SetVisible(kind == mpWarning);
  IQuestion->SetVisible(kind == 1 || kind == 2);
  IInformation->SetVisible(kind == mpInformation);
}

void TFMessageBlock::AddButton(unsigned flag) {
  struct TKind {
    unsigned Flag;
    int Message;  // -1: the fixed "Ok"
    int Glyph;
    forms::TModalResult Result;
  };
  static constexpr TKind kinds[] = {{mbExtra, 0, 3, forms::mrNone},
                                    {mbCancel, 1, 1, forms::mrCancel},
                                    {mbOk, -1, 0, forms::mrOk},
                                    {mbNo, 3, 2, forms::mrNo},
                                    {mbYes, 2, 0, forms::mrYes}};
  for (const TKind& kind : kinds) {
    if (kind.Flag != flag) continue;
    if (FNextLeft < 20) {
      // The buttons already placed keep to the right edge.
      SetClientWidth(ClientWidth() + 20 - FNextLeft);
      FNextLeft = 20;
    }
    auto* button = new forms::TBitBtn(this);
    button->SetParent(this);
    button->SetBounds(FNextLeft, ClientHeight() - 30, 80, 25);
    button->SetAnchors(forms::akRight | forms::akBottom);
    button->SetCaption(kind.Message < 0 ? "Ok" : FPublished->Decode(FLMessageBlock->GetString(kind.Message)));
    button->Images = ILMessageBlock;
    button->ImageIndex = kind.Glyph;
    button->ModalResult = kind.Result;
    button->SetTabOrder(0);
    Buttons.push_back(button);
    FNextLeft -= 80;
  }
}

int ShowMessageBlock(const std::string& caption, const std::string& text, int kind, unsigned buttons) {
  TFMessageBlock box(nullptr);
  box.SetCaption(caption);
  box.WrapText(text);
  box.LayoutText();
  box.ChooseIcon(kind);
  for (unsigned flag : {mbExtra, mbCancel, mbOk, mbNo, mbYes})
    if (buttons & flag) box.AddButton(flag);
  if (!box.Buttons.empty()) box.SetActiveControl(box.Buttons.back());
  return box.ShowModal();
}
