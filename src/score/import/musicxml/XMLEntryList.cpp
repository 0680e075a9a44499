#include "score/import/musicxml/XMLEntryList.h"

#include <algorithm>
#include <memory>

// The library is built with DTD support; this makes its entity-expansion
// limits visible to us.
#ifndef XML_DTD
#define XML_DTD
#endif
#include <expat.h>

#include "base/Strings.h"
#include "score/import/ImportErrors.h"
#include "score/import/musicxml/XMLEncodings.h"

namespace {

constexpr int64_t ReadBlockSize = 64 * 1024;
// Entity expansion may at most multiply the input a hundredfold, checked as
// soon as a megabyte has been produced.
constexpr float MaxAmplification = 100.0f;
constexpr unsigned long long AmplificationThreshold = 1 << 20;

class TEntryBuilder {
public:
  explicit TEntryBuilder(const TKVXMLLimits& limits) : FLimits(limits), FParser(XML_ParserCreate(nullptr)) {
    if (!FParser) throw std::bad_alloc();
    XML_SetUserData(FParser, this);
    XML_SetXmlDeclHandler(FParser, OnXmlDecl);
    XML_SetElementHandler(FParser, OnStartElement, OnEndElement);
    XML_SetCharacterDataHandler(FParser, OnCharacterData);
    XML_SetEntityDeclHandler(FParser, OnEntityDecl);
    // No handler loads an external entity: referring to one fails the parse,
    // and the external DTD subset is never asked for.
    XML_SetExternalEntityRefHandler(FParser, OnExternalEntityRef);
    XML_SetParamEntityParsing(FParser, XML_PARAM_ENTITY_PARSING_NEVER);
    XML_SetUnknownEncodingHandler(FParser, OnUnknownEncoding, nullptr);
    XML_SetBillionLaughsAttackProtectionMaximumAmplification(FParser, MaxAmplification);
    XML_SetBillionLaughsAttackProtectionActivationThreshold(FParser, AmplificationThreshold);
  }
  ~TEntryBuilder() { XML_ParserFree(FParser); }

  TKVXMLEntryList Build(TStream& stream) {
    if (stream.Remaining() > FLimits.MaxInputSize) throw EImportError(SMusicXMLTooLarge);
    int64_t total = 0;
    bool final = false;
    while (!final) {
      void* buffer = XML_GetBuffer(FParser, int(ReadBlockSize));
      if (!buffer) throw std::bad_alloc();
      int64_t got = std::max<int64_t>(0, stream.Read(buffer, ReadBlockSize));
      total += got;
      if (total > FLimits.MaxInputSize) throw EImportError(SMusicXMLTooLarge);
      final = got == 0;
      if (XML_ParseBuffer(FParser, int(got), final) != XML_STATUS_OK) {
        if (FTooLarge) throw EImportError(SMusicXMLTooLarge);
        throw EImportError(ParseFailure(final));
      }
    }
    CheckRoot();
    return std::move(FList);
  }

private:
  static TEntryBuilder& Self(void* data) { return *static_cast<TEntryBuilder*>(data); }

  void Add(const char* name, std::string text, int32_t depth, bool isAttribute) {
    if (FList.Entries.size() >= FLimits.MaxEntries) {
      FTooLarge = true;
      XML_StopParser(FParser, XML_FALSE);
      return;
    }
    FList.Entries.push_back({name, std::move(text), depth, isAttribute});
    FList.MaxDepth = std::max(FList.MaxDepth, depth);
  }

  // Line breaks and tabs are not part of a text; spaces are.
  static void AppendText(std::string& to, const char* s, size_t length) {
    for (size_t i = 0; i < length; ++i)
      if (s[i] != '\r' && s[i] != '\n' && s[i] != '\t') to += s[i];
  }
  static std::string CleanText(const char* s) {
    std::string text;
    AppendText(text, s, std::char_traits<char>::length(s));
    return text;
  }

  static void XMLCALL OnXmlDecl(void* data, const XML_Char* version, const XML_Char* encoding,
                                int standalone) {
    TEntryBuilder& b = Self(data);
    if (!b.FList.Entries.empty()) return;
    b.Add("?xml", "", 0, false);
    if (version) b.Add("version", version, 1, true);
    if (encoding) b.Add("encoding", encoding, 1, true);
    if (standalone >= 0) b.Add("standalone", standalone ? "yes" : "no", 1, true);
  }

