#pragma once
// The picture: holds one graphic of any registered format. Formats register
// a file extension with a description and, optionally, the picture format
// code that stored pictures carry (256 bitmap, 257 GIF, 258 JPEG, 259 icon,
// 260 metafile) and a clipboard format. The bitmap, JPEG, icon and metafile
// graphics are always registered.

#include <functional>
#include <memory>
#include <string>

#include "platform/forms/Graphic.h"

namespace metafile {
class TMetafileData;
}

namespace forms {

using TGraphicFactory = std::function<std::unique_ptr<TGraphic>()>;

// A graphic whose bytes decode into an ARGB picture (JPEG, icon); it keeps
// the bytes it was read from and writes them back unchanged.
class TDecodedGraphic : public TGraphic {
public:
  void Draw(canvas::TCanvas& canvas, const canvas::TRect& rect) override;
  int GetWidth() override { return FPicture.Width(); }
  int GetHeight() override { return FPicture.Height(); }
  bool GetEmpty() override { return FPicture.Empty(); }
  void SetWidth(int) override;
  void SetHeight(int) override;
  void LoadFromStream(TStream& stream) override;
  void SaveToStream(TStream& stream) override { stream.WriteBytes(FData); }
  void Assign(TGraphic* source) override;
  void AssignTo(TGraphic* dest) override;
  const canvas::TBitmap& Picture() const { return FPicture; }

protected:
  virtual canvas::TBitmap Decode(const std::vector<std::uint8_t>& data) = 0;

private:
  std::vector<std::uint8_t> FData;
  canvas::TBitmap FPicture;
};

class TJPEGImage : public TDecodedGraphic {
public:
  const char* ClassName() const override { return "TJPEGImage"; }

protected:
  canvas::TBitmap Decode(const std::vector<std::uint8_t>& data) override { return canvas::DecodeJpeg(data); }
};

class TIcon : public TDecodedGraphic {
public:
  const char* ClassName() const override { return "TIcon"; }

protected:
  canvas::TBitmap Decode(const std::vector<std::uint8_t>& data) override { return canvas::DecodeIcon(data); }
};

// A Windows or enhanced metafile: kept as the bytes it was read from (and
// written back unchanged), drawn record by record through the canvas into
// any rectangle; its size is its header's at 96 pixels per inch until set.
class TMetafile : public TGraphic {
public:
  TMetafile();
  ~TMetafile() override;
  const char* ClassName() const override { return "TMetafile"; }
  void Draw(canvas::TCanvas& canvas, const canvas::TRect& rect) override;
  int GetWidth() override;
  int GetHeight() override;
  bool GetEmpty() override { return !FData; }
  void SetWidth(int width) override;
  void SetHeight(int height) override;
  // Raises EInvalidGraphic "Metafile is not valid" for bytes that are no metafile.
  void LoadFromStream(TStream& stream) override;
  void SaveToStream(TStream& stream) override;
  void Assign(TGraphic* source) override;
  bool Enhanced() const;

private:
  std::shared_ptr<metafile::TMetafileData> FData;  // shared by copies: it never changes once read
  int FWidth = -1, FHeight = -1;                   // set sizes; -1: the header's
};

class TPicture : public TObject {
public:
  TGraphic* Graphic() const { return FGraphic.get(); }
  void SetGraphic(std::unique_ptr<TGraphic> graphic);
  int Width() const { return FGraphic ? FGraphic->GetWidth() : 0; }
  int Height() const { return FGraphic ? FGraphic->GetHeight() : 0; }

  // Picks the class by the extension, letter case aside; an extension no
  // class registered raises EInvalidGraphic, a missing file EFOpenError.
  void LoadFromFile(const std::string& fileName);
  // A graphic of the class registered for Code, read from the rest of
  // Stream; an unknown code leaves the picture empty.
  void LoadFromFormatCode(unsigned code, TStream& stream);
  void LoadFromClipboardFormat(unsigned format);
  void Assign(TPicture* source);

  static void RegisterFileFormat(const std::string& extension, const std::string& description,
                                 const char* className, TGraphicFactory factory, unsigned code = 0);
  static void RegisterClipboardFormat(unsigned format, const char* className, TGraphicFactory factory);
  static void UnregisterGraphicClass(const char* className);
  // The description registered for an extension ("" when none).
  static std::string Description(const std::string& extension);

  TNotifyEvent OnChange;

private:
  std::unique_ptr<TGraphic> FGraphic;
};

}  // namespace forms
