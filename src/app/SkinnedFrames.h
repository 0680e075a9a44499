#pragma once
// The frames of the program's windows as its skin draws them (pictures in
// "skin/" beside the program; a missing one leaves its piece empty): the
// main window's with its icon, close, minimise and maximise or restore
// buttons; the tips window's, narrower, with close, forward and back; the
// about box's with close alone. Each leaves the designer inactive.

class TECFormDesigner;
class TECFormButton;

void SkinMainFrame(TECFormDesigner& Designer);
// Buttons 0, 1 and 2 are close, forward and back.
void SkinTipsFrame(TECFormDesigner& Designer);
void SkinAboutFrame(TECFormDesigner& Designer);
