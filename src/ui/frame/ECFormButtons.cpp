#include "ui/frame/ECFormButtons.h"

TECFormButton::TECFormButton(forms::TCollection* collection) : TCollectionItem(collection) {
  if (auto* buttons = dynamic_cast<TECFormButtons*>(collection)) OnButtonChange = buttons->OnButtonChange();
}

void TECFormButton::SetPicture(const canvas::TBitmap& value) {
  FPicture = value;
  if (OnButtonChange) OnButtonChange(this, false);
}

TECFormButtons::TECFormButtons(forms::TPersistent* owner)
    : TCollection([](forms::TCollection* c) { return new TECFormButton(c); }, owner) {}

void TECFormButtons::SetOnButtonChange(TECButtonChange change) {
  FOnButtonChange = std::move(change);
  for (int i = 0; i < Count(); ++i) Items(i)->OnButtonChange = FOnButtonChange;
}

void TECFormButtons::Assign(const TECFormButtons& source) {
  Clear();
  for (int i = 0; i < source.Count(); ++i) {
    const TECFormButton& from = *source.Items(i);
    TECFormButton& to = *Add();
    to.SetLeft(from.Left());
    to.SetTop(from.Top());
    to.SetWidth(from.Width());
    to.SetHeight(from.Height());
    to.SetRightAlign(from.RightAlign());
    to.SetBottomAlign(from.BottomAlign());
    to.SetStyle(from.Style());
    to.SetPicture(from.Picture());
    to.SetTransparent(from.Transparent());
    to.SetVisible(from.Visible());
    to.OnClick = from.OnClick;
    to.OnShow = from.OnShow;
  }
}
