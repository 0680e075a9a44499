#include "score/model/MediaServices.h"

#include <vector>

#include "base/Streams.h"
#include "platform/canvas/Canvas.h"

namespace {

class TNullAudioOutput : public TKVAudioOutput {
public:
  TKVAudioInput* Input() const override { return FInput; }
  void SetInput(TKVAudioInput* Input) override { FInput = Input; }

private:
  TKVAudioInput* FInput = nullptr;
};

// Keeps a stored object's bytes (header included) unchanged.
class TStoredOleContainer : public TKVOleContainer {
public:
  void LoadFromStream(TStream& Stream) override {
    uint8_t header[12];
    Stream.ReadBuffer(header, sizeof header);
    uint32_t size = uint32_t(header[8]) | uint32_t(header[9]) << 8 | uint32_t(header[10]) << 16 |
                    uint32_t(header[11]) << 24;
    FBytes.assign(header, header + sizeof header);
    std::vector<uint8_t> storage = Stream.ReadBytes(size);  // raises when the stream is shorter
    FBytes.insert(FBytes.end(), storage.begin(), storage.end());
  }
  void Assign(const TKVOleContainer& Source) override {
    if (const auto* source = dynamic_cast<const TStoredOleContainer*>(&Source)) FBytes = source->FBytes;
  }
  void AdjustBounds() override {}
  void UpdateObject() override {}
  int32_t Width() const override { return 0; }
  int32_t Height() const override { return 0; }
  // A one-pixel grey frame of the rectangle with both diagonals.
  void Draw(canvas::TCanvas& Canvas, const canvas::TRect& Rect) override {
    if (Rect.Width() <= 0 || Rect.Height() <= 0) return;
    Canvas.Pen = {canvas::clGray, 1, canvas::psSolid, canvas::pmCopy};
    Canvas.Brush.Style = canvas::bsClear;
    Canvas.Rectangle(Rect);
    const int right = Rect.Right - 1, bottom = Rect.Bottom - 1;
    Canvas.MoveTo(Rect.Left, Rect.Top);
    Canvas.LineTo(right, bottom);
    Canvas.SetPixel(right, bottom, canvas::clGray);
    Canvas.MoveTo(Rect.Left, bottom);
    Canvas.LineTo(right, Rect.Top);
    Canvas.SetPixel(right, Rect.Top, canvas::clGray);
  }

private:
  std::vector<uint8_t> FBytes;
};

std::unique_ptr<TKVMediaServices>& Installed() {
  static std::unique_ptr<TKVMediaServices> services = std::make_unique<TKVNullMediaServices>();
  return services;
}

}  // namespace

void TKVNullMediaServices::LoadPicture(TKVPicture& Picture, uint16_t Type, TStream& Stream, uint32_t Length) {
  if (Type < TKVPicture::gtBitmap || Type > TKVPicture::gtMetafile) {
    Picture.Clear();
    return;
  }
  Picture.SetGraphic(Type, Stream.ReadBytes(Length));  // raises when the stream is shorter
}

std::unique_ptr<TKVAudioInput> TKVNullMediaServices::CreateAudioInput(uint8_t) { return nullptr; }

std::unique_ptr<TKVAudioOutput> TKVNullMediaServices::CreateAudioOutput() {
  return std::make_unique<TNullAudioOutput>();
}

std::unique_ptr<TKVOleContainer> TKVNullMediaServices::CreateOleContainer() {
  return std::make_unique<TStoredOleContainer>();
}

void SetMediaServices(std::unique_ptr<TKVMediaServices> Services) {
  Installed() = Services ? std::move(Services) : std::make_unique<TKVNullMediaServices>();
}

TKVMediaServices& MediaServices() { return *Installed(); }
