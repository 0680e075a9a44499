#include "platform/forms/Picture.h"
#include "platform/metafile/Metafile.h"

namespace forms {

TMetafile::TMetafile() = default;
TMetafile::~TMetafile() = default;

void TMetafile::Draw(canvas::TCanvas& canvas, const canvas::TRect& rect) {
  if (FData) FData->Draw(canvas, rect);
}

int TMetafile::GetWidth() { return FWidth >= 0 ? FWidth : FData ? FData->Width() : 0; }
int TMetafile::GetHeight() { return FHeight >= 0 ? FHeight : FData ? FData->Height() : 0; }

void TMetafile::SetWidth(int width) {
  if (width == GetWidth()) return;
  FWidth = std::max(width, 0);
  Changed();
}

void TMetafile::SetHeight(int height) {
  if (height == GetHeight()) return;
  FHeight = std::max(height, 0);
  Changed();
}

void TMetafile::LoadFromStream(TStream& stream) {
  FData = std::make_shared<metafile::TMetafileData>(stream.ReadBytes(stream.Remaining()));
  FWidth = FHeight = -1;
  Changed();
}

void TMetafile::SaveToStream(TStream& stream) {
  if (FData) stream.WriteBytes(FData->Bytes());
}

void TMetafile::Assign(TGraphic* source) {
  auto* m = dynamic_cast<TMetafile*>(source);
  if (!m) return TGraphic::Assign(source);
  FData = m->FData;
  FWidth = m->FWidth, FHeight = m->FHeight;
  Changed();
}

bool TMetafile::Enhanced() const { return FData && FData->Enhanced(); }

}  // namespace forms
