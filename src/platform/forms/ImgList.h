#pragma once
// Image lists: images of one size (tool and menu pictures, button glyphs),
// usually loaded from one PNG strip of images side by side. Each image can
// be drawn as it is, greyed out for a disabled item (as desktops draw them:
// a lightened grey copy), or as a one-colour
// silhouette of its opaque pixels. Clients that show the images register a
// change link and hear of every change.

#include <string>
#include <vector>

#include "platform/canvas/Bitmap.h"
#include "platform/forms/Component.h"

namespace forms {

class TCustomImageList;

class TChangeLink : public TObject {
public:
  ~TChangeLink() override;
  TCustomImageList* Sender() const { return FSender; }
  TNotifyEvent OnChange;

private:
  friend class TCustomImageList;
  TCustomImageList* FSender = nullptr;
};

class TCustomImageList : public TComponent {
public:
  explicit TCustomImageList(TComponent* owner) : TComponent(owner) {}
  ~TCustomImageList() override;

  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  // A new size drops every image.
  void SetSize(int width, int height);
  int Count() const { return int(FImages.size()); }

  // Cuts a picture into images of Width from the left (Height rows from the
  // top; a rest narrower than Width is dropped); returns the index of the
  // first image added.
  int AddStrip(const canvas::TBitmap& strip);
  // The same from a PNG or JPEG file (EInvalidGraphic, EFOpenError).
  int LoadStripFromFile(const std::string& fileName);
  void Delete(int index);
  void Clear();
  // Raises EListError outside 0 .. Count - 1.
  const canvas::TBitmap& Image(int index) const;

  // Draws image Index at (X, Y); disabled, its DisabledImage. Nothing for an
  // index outside the list.
  void Draw(canvas::TCanvas& canvas, int x, int y, int index, bool enabled = true) const;
  // Image Index desaturated and lightened half way to white (EListError
  // outside the list).
  canvas::TBitmap DisabledImage(int index) const;
  // Every pixel of the image that is at least half opaque, in Color.
  void DrawSilhouette(canvas::TCanvas& canvas, int x, int y, int index, canvas::TColor color) const;

  void RegisterChanges(TChangeLink* link);
  void UnRegisterChanges(TChangeLink* link);
  TNotifyEvent OnChange;

private:
  void Changed();
  int FWidth = 16, FHeight = 16;
  std::vector<canvas::TBitmap> FImages;
  std::vector<TChangeLink*> FLinks;
};

class TImageList : public TCustomImageList {
public:
  using TCustomImageList::TCustomImageList;
};

}  // namespace forms
