#include "app/SkinnedFrames.h"

#include <string>

#include "app/ProgramUnit.h"
#include "ui/frame/ECFormDesigner.h"

namespace {

// The caption and border pieces named Prefix-caption-... and Prefix-border-...
void SkinPieces(TECFormDesigner& d, const std::string& prefix, int captionHeight) {
  TECFormCaption& caption = d.CaptionSetting();
  caption.SetHeight(captionHeight);
  // The pieces cover the whole bar: nothing to fill behind them.
  caption.SetColor(canvas::clBtnFace);
  const struct {
    TCaptionPiece Piece;
    const char* Name;
  } pieces[] = {{ActiveLeftPicture, "left"},
                {DeactiveLeftPicture, "left-inactive"},
                {ActiveCenterPicture, "center"},
                {DeactiveCenterPicture, "center-inactive"},
                {ActiveRightPicture, "right"},
                {DeactiveRightPicture, "right-inactive"},
                {ActiveMinRightPicture, "minright"}};
  for (const auto& p : pieces) caption.SetPicture(p.Piece, SkinPicture(prefix + "-caption-" + p.Name + ".png"));
  TECFormBorder& border = d.BorderSetting();
  const struct {
    TBorderPiece Piece;
    const char* Name;
  } sides[] = {{LeftPicture, "left"},
               {RightPicture, "right"},
               {BottomPicture, "bottom"},
               {LeftBottomPicture, "left-bottom"},
               {RightBottomPicture, "right-bottom"}};
  for (const auto& s : sides)
    for (bool active : {true, false})
      border.SetPicture(s.Piece, active,
                        SkinPicture(prefix + "-border-" + s.Name + (active ? "" : "-inactive") + ".png"));
}

TECFormButton* AddButton(TECFormDesigner& d, TECButtonStyle style, int left, int top, int width, int height,
                         const std::string& picture) {
  TECFormButton* b = d.Buttons().Add();
  b->SetStyle(style);
  b->SetRightAlign(true);
  b->SetLeft(left);
  b->SetTop(top);
  b->SetWidth(width);
  b->SetHeight(height);
  b->SetPicture(SkinPicture(picture));
  return b;
}

void SetTitleSize(TECFormDesigner& d, int points) {
  canvas::TFont font = d.CaptionSetting().Font();
  font.SetSize(points);
  d.CaptionSetting().SetFont(font);
}

}  // namespace

void SkinMainFrame(TECFormDesigner& d) {
  SkinPieces(d, "main", 22);
  TECFormCaption& caption = d.CaptionSetting();
  caption.SetIconVisible(true);
  caption.SetIconLeft(3);
  caption.SetIconTop(3);
  SetTitleSize(d, 9);
  AddButton(d, bsClose, 4, 4, 16, 14, "main-close.png");
  // Restore takes the maximise button's place; one of them shows at a time.
  AddButton(d, bsMaximized, 22, 4, 16, 14, "main-maximize.png");
  AddButton(d, bsNormal, 22, 4, 16, 14, "main-restore.png");
  AddButton(d, bsMinimized, 40, 4, 16, 14, "main-minimize.png");
}

void SkinTipsFrame(TECFormDesigner& d) {
  SkinPieces(d, "tips", 18);
  d.CaptionSetting().SetTextLeft(8);
  AddButton(d, bsClose, 3, 3, 14, 12, "tips-close.png");
  AddButton(d, bsCustom, 19, 3, 14, 12, "tips-forward.png");
  AddButton(d, bsCustom, 35, 3, 14, 12, "tips-back.png");
}

void SkinAboutFrame(TECFormDesigner& d) {
  SkinPieces(d, "main", 22);
  d.CaptionSetting().SetTextLeft(10);
  SetTitleSize(d, 9);
  AddButton(d, bsClose, 4, 4, 16, 14, "main-close.png");
}
