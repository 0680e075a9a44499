#pragma once
// The program's own message box for questions, errors and notices: a picture at the
// left, the text wrapped into lines by its length, and up to five buttons
// whose captions come from the UI language file (section FMessageBlock).
// It lives for one modal showing.

#include <memory>
#include <string>
#include <vector>

#include "platform/forms/Buttons.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Forms.h"
#include "platform/forms/ImgList.h"
#include "platform/forms/Strings.h"

class TECFormLanguage;
class TFormsPublishedForm;

// Button flags, added from right to left in this order: extra (64, does not
// close), Cancel (4), Ok (2), No (32), Yes (16).
enum : unsigned { mbExtra = 64, mbCancel = 4, mbOk = 2, mbNo = 32, mbYes = 16 };
// Picture kinds: 0 the warning, 1 and 2 the question, 3 the information
// of a notice.
enum : int { mpWarning = 0, mpQuestion = 1, mpInformation = 3 };

// The lines of the message: read-only text without wrapping of its own.
class TMessageText : public forms::TGraphicControl {
public:
  explicit TMessageText(forms::TComponent* owner);
  forms::TStrings& Lines() { return FLines; }
  void DefineProperties(forms::TPropertyList& props) override;

protected:
  void Paint() override;

private:
  forms::TStrings FLines;
};

class TFMessageBlock : public forms::TForm {
public:
  explicit TFMessageBlock(forms::TComponent* owner);
  ~TFMessageBlock() override;

  // Breaks Text into MMessageBlock's lines, measured in its font: 200
  // pixels wide for fewer than 51 characters, 300 for fewer than 101, else
  // 400; a line ends after the last blank, ",", ";" or ")" that fits, or
  // else after the first one beyond, or else holds the rest.
  void WrapText(const std::string& text);
  // Sizes the text, the pictures and the box to the lines.
  void LayoutText();
  void ChooseIcon(int kind);
  void AddButton(unsigned flag);

  forms::TImage* IQuestion;
  forms::TImage* IWarning;
  forms::TImage* IInformation;
  TMessageText* MMessageBlock;
  forms::TImageList* ILMessageBlock;
  std::vector<forms::TBitBtn*> Buttons;  // in the order added (right to left)

private:
  std::unique_ptr<TFormsPublishedForm> FPublished;
  std::unique_ptr<TECFormLanguage> FLMessageBlock;
  int FNextLeft = 0;  // left of the next button
};

// Shows the box modally and returns its modal result (mrCancel on Escape).
int ShowMessageBlock(const std::string& caption, const std::string& text, int kind, unsigned buttons);
