// The document header (work, movement, creators, rights) as page texts of the
// score, and the part list (parts, their names, MIDI channel and program).

#include <algorithm>

#include "base/Strings.h"
#include "platform/text/TextMeasurer.h"
#include "score/import/text/AnsiText.h"
#include "score/import/musicxml/MusicXMLWalk.h"
#include "score/model/ItemKinds.h"
#include "score/model/Lyric.h"
#include "score/model/Measure.h"
#include "score/model/Page.h"
#include "score/model/PageTexts.h"
#include "score/model/Part.h"
#include "score/model/Piece.h"
#include "score/model/RegistrationPause.h"
#include "score/model/Score.h"

namespace {

constexpr const char* PageTextFont = "Arial";
constexpr uint8_t MovementTextSize = 14;
constexpr int32_t MovementTextY = 256;

}  // namespace

bool TKVMusicXMLWalk::HandleHeader(TKVXMLElement Code) {
  switch (Code) {
    case xePart:
      SetScope(Code);
      FSystemCount = 0;
      FWedge = nullptr;  // a wedge is stopped within its own part
      FOpenWedges.clear();
      FStaffClefs.fill(ClefSignToKind("G"));
      return true;
    case xeWorkNumber:
      OnWorkText(12, 2, 36);
      return true;
    case xeWorkTitle:
      OnWorkText(16, 1, 0);
      return true;
    case xeCreator:
      if (!ParentIs(xeIdentification)) return false;
      SetScope(Code);
      FCreatorText = Text();
      return true;
    case xeType:
      if (!ParentIs(xeCreator)) return false;
      OnCreatorType();
      return true;
    case xeRights:
      if (ParentIs(xeIdentification)) OnRights();
      return true;
    case xeEncoding:
      if (ParentIs(xeIdentification)) SetScope(Code);
      return true;
    case xeSoftware:
    case xeEncodingDate:
      return true;
    case xeMovementNumber:
    case xeMovementTitle:
      OnMovement(Code == xeMovementTitle);
      return true;
    case xeScorePart:
      if (ParentIs(xePartList)) OnScorePart();
      return true;
    case xeId:
      OnPartId();
      return true;
    case xePartName:
      if (ParentIs(xeScorePart)) OnPartName();
      return true;
    case xeScoreInstrument:
    case xeMidiInstrument:
      if (ParentIs(xeScorePart)) SetScope(Code);
      return true;
    case xeInstrumentName:
      if (ParentIs(xeScoreInstrument) && FPart) FPart->SetName(Text());
      return true;
    case xeMidiChannel:
    case xeMidiProgram:
      if (ParentIs(xeMidiInstrument) && FPart) OnMidiValue(Code == xeMidiChannel);
      return true;
    default:
      return false;
  }
}

int32_t TKVMusicXMLWalk::PageWidth8() const { return PageUnits(FScore.Page().InternalValue(pvWidth)); }

// Widths come out in layout units when the font is measured at 8 times its size.
int32_t TKVMusicXMLWalk::PageTextWidth(const std::u16string& Text, int32_t Size) const {
  return text::CurrentMeasurer().TextWidthW({PageTextFont, 8 * Size, 0}, Text);
}

TKVText* TKVMusicXMLWalk::NewPageText(const std::string& Text, uint8_t Size, uint8_t Alignment, int32_t X,
                                      int32_t Y) {
  auto* text = new TKVText(&FScore);
  text->SetText1(PageTextFont);
  text->Data().setI16(PageObjectBlock::X, Clamp16(X));
  text->Data().setI16(PageObjectBlock::Y, Clamp16(Y));
  text->Data().setU16(TextBlock::Page, 1);
  // The renderer knows centred and right-aligned lines.
  uint8_t align = Alignment == 3 ? 2 : Alignment == 4 || Alignment == 0 ? 0 : 1;
  text->Data().setU8(TextBlock::Flags, uint8_t(align << 4));
  text->Data().setU8(TextBlock::FontSize, Size);
  text->Lines().push_back(Utf8ToUtf16(Text));
  FLastText = text;
  return text;
}

// Work number and title: centred near the top margin.
void TKVMusicXMLWalk::OnWorkText(uint8_t Size, uint8_t Alignment, int32_t Lines) {
  const TKVPage& page = FScore.Page();
  int32_t width = PageTextWidth(Utf8ToUtf16(Text()), Size);
  int32_t y = (RoundExtended(page.InternalValue(pvTopMargin) * ScreenPixelsPerInch / 254) + Lines) * 8;
  TKVText* text = NewPageText(Text(), Size, Alignment, (PageWidth8() - width) / 2, y);
  TextsToAlign.push_back({text, Alignment, Size});
}

