#pragma once
// A picture on the page (kind 201).

#include <string>

#include "score/model/ElementBlocks.h"
#include "score/model/Item.h"
#include "score/model/MediaServices.h"

class TKVImage : public TKVItem {
public:
  explicit TKVImage(TObject* Owner);

  // Block, the picture (a copy of the source's graphic), text.
  void Assign(const TKVItem& Source) override;
  void ReadData(TStream& Stream) override;

  TKVPicture& Picture() { return FPicture; }
  const std::string& Text() const { return FText; }
  void SetText(const std::string& Value) { FText = Value; }

private:
  TKVPicture FPicture;
  std::string FText;
};
