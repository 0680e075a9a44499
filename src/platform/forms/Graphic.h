#pragma once
// Pictures of the class library: the graphic base class that every picture
// format derives from, and its events. A graphic draws itself stretched into
// a rectangle of a canvas, knows its size, palette and transparency, and is
// read from and written to streams.

#include <functional>
#include <string>
#include <vector>

#include "base/Streams.h"
#include "platform/canvas/Canvas.h"
#include "platform/canvas/Dib.h"

namespace forms {

using canvas::EInvalidGraphic;
// An operation a picture cannot do (a size change, a format error while decoding).
class EInvalidGraphicOperation : public Exception { using Exception::Exception; };

enum TProgressStage { psStarting, psRunning, psEnding };
using TProgressEvent =
    std::function<void(TObject* Sender, TProgressStage Stage, int PercentDone, const std::string& Msg)>;

// A palette as the graphic reports it; empty when the picture has none.
using TPaletteEntries = std::vector<canvas::TRgbQuad>;

class TGraphic : public TObject {
public:
  virtual const char* ClassName() const = 0;
  virtual void Draw(canvas::TCanvas& canvas, const canvas::TRect& rect) = 0;
  virtual int GetWidth() = 0;
  virtual int GetHeight() = 0;
  virtual bool GetEmpty() = 0;
  virtual void SetWidth(int width) = 0;
  virtual void SetHeight(int height) = 0;
  virtual TPaletteEntries GetPalette() { return {}; }
  virtual bool GetTransparent() { return FTransparent; }
  virtual void SetTransparent(bool value);
  virtual void LoadFromStream(TStream& stream) = 0;
  virtual void SaveToStream(TStream& stream) = 0;
  // Copies Source (nullptr: nothing) into this graphic; a source of a class
  // this one cannot take is asked to AssignTo, and then EAssignError.
  virtual void Assign(TGraphic* source);
  virtual void AssignTo(TGraphic* dest);
  // The same class and the same saved bytes.
  virtual bool Equals(TGraphic* other);
  // The program's clipboard (see Clipboard.h): the format written or read.
  virtual void LoadFromClipboardFormat(unsigned format);
  virtual void SaveToClipboardFormat(unsigned& format);

  void LoadFromFile(const std::string& fileName);
  void SaveToFile(const std::string& fileName);

  TNotifyEvent OnChange;
  TProgressEvent OnProgress;
  void Changed() {
    if (OnChange) OnChange(this);
  }
  void Progress(TObject* sender, TProgressStage stage, int percent, const std::string& msg) {
    if (OnProgress) OnProgress(sender, stage, percent, msg);
  }

protected:
  bool FTransparent = false;
};

}  // namespace forms