// The creator's type decides its header string and its place: the composer
// on the right, the poet or lyricist on the left; a second creator of a
// side goes a line below the one before, not over it.
void TKVMusicXMLWalk::OnCreatorType() {
  const TKVPage& page = FScore.Page();
  const long double toPixels = ScreenPixelsPerInch / 254.0L;
  int32_t y = (RoundExtended(page.InternalValue(pvTopMargin) * toPixels) + 96) * 8;
  const bool composer = Text() == "composer";
  if (composer || Text() == "poet" || Text() == "lyricist")
    y += (composer ? FComposers++ : FLyricists++) * text::CurrentMeasurer().TextHeight({PageTextFont, 80, 0});
  if (composer) {
    FScore.FileText(0) = FCreatorText;
    int32_t right = PageUnits(page.InternalValue(pvWidth) - page.InternalValue(pvRightMargin));
    NewPageText(FCreatorText, 10, 3, right - PageTextWidth(Utf8ToUtf16(FCreatorText), 10), y);
  } else if (Text() == "poet" || Text() == "lyricist") {
    FScore.FileText(1) = FCreatorText;
    NewPageText(FCreatorText, 10, 4, PageUnits(page.InternalValue(pvLeftMargin)), y);
  }
}

void TKVMusicXMLWalk::OnRights() {
  const TKVPage& page = FScore.Page();
  FScore.FileText(2) = Text();
  int32_t width = PageTextWidth(Utf8ToUtf16(Text()), 10);
  int32_t y = PageUnits(page.InternalValue(pvHeight) - page.InternalValue(pvBottomMargin)) - 80;
  TKVText* text = NewPageText(Text(), 10, 5, (PageWidth8() - width) / 2, y);
  TextsToAlign.push_back({text, 5, 10});
}

// Movement number and title share one line: the second one seen centres the
// pair as a whole, the number before the title.
void TKVMusicXMLWalk::OnMovement(bool Title) {
  const std::u16string text = Utf8ToUtf16(Text());
  TKVText* earlier = FMovementSeen ? FLastText : nullptr;
  const std::u16string earlierText = earlier && !earlier->Lines().empty() ? earlier->Lines()[0] : u"";
  int32_t width = PageTextWidth(earlier ? earlierText + u" " + text : text, MovementTextSize);
  int32_t start = (PageWidth8() - width) / 2;
  TKVText* movement = NewPageText(Text(), MovementTextSize, 0, start, MovementTextY);
  FMovementSeen = true;
  if (!earlier) return;
  if (Title) {
    earlier->Data().setI16(PageObjectBlock::X, Clamp16(start + PageTextWidth(text + u" ", MovementTextSize)));
  } else {
    earlier->Data().setI16(PageObjectBlock::X, Clamp16(start));
    movement->Data().setI16(PageObjectBlock::X,
                            Clamp16(start + PageTextWidth(earlierText + u" ", MovementTextSize)));
  }
}

void TKVMusicXMLWalk::OnScorePart() {
  SetScope(xeScorePart);
  FPart = FPiece.NewPart();
  FStaff = FPart->NewStaff();
  FFirstMeasureMade.erase(FPart);
}

void TKVMusicXMLWalk::OnPartId() {
  if (ParentIs(xeScorePart)) {
    if (FPart) FPart->SetSecondName(Text());
  } else if (ParentIs(xePart)) {
    FPart = FindPartById();
  }
}

TKVPart* TKVMusicXMLWalk::FindPartById() const {
  for (int32_t i = 0; i < FPiece.GetPartCount(); ++i)
    if (SameText(FPiece.GetPart(i)->SecondName(), Text())) return FPiece.GetPart(i);
  return FPiece.GetPart(0);
}

// The part's name as a label in its first measure, made before the measures
// are read; the first measure element then takes that measure.
void TKVMusicXMLWalk::OnPartName() {
  if (!FPart) return;
  if (FPart->GetMeasureCount() == 0) {
    FPart->NewMeasure();
    FFirstMeasureMade.insert(FPart);
  }
  TKVMeasure* first = FPart->GetMeasure(0);
  TKVLyric* label;
  {
    TRegistrationPause<TKVMeasure> pause(*first);
    label = new TKVLyric(first);
  }
  first->InsertItem(0, label);
  label->SetKind(ItemKind::LyricLine);
  label->SetText(PageTextFont);
  label->Data().setU8(LyricBlock::FontSize, 10);
  label->Lines().push_back(Utf8ToUtf16(Text()));
}

void TKVMusicXMLWalk::OnMidiValue(bool Channel) {
  uint8_t value = uint8_t(Number(1) - 1);
  if (Channel)
    FPart->SetChannel(value);
  else
    FPart->Data().setU8(PartBlock::Program, value);
}
