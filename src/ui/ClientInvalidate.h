#pragma once
// Repainting part of a control: the control's own Invalidate repaints all of
// it, while thumbs and menu items change a few pixels at a time.

#include "platform/forms/Controls.h"

// Marks R (client coordinates, clipped to the client area) for the next
// paint of the control's window; nothing while the control is not showing.
void InvalidateClientRect(forms::TControl& control, const canvas::TRect& r);
// The same, painted at once.
void RedrawClientRect(forms::TControl& control, const canvas::TRect& r);
