#pragma once
// GIF pictures: the image (a graphic of the class library holding the frames
// of one GIF file), its frames, the shared header and frame data items and
// the extension blocks; and the reader that fills them. Frames keep their
// LZW data as read and decode it into a bitmap when it is first needed.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/StringList.h"
#include "platform/forms/BitmapGraphic.h"

namespace gif {

using canvas::TColor;
// The colour value "none" of the GIF classes, and the one that stands for
// the bitmap's bottom-left pixel.
constexpr TColor kGIFNone = 0x1FFFFFFF;
constexpr TColor kGIFBottomLeft = 0x20000000;

struct TGIFColorTable {
  std::int32_t Count = 0;
  std::uint8_t Colors[256][3] = {};  // red, green, blue
  TColor Color(int index) const { return canvas::RGB(Colors[index][0], Colors[index][1], Colors[index][2]); }
};

enum TExtensionKind : std::uint8_t { ekGraphicControl, ekPlainText, ekApplication, ekComment };

class TExtension : public TObject {
public:
  std::uint8_t Kind = ekComment;
  std::unique_ptr<TStringList> SubBlocks;
  std::vector<std::uint8_t> BlockHeader;
  void Assign(const TExtension& source);
};
using TExtensionList = std::vector<std::unique_ptr<TExtension>>;

class TGIFsData {
public:
  TStringList Comments;
  std::uint8_t AspectRatio = 0, ColorBits = 0, ColorResolution = 0;
  TGIFColorTable ColorTable;
};

class TGIFsItem {
public:
  TMemoryStream EncodedData;
  std::int32_t Width = 0, Height = 0;
  std::uint8_t Packed = 0, ColorBits = 0;
  TGIFColorTable ColorTable;
};

class TGIFsImage;

class TGIFsFrame : public TObject {
public:
  explicit TGIFsFrame(TGIFsImage* image);
  TGIFsImage* Image;
  std::shared_ptr<TGIFsItem> Data = std::make_shared<TGIFsItem>();
  std::unique_ptr<TExtensionList> Extensions;
  std::int32_t Left = 0, Top = 0;
  bool Interlaced = false, Corrupt = false, HasLocalColorTable = false;
  TColor TransparentColor = kGIFNone;
  // The palette entry behind TransparentColor (-1 for none): pixels of that
  // entry are clear, other entries of the same colour stay opaque.
  int TransparentIndex = -1;
  std::uint16_t Delay = 0;
  std::uint8_t Disposal = 0;

  // The decoded bitmap, built on first use and kept.
  forms::TBitmap& GetBitmap();
  bool HasBitmap() const { return FBitmap != nullptr; }
  void SetBitmap(std::unique_ptr<forms::TBitmap> bitmap) { FBitmap = std::move(bitmap); }
  int Width();
  int Height();
  bool Empty() const;
  void Assign(TGIFsFrame* source);
  void Assign(TGIFsImage* source);
  void Assign(forms::TGraphic* source);
  void AssignTo(forms::TGraphic* dest);
  // The frame's comment lines (a comment extension made when asked for).
  TStringList& Comments();
  void Draw(canvas::TCanvas& canvas, const canvas::TRect& rect, bool transparent);

private:
  std::unique_ptr<forms::TBitmap> FBitmap;
  void Clear();
  void Decode();
};

class TGIFsImage : public forms::TGraphic {
public:
  TGIFsImage();
  ~TGIFsImage() override;
  const char* ClassName() const override { return "TGIFsImage"; }

  std::shared_ptr<TGIFsData> Header;
  std::uint8_t Version = 0;
  std::vector<std::unique_ptr<TGIFsFrame>> Frames;
  std::int32_t CurrentFrame = -1;
  std::uint16_t ScreenWidth = 0, ScreenHeight = 0;
  TColor BackgroundColor = kGIFNone;
  bool Looping = false;
  std::uint16_t LoopCount = 1;

