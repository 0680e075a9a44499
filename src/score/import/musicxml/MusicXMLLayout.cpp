// Page and system layout: the document's scaling, the page size and margins,
// system margins and distances. Distances given in print elements are kept as
// spacing records for the finishing pass.

#include <algorithm>

#include "score/import/musicxml/MusicXMLWalk.h"
#include "score/model/Page.h"
#include "score/model/Score.h"

bool TKVMusicXMLWalk::HandleLayout(TKVXMLElement Code) {
  switch (Code) {
    case xeScaling:
    case xePageLayout:
      if (ParentIs(xeDefaults)) SetScope(Code);
      return true;
    case xeMillimeters:
    case xeTenths:
      if (ParentIs(xeScaling)) OnScaling(Code == xeMillimeters);
      return true;
    case xePageHeight:
    case xePageWidth:
      if (ParentIs(xePageLayout)) OnPageValue(Code == xePageHeight ? pvHeight : pvWidth);
      return true;
    case xePageMargins:
      if (ParentIs(xePageLayout)) SetScope(Code);
      return true;
    case xeLeftMargin:
    case xeRightMargin:
      if (ParentIs(xePageMargins))
        OnPageValue(Code == xeLeftMargin ? pvLeftMargin : pvRightMargin);
      else if (ParentIs(xeSystemMargins))
        OnSystemMargin(Code == xeRightMargin);
      return true;
    case xeTopMargin:
    case xeBottomMargin:
      if (ParentIs(xePageMargins)) OnPageValue(Code == xeTopMargin ? pvTopMargin : pvBottomMargin);
      return true;
    case xeSystemLayout:
    // The staff layout of the defaults gives the page's staff interval.
    case xeStaffLayout:
      if (ParentIs(xeDefaults, xePrint)) SetScope(Code);
      return true;
    case xeSystemMargins:
      if (ParentIs(xeSystemLayout)) SetScope(Code);
      return true;
    case xeSystemDistance:
      if (ParentIs(xeSystemLayout)) OnSystemDistance();
      return true;
    case xeStaffDistance:
      if (ParentIs(xeStaffLayout)) OnStaffDistance();
      return true;
    case xeTopSystemDistance:
      if (ParentIs(xeSystemLayout) && GrandParent() == xePrint) AddSpacingRecord(0);
      return true;
    case xeNumber:
      if (!ParentIs(xeStaffLayout)) return false;
      FSlurNumber = Number(1);
      return true;
    default:
      return false;
  }
}

// A scaling of 0 or less would divide by zero or turn the page: the previous
// value stays.
void TKVMusicXMLWalk::OnScaling(bool Millimeters) {
  long double value = Decimal();
  if (value <= 0) return;
  (Millimeters ? FMillimeters : FTenths) = value;
}

void TKVMusicXMLWalk::OnPageValue(int32_t Index) {
  long double tenths = Scaled();
  TKVPage& page = FScore.Page();
  page.PushMetrix(rmMM);
  page.SetValue(Index, tenths / 10);
  page.PopMetrix();
}

void TKVMusicXMLWalk::OnSystemMargin(bool Right) {
  int32_t value = RoundExtended(Scaled());
  if (Right)
    FScore.SetSystemSpacing3(value, FSystemCount, false);
  else
    FScore.SetSystemSpacing2(value, FSystemCount, false);
}

void TKVMusicXMLWalk::OnSystemDistance() {
  if (GrandParent() == xeDefaults)
    FScore.Settings().SetSystemDistance(Scaled());
  else if (GrandParent() == xePrint)
    AddSpacingRecord(-1);
}

void TKVMusicXMLWalk::OnStaffDistance() {
  if (GrandParent() == xeDefaults) {
    OnPageValue(pvInterval);
  } else if (GrandParent() == xePrint) {
    AddSpacingRecord(int16_t(std::clamp<int32_t>(FSlurNumber - 1, -0x8000, 0x7FFF)));
  }
}

void TKVMusicXMLWalk::AddSpacingRecord(int16_t StaffIndex) {
  int32_t value = std::clamp<int32_t>(RoundExtended(Scaled()), -0x8000, 0x7FFF);
  SpacingRecords.push_back({FMeasure, FSystemCount, StaffIndex, int16_t(value)});
}