  // Attributes come in document order, followed by any default values that
  // the document's own DTD declares (an external DTD is never read).
  static void XMLCALL OnStartElement(void* data, const XML_Char* name, const XML_Char** atts) {
    TEntryBuilder& b = Self(data);
    int32_t depth = int32_t(b.FOpen.size()) + 1;
    b.FOpen.push_back(b.FList.Entries.size());
    b.Add(name, "", depth, false);
    for (int i = 0; atts[i] && atts[i + 1]; i += 2) b.Add(atts[i], CleanText(atts[i + 1]), depth + 1, true);
  }

  static void XMLCALL OnEndElement(void* data, const XML_Char*) { Self(data).FOpen.pop_back(); }

  static void XMLCALL OnCharacterData(void* data, const XML_Char* s, int length) {
    TEntryBuilder& b = Self(data);
    if (b.FOpen.empty() || b.FOpen.back() >= b.FList.Entries.size()) return;
    AppendText(b.FList.Entries[b.FOpen.back()].Text, s, size_t(length));
  }

  static void XMLCALL OnEntityDecl(void* data, const XML_Char*, int, const XML_Char*, int,
                                   const XML_Char*, const XML_Char*, const XML_Char*,
                                   const XML_Char*) {
    TEntryBuilder& b = Self(data);
    if (++b.FEntityDeclarations > b.FLimits.MaxEntityDeclarations) XML_StopParser(b.FParser, XML_FALSE);
  }

  static int XMLCALL OnExternalEntityRef(XML_Parser, const XML_Char*, const XML_Char*,
                                         const XML_Char*, const XML_Char*) {
    return XML_STATUS_ERROR;
  }

  static int XMLCALL OnUnknownEncoding(void*, const XML_Char* name, XML_Encoding* info) {
    if (!SingleByteEncodingMap(name, info->map)) return XML_STATUS_ERROR;
    info->data = nullptr;
    info->convert = nullptr;
    info->release = nullptr;
    return XML_STATUS_OK;
  }

  // Why the parse failed, for the user. A document whose score-partwise
  // root began is MusicXML, damaged: where the parser stopped tells the
  // user what to look at, and an error only at the end of the input (the
  // last call, which gives no bytes) is a file cut short. Before that root,
  // and for documents refused as hostile, it is no MusicXML.
  std::string ParseFailure(bool atEnd) const {
    const XML_Error code = XML_GetErrorCode(FParser);
    const bool hostile = code == XML_ERROR_ABORTED || code == XML_ERROR_EXTERNAL_ENTITY_HANDLING ||
                         code == XML_ERROR_AMPLIFICATION_LIMIT_BREACH;
    const auto& entries = FList.Entries;
    const bool partwise = std::any_of(entries.begin(), entries.end(), [](const TKVXMLEntry& e) {
      return e.Depth == 1 && !e.IsAttribute && SameText(Trim(e.Name), "score-partwise");
    });
    if (hostile || !partwise) return SNotMusicXMLFile;
    return Format(atEnd ? SMusicXMLCutShort : SMusicXMLNotWellFormed, unsigned(XML_GetCurrentLineNumber(FParser)),
                  unsigned(XML_GetCurrentColumnNumber(FParser) + 1), XML_ErrorString(code));
  }

  // A timewise document, or any other root, is not read.
  void CheckRoot() {
    auto& entries = FList.Entries;
    auto root = std::find_if(entries.begin(), entries.end(),
                             [](const TKVXMLEntry& e) { return e.Depth == 1 && !e.IsAttribute; });
    if (root == entries.end() || !SameText(Trim(root->Name), "score-partwise"))
      throw EImportError(SNotMusicXMLFile);
    FList.Root = size_t(root - entries.begin());
  }

  TKVXMLLimits FLimits;
  XML_Parser FParser;
  TKVXMLEntryList FList;
  std::vector<size_t> FOpen;  // entry indexes of the open elements
  int FEntityDeclarations = 0;
  bool FTooLarge = false;
};

}  // namespace

TKVXMLEntryList ReadXMLEntries(TStream& stream, const TKVXMLLimits& limits) {
  return TEntryBuilder(limits).Build(stream);
}
