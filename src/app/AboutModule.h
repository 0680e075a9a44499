#pragma once
// The about box: the program's name, description and version, its maker,
// the support and sales addresses and the maker's other products. It holds
// the mouse capture while it is up, so that a click anywhere reaches it:
// with AllowClose, a click on the box, its shape or its development,
// version or products line, or any key, closes it; a mail address closes
// it and opens a new mail to that address; a product opens its web page
// (the label's hint). Texts come from section FAboutModule of the
// language file.

#include <memory>

#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Label.h"

class TECFormDesigner;
class TECFormLanguage;
class TFormsPublishedForm;

class TFAboutModule : public forms::TForm {
public:
  explicit TFAboutModule(forms::TComponent* owner);
  ~TFAboutModule() override;

  bool AllowClose = false;

  TECFormDesigner* FDAbout;
  forms::TShape* SAbout;
  forms::TLabel *LProgram, *LDescription, *LVersion, *LDevelopment, *LSupport, *LSupportMail, *LSales, *LSalesMail,
      *LProducts, *LProduct1, *LProduct2, *LProduct3, *LClose;
  std::unique_ptr<TFormsPublishedForm> Published;
  std::unique_ptr<TECFormLanguage> FLAboutModule;

protected:
  void WindowMessage(window::TMessage& Msg) override;

private:
  void CloseBox();
  void TakeCapture();
};