  void AssignTo(forms::TGraphic* dest) override;
  void Assign(forms::TGraphic* source) override;
  void Assign(TGIFsFrame* source);
  void Draw(canvas::TCanvas& canvas, const canvas::TRect& rect) override;
  bool Equals(forms::TGraphic* other) override;
  bool GetEmpty() override;
  int GetHeight() override;
  int GetWidth() override;
  forms::TPaletteEntries GetPalette() override;
  bool GetTransparent() override;
  void SetHeight(int) override;
  void SetWidth(int) override;
  // Form data: a 32-bit byte count, then the GIF bytes.
  void ReadData(TStream& stream);
  void WriteData(TStream& stream);
  void LoadFromStream(TStream& stream) override;
  void SaveToStream(TStream& stream) override;
  void LoadFromClipboardFormat(unsigned format) override;
  void SaveToClipboardFormat(unsigned& format) override;
  virtual int AddFrame(forms::TGraphic* graphic);

  // Back to no frames with a new header (the first step of every read).
  void Reset();
  // ScreenWidth and ScreenHeight from the frames' places and sizes.
  void UpdateScreenSize();
};

// Whether a frame with damaged data is kept (marked Corrupt) instead of
// failing the read.
extern bool TolerateCorruptData;

// Raises EInvalidGraphicOperation with one of the texts below.
enum TGIFMessage {
  gmNotImplemented, gmSizeChange, gmNoData, gmUnknownExtension, gmColorCount, gmCodeSize, gmCorrupt,
  gmEncoding, gmUnknownVersion
};
[[noreturn]] void GIFError(TGIFMessage message, int arg = 0);

// Reads Size bytes of Source into Image (see the reader for the decisions).
void ReadGIFStream(TGIFsImage& image, std::int64_t size, TStream& source, bool decodeFirst);
// The extension blocks from Label on up to the next image or the end;
// Label is left at the next block's label.
std::unique_ptr<TExtensionList> ReadGIFExtension(TGIFsImage& image, TStream& stream, std::uint8_t& label);
std::unique_ptr<TExtension> ReadGIFExtensionBlock(TStream& stream);

struct TLZWTarget {
  int Width = 0, Height = 0, BitsPerPixel = 8, ColorBits = 8;
  bool Interlaced = false;
};
// Decodes one frame's LZW data (code size byte and sub-blocks) into the
// bottom-up Pixels; returns whether the data was corrupt.
bool DecodeGIFLZW(TStream& encoded, const TLZWTarget& target, std::uint8_t* pixels, bool tolerate,
                  const forms::TProgressEvent& progress, TObject* sender);

// Writes the image as a GIF 87a or 89a stream: frames set from a bitmap are
// encoded first, frames read from a file keep their data. The bytes are
// assembled in memory, so a write that raises leaves Target untouched. With
// WithSize the byte count comes first as a 32-bit value (form data).
void WriteGIFStream(TGIFsImage& image, TStream& target, bool withSize);
// Compresses the bottom-up pixels of a 1-, 4- or 8-bit bitmap (Info's
// Width, Height, BitsPerPixel and Interlaced) into a minimum-code-size byte
// and data sub-blocks ending with the zero-length block.
void EncodeGIFLZW(TStream& target, const TLZWTarget& info, const std::uint8_t* pixels,
                  const forms::TProgressEvent& progress, TObject* sender);
// A BMP file image of Bitmap at TargetBits (1, 4, 8 or 24 bits per pixel;
// others raise "Not Implemented") in a new stream positioned at 0. Modes of
// the 8-bit reduction: 0 the most used colours, 1 median cut, 2 a 7 x 8 x 4
// colour cube, 3 a 6 x 6 x 6 cube, 4 three colour ramps, 5 greys.
std::unique_ptr<TMemoryStream> ReduceGIFColors(forms::TBitmap& bitmap, int targetBits, int mode);

// The "GIF Image" clipboard format and the "gif" picture format (code 257).
void RegisterGIFImage();
unsigned GIFClipboardFormat();

}  // namespace gif
