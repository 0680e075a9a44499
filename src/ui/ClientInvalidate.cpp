#include "ui/ClientInvalidate.h"

#include <algorithm>

#include "platform/forms/Forms.h"

void InvalidateClientRect(forms::TControl& control, const canvas::TRect& r) {
  forms::TCustomForm* form = control.ParentForm();
  if (!form || !control.Showing()) return;
  const canvas::TRect client = control.ClientRect();
  const canvas::TRect clipped{std::max(r.Left, client.Left), std::max(r.Top, client.Top),
                              std::min(r.Right, client.Right), std::min(r.Bottom, client.Bottom)};
  if (clipped.Left >= clipped.Right || clipped.Top >= clipped.Bottom) return;
  const canvas::TPoint o = control.WindowOrigin();
  form->InvalidateWindowRect({clipped.Left + o.X, clipped.Top + o.Y, clipped.Right + o.X, clipped.Bottom + o.Y});
}

void RedrawClientRect(forms::TControl& control, const canvas::TRect& r) {
  InvalidateClientRect(control, r);
  if (forms::TCustomForm* form = control.ParentForm(); form && control.Showing()) form->Window().Update();
}
