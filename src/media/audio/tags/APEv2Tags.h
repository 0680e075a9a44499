#pragma once
// The APEv2 field set: 25 names, texts in UTF-16 or single bytes. It has no
// file reading or writing of its own.

#include "media/audio/tags/AuTags.h"

class TAPEv2Tags : public TAuTags {
public:
  TAPEv2Tags();

  std::u16string Artist() const { return AsWideString("Artist"); }
  std::u16string Composer() const { return AsWideString("Composer"); }
  std::u16string Album() const { return AsWideString("Album"); }
  std::u16string DebutAlbum() const { return AsWideString("Debut album"); }
  std::u16string Publisher() const { return AsWideString("Publisher"); }
  std::u16string Conductor() const { return AsWideString("Conductor"); }
  std::u16string Copyright() const { return AsWideString("Copyright"); }
  std::u16string Language() const { return AsWideString("Language"); }
  std::u16string Genre() const { return AsWideString("Genre"); }
  std::u16string RecordLocation() const { return AsWideString("Record Location"); }
  std::u16string File_() const { return AsWideString("File"); }
  std::u16string Related() const { return AsWideString("Related"); }
  std::u16string Abstract() const { return AsWideString("Abstract"); }
  std::u16string Bibliography() const { return AsWideString("Bibliography"); }
  std::u16string Title() const { return AsWideString("Title"); }
  std::u16string SubTitle() const { return AsWideString("Subtitle"); }
  std::u16string Comment() const { return AsWideString("Comment"); }
  std::string ISBN() const { return AsString("ISBN"); }
  std::string ISRC() const { return AsString("ISRC"); }
  std::string BarCode() const { return AsString("EAN/UPC"); }
  std::string LabelCode() const { return AsString("LC"); }
  std::string Catalog() const { return AsString("Catalog"); }
  std::string Year() const { return AsString("Year"); }
  std::string RecordDate() const { return AsString("Record Date"); }
  std::string Track() const { return AsString("Track"); }

  void SetArtist(const std::u16string& v) { SetValue("Artist", v); }
  void SetComposer(const std::u16string& v) { SetValue("Composer", v); }
  void SetAlbum(const std::u16string& v) { SetValue("Album", v); }
  void SetDebutAlbum(const std::u16string& v) { SetValue("Debut album", v); }
  void SetPublisher(const std::u16string& v) { SetValue("Publisher", v); }
  void SetConductor(const std::u16string& v) { SetValue("Conductor", v); }
  void SetCopyright(const std::u16string& v) { SetValue("Copyright", v); }
  void SetLanguage(const std::u16string& v) { SetValue("Language", v); }
  void SetGenre(const std::u16string& v) { SetValue("Genre", v); }
  void SetRecordLocation(const std::u16string& v) { SetValue("Record Location", v); }
  void SetFile_(const std::u16string& v) { SetValue("File", v); }
  void SetRelated(const std::u16string& v) { SetValue("Related", v); }
  void SetAbstract(const std::u16string& v) { SetValue("Abstract", v); }
  void SetBibliography(const std::u16string& v) { SetValue("Bibliography", v); }
  void SetTitle(const std::u16string& v) { SetValue("Title", v); }
  void SetSubTitle(const std::u16string& v) { SetValue("Subtitle", v); }
  void SetComment(const std::u16string& v) { SetValue("Comment", v); }
  void SetISBN(const std::string& v) { SetValue("ISBN", v); }
  void SetISRC(const std::string& v) { SetValue("ISRC", v); }
  void SetBarCode(const std::string& v) { SetValue("EAN/UPC", v); }
  void SetLabelCode(const std::string& v) { SetValue("LC", v); }
  void SetCatalog(const std::string& v) { SetValue("Catalog", v); }
  void SetYear(const std::string& v) { SetValue("Year", v); }
  void SetRecordDate(const std::string& v) { SetValue("Record Date", v); }
  void SetTrack(const std::string& v) { SetValue("Track", v); }
};
