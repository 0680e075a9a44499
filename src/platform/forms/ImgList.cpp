#include "platform/forms/ImgList.h"

#include <algorithm>

namespace forms {

TChangeLink::~TChangeLink() {
  if (FSender) FSender->UnRegisterChanges(this);
}

TCustomImageList::~TCustomImageList() {
  for (TChangeLink* link : FLinks) link->FSender = nullptr;
}

void TCustomImageList::SetSize(int width, int height) {
  FWidth = std::max(1, width);
  FHeight = std::max(1, height);
  FImages.clear();
  Changed();
}

int TCustomImageList::AddStrip(const canvas::TBitmap& strip) {
  const int first = Count();
  for (int x = 0; x + FWidth <= strip.Width(); x += FWidth) {
    canvas::TBitmap image(FWidth, FHeight, canvas::clNone);
    std::fill_n(image.Pixels(), size_t(FWidth) * size_t(FHeight), 0u);
    for (int y = 0; y < std::min(FHeight, strip.Height()); ++y)
      std::copy_n(strip.Pixels() + size_t(y) * size_t(strip.Width()) + size_t(x), size_t(FWidth),
                  image.Pixels() + size_t(y) * size_t(FWidth));
    FImages.push_back(std::move(image));
  }
  Changed();
  return first;
}

int TCustomImageList::LoadStripFromFile(const std::string& fileName) {
  return AddStrip(canvas::TBitmap::LoadFromFile(fileName));
}

void TCustomImageList::Delete(int index) {
  Image(index);
  FImages.erase(FImages.begin() + index);
  Changed();
}

void TCustomImageList::Clear() {
  FImages.clear();
  Changed();
}

const canvas::TBitmap& TCustomImageList::Image(int index) const {
  if (index < 0 || index >= Count()) throw EListError(index);
  return FImages[size_t(index)];
}

void TCustomImageList::Draw(canvas::TCanvas& canvas, int x, int y, int index, bool enabled) const {
  if (index < 0 || index >= Count()) return;
  if (enabled) {
    canvas.Draw(x, y, FImages[size_t(index)]);
    return;
  }
  canvas.Draw(x, y, DisabledImage(index));
}

canvas::TBitmap TCustomImageList::DisabledImage(int index) const {
  canvas::TBitmap image = Image(index);
  // Each pixel becomes its grey (by luminance) brought half way to white,
  // alpha kept; in premultiplied terms "white" is the pixel's own alpha.
  for (size_t i = 0; i < size_t(image.Width()) * size_t(image.Height()); ++i) {
    const std::uint32_t p = image.Pixels()[i];
    const std::uint32_t a = p >> 24, r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
    const std::uint32_t grey = (r * 299 + g * 587 + b * 114) / 1000;
    const std::uint32_t light = grey + (a - std::min(grey, a)) / 2;
    image.Pixels()[i] = a << 24 | light << 16 | light << 8 | light;
  }
  return image;
}

void TCustomImageList::DrawSilhouette(canvas::TCanvas& canvas, int x, int y, int index, canvas::TColor color) const {
  if (index < 0 || index >= Count()) return;
  const canvas::TBitmap& image = FImages[size_t(index)];
  canvas::TBitmap mask(FWidth, FHeight);
  const std::uint32_t ink = canvas::PixelOf(canvas::ColorToRGB(color));
  for (size_t i = 0; i < size_t(FWidth) * size_t(FHeight); ++i)
    mask.Pixels()[i] = (image.Pixels()[i] >> 24) >= 128 ? ink : 0u;
  canvas.Draw(x, y, mask);
}

void TCustomImageList::RegisterChanges(TChangeLink* link) {
  if (link->FSender) link->FSender->UnRegisterChanges(link);
  link->FSender = this;
  FLinks.push_back(link);
}

void TCustomImageList::UnRegisterChanges(TChangeLink* link) {
  if (link->FSender != this) return;
  link->FSender = nullptr;
  std::erase(FLinks, link);
}

void TCustomImageList::Changed() {
  if (OnChange) OnChange(this);
  for (TChangeLink* link : std::vector<TChangeLink*>(FLinks))
    if (link->OnChange) link->OnChange(this);
}

}  // namespace forms
