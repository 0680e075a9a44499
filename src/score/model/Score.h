#pragma once
// The score document: root of the score model. It owns the page settings,
// the pieces, the score-level items, the tables read from a score file and
// the layout records, keeps the list of views that show it, publishes the
// score-wide settings, fires the model's events and brackets batches of
// changes so that the layout runs once per batch.
//
// A property writer does nothing when the value does not change; otherwise
// it stores the value and then, as the property needs, lays the score out
// from page 0 (Reformat), invalidates the views and fires Changed.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/ByteBlock.h"
#include "base/Object.h"
#include "base/StringList.h"
#include "platform/text/TextMeasurer.h"
#include "score/model/LayoutService.h"
#include "score/model/Page.h"
#include "score/model/ScoreEvents.h"
#include "score/model/ScoreRecords.h"
#include "score/model/ScoreSettings.h"

class TKVItem;
class TKVPiece;
class TKVPart;
class TKVStaff;
class TKVVoice;
class TKVMeasure;
class TKVColumn;
class TKVMark;
class TKVScoreView;
class TStream;
struct TKVVoiceKey;

enum TKVAddState : uint8_t { asOverwrite, asInsert };
enum TKVFrameOrientation : uint8_t { foTop, foLeft, foBottom, foRight };
enum TKVTabulatureStyle : uint8_t { tsSpecial, tsStandard };
enum TKVAutoFillMeasure : uint8_t { fmNone, fmFirst, fmAll, fmAuto };

// Options of the MIDI import (their effects are the importer's).
struct TKVImportOptions {
  uint16_t ImportQuantum = 32;
  uint8_t ImportSplitKey = 60;
  uint8_t ImportMaxVoices = 2;
  uint8_t ImportSingleStaff = 0;
  uint8_t ImportTriplets = 0;
  uint8_t ImportClefChanges = 0;
  uint8_t ImportPartLabels = 0;
  uint8_t ImportLayoutFlag = 0;
};

// Copied into the first clef and key-signature marks of a new part and into
// the rests the notation rules fill in.
struct TKVNewPartDefaults {
  int32_t Value32 = 0;
  uint8_t Value8 = 0;
  int32_t Third = 100;  // its low byte is what is copied
};

// Painting settings of a score. Widths are eighths of a unit; 0 takes the
// painter's default.
struct TKVScoreDrawing {
  uint16_t StaffLineWidth = 0;
  uint16_t StemWidth = 0;
  uint16_t BeamWidth = 0;
  uint16_t TupletLineWidth = 0;
  uint8_t PrintMeasureNumbers = 1;  // 0: measure numbers only on screen
  // Trailing systems, or trailing measure lines and contents, are painted in
  // the output styles too.
  uint8_t KeepTrailingSystems = 0;
  uint8_t KeepTrailingMeasures = 0;
  // User head shapes, addressed by head shape - 5.
  struct THeadShape {
    std::string FontName;
    uint8_t SizePercent = 100;
    uint8_t Char = 0;
  };
  std::vector<THeadShape> HeadShapes;
};

class TKVScore : public TObject {
public:
  static constexpr uint16_t FormatRevisionCurrent = 0x0404;
  // Glyphs of the music font whose widths the layout reads.
  static constexpr char MusicGlyphs[] = "@ABCDEF*45MNOPQR";  // at size 144
  static constexpr char SmallMusicGlyphs[] = "*45MNOPQR";    // at size 112
  static constexpr int MusicGlyphCount = sizeof(MusicGlyphs) - 1;
  static constexpr int SmallMusicGlyphCount = sizeof(SmallMusicGlyphs) - 1;

  explicit TKVScore(TObject* Owner = nullptr);
  ~TKVScore() override;

  // Component: owner, name and the loading state.
  TObject* Owner() const { return FOwner; }
  const std::string& Name() const { return FName; }
  void SetName(const std::string& Name) { FName = Name; }
  bool Loading() const { return FLoading; }
  void SetLoading(bool Loading) { FLoading = Loading; }

  // Copies the settings, page, pieces, named records, user data and score
  // items of another score (see Assign); any other source raises EAssignError.
  virtual void Assign(const TObject& Source);
  // Fires OnChanged.
  virtual void Changed();

  // ---- settings block ----
  TKVScoreSettings& Settings() { return FSettings; }
  const TKVScoreSettings& Settings() const { return FSettings; }
  uint16_t SettingsBlockSize() const { return ScoreBlock::Size; }

  int32_t Scale() const { return FSettings.Scale(); }
  bool Optimization() const { return FSettings.Optimization(); }
  int32_t NoteInterval() const { return FSettings.NoteInterval(); }
  int32_t StemLength() const { return FSettings.StemLength(); }
  TKVViewStyle ViewStyle() const { return FSettings.ViewStyle(); }
  uint8_t Align() const { return FSettings.Align(); }
  uint8_t AutoJoin() const { return FSettings.AutoJoin(); }
  uint8_t Flags() const { return FSettings.Flags(); }
  void SetScale(int32_t Value);
  void SetOptimization(bool Value);
  void SetNoteInterval(int32_t Value);
  void SetStemLength(int32_t Value);
  void SetViewStyle(TKVViewStyle Value);
  void SetAlign(uint8_t Value);
  void SetAutoJoin(uint8_t Value);

  // ---- other settings ----
  bool AutoPages() const { return FAutoPages; }
  bool AutoEffect() const { return FAutoEffect; }
  bool AutoVelocity() const { return FAutoVelocity; }
  bool AutoLyric() const { return FAutoLyric; }
  TKVAutoFillMeasure AutoFillMeasure() const { return FAutoFillMeasure; }
  bool Pages() const { return FPages; }
  TKVAddState AddState() const { return FAddState; }
  int32_t MaxUndo() const { return FMaxUndo; }
  TKVFrameOrientation FrameOrientation() const { return FFrameOrientation; }
  TKVTabulatureStyle TabulatureStyle() const { return FTabulatureStyle; }
  const std::string& NoteNames() const { return FNoteNames; }
  const std::string& FlazholetName() const { return FFlazholetName; }
  const std::string& InsertName() const { return FInsertName; }
  const std::string& OverwriteName() const { return FOverwriteName; }
  void SetAutoPages(bool Value) { FAutoPages = Value; }
  void SetAutoEffect(bool Value) { FAutoEffect = Value; }
  void SetAutoVelocity(bool Value) { FAutoVelocity = Value; }
  void SetAutoLyric(bool Value);
  void SetAutoFillMeasure(TKVAutoFillMeasure Value) { FAutoFillMeasure = Value; }
  void SetPages(bool Value);
  void SetAddState(TKVAddState Value);
  // Only stored: the undo history is not part of the engine.
  void SetMaxUndo(int32_t Value) { FMaxUndo = Value; }
  void SetFrameOrientation(TKVFrameOrientation Value);
  void SetTabulatureStyle(TKVTabulatureStyle Value);
  void SetNoteNames(const std::string& Value);
  void SetFlazholetName(const std::string& Value);
  void SetInsertName(const std::string& Value);
  void SetOverwriteName(const std::string& Value);

  // Two layout option bytes kept beside the settings block (defaults 1, 0).
  uint8_t LayoutOption(int Index) const { return FLayoutOptions.at(size_t(Index)); }
  void SetLayoutOption(int Index, uint8_t Value) { FLayoutOptions.at(size_t(Index)) = Value; }

  // 0x0404 for a new score and after every full layout; a file's revision
  // while it loads.
  uint16_t FormatRevision() const { return FFormatRevision; }
  void SetFormatRevision(uint16_t Value) { FFormatRevision = Value; }

  TKVPage& Page() { return *FPage; }
  const TKVPage& Page() const { return *FPage; }
  // Page.Assign(Value).
  void SetPage(const TKVPage& Value);

  TKVNewPartDefaults NewPartDefaults;
  TKVImportOptions ImportOptions;
  // How the score is painted; kept in no file, so a loaded score paints with
  // the defaults.
  TKVScoreDrawing Drawing;
  // Set from ImportOptions.ImportLayoutFlag by a MIDI import; the page
  // composer reads it.
  uint8_t ImportedLayoutFlag = 0;

  // ---- fonts ----
  TStringList& MusicFonts() { return FMusicFonts; }
  const std::string& MusicFontName() const { return FMusicFontName; }
  // Stored only; MeasureMusicFont takes the new font's metrics.
  void SetMusicFontName(const std::string& Value) { FMusicFontName = Value; }
  TKVTextFonts& TextFonts() { return FTextFonts; }
  const TKVTextFonts& TextFonts() const { return FTextFonts; }

  // Measures MusicFontName at 96 dpi: its text metrics and the glyph widths
  // at size 144, and some glyph widths at size 112 (runs at creation).
  void MeasureMusicFont();
  const text::TTextMetric& MusicFontMetric() const { return FMusicMetric; }
  // Width at size 144 of one of MusicGlyphs, or at size 112 of one of
  // SmallMusicGlyphs; 0 for any other character.
  int32_t MusicGlyphWidth(char Glyph) const;
  int32_t SmallMusicGlyphWidth(char Glyph) const;

  // ---- tables and texts of a score file ----
  std::string& FileText(int Index) { return FFileTexts.at(size_t(Index)); }  // three texts
  TStringList& FileTexts() { return FFileTextList; }
  TStringList& NamedRecords() { return FNamedRecords; }  // owns TKVNamedRecord objects
  std::vector<std::unique_ptr<TKVDrumEntry>>& DrumEntries() { return FDrumEntries; }
  TStringList& UserSymbols() { return FUserSymbols; }  // owns the symbols
  // The drum map: by notated key, one entry per set; by sounding key.
  std::array<std::vector<TKVDrumEntry*>, 128> DrumMapByNotatedKey{};
  std::array<TKVDrumEntry*, 128> DrumMapBySoundingKey{};
  bool DrumMapFrozen = false;  // suppresses the rebuild of the drum map
  // Opaque user data of UserDataSize bytes; nil when there is none.
  TByteBlock* UserData() const { return FUserData.get(); }
  void SetUserData(std::unique_ptr<TByteBlock> Data) { FUserData = std::move(Data); }
  uint16_t UserDataSize() const { return FSettings.UserDataSize(); }

  // ---- score files ----
  // Reads a file into the score by its last extension (any letter case):
  // the MIDI extensions and ".xml" go to the importer registered for them
  // (ScoreImporters.h), every other extension to LoadFromStream. Runs in one
  // update bracket after clearing pieces, items and named records; a missing
  // file changes nothing. An importer that reads the whole file first does
  // so before the clearing, so that a file it refuses changes nothing. The
  // reader's failures pass to the caller once the bracket is closed.
  void LoadFromFile(const std::string& FileName);
  // Reads a score file of the own format from the stream's position,
  // replacing pieces and score items; raises "This is not Ostinel file",
  // "Error reading pieces", "Error reading score items" or the stream's read
  // error, keeping what was read. Ends with EndUpdate and BuildDrumMap.
  void LoadFromStream(TStream& Stream);
  // The sections of a score file; each adds to its list.
  void ReadNamedRecords(TStream& Stream);
  void ReadDrumEntries(TStream& Stream);
  void ReadUserSymbols(TStream& Stream);
  // Maps the enabled drum entries by notated key (one entry per set) and by
  // sounding key; nothing while DrumMapFrozen.
  void BuildDrumMap();

  // ---- events ----
  TNotifyEvent OnChanged;
  TKVOnChangeItem OnAddItem;
  TKVOnChangeItem OnDeleteItem;
  TKVOnChangeItem OnItemChanged;
  TKVOnChangeItem OnItemMoved;  // never fired by the engine
  TKVGetChordTextEvent GetChordText;
  TKVGetChordLevelEvent GetChordLevel;  // never fired by the engine
  TNotifyEvent OnUndoChanged;           // never fired by the engine
  TNotifyEvent OnRecalculate;
  TKVOnGetDinamicsEvent OnGetDinamics;
  TKVOnGetDinamicsEvent OnGetEffects;
  TKVOnGetTermsEvent OnGetTerms;
  TNotifyEvent OnActiveWindowChanged;
  TKVOnGetInstrument OnGetInstrument;
  TKVOnGetVSTHandle OnGetVSTHandle;
  TKVOnParceLink OnParceLink;
  TNotifyEvent PageSizeChanged;  // never fired by the engine

  // ---- update bracket and layout ----
  bool Importing() const { return FImporting; }
  void SetImporting(bool Value) { FImporting = Value; }
  // The text of an error that an import got over (the score keeps what was
  // made), for the host to show as a warning; LoadFromFile empties it first.
  std::string ImportWarning;
  // What a MIDI import had to change of the file's notes, for the host to
  // word its warning; LoadFromFile empties it first.
  struct TKVMidiImportNotice {
    uint32_t Merged = 0;          // notes that fell on the same key and beat as another
    uint32_t HighVelocities = 0;  // data bytes of channel messages read without their top bit
    uint32_t EndedByTrack = 0;    // notes that nothing ended: each lasts to the end of its track
    bool NoNotes = false;         // the piece holds no note at all
    bool Any() const { return Merged || HighVelocities || EndedByTrack || NoNotes; }
  } MidiImportNotice;
  int32_t UpdateCount() const { return FUpdateCount; }
  // Lowest page that needs layout while updating; -1 = none. The layout's
  // page composer sets it back to -1 at the end of every run.
  int32_t FirstDirtyPage() const { return FFirstDirtyPage; }
  void SetFirstDirtyPage(int32_t Page) { FFirstDirtyPage = Page; }
  void BeginUpdate() { ++FUpdateCount; }
  // Closes a bracket; the outermost one lays out from the first dirty page
  // and replays the views' deferred invalidations.
  void EndUpdate();
  // Nothing while loading; inside a bracket only lowers the first dirty page;
  // else lays out from FromPage (negative counts as 0), fires OnRecalculate
  // and stamps the format revision.
  void Reformat(int32_t FromPage);
  // Lays out one measure column; False for a piece index out of range.
  bool FormatMeasure(int32_t PieceIndex, int32_t ColumnIndex);
  // Lays out from the page that holds measure number Measure.
  void ReformatFromMeasure(int32_t Measure);
  TKVLayoutService& Layout() { return *FLayout; }
  TKVLayoutRecords* LayoutRecords() const { return FLayoutRecords.get(); }
  void SetLayoutRecords(std::unique_ptr<TKVLayoutRecords> Records) { FLayoutRecords = std::move(Records); }

  // ---- pieces and score items ----
  // While set, pieces and items created with the score as owner do not enter
  // the lists (their creator inserts them).
  bool RegistrationSwitch() const { return FRegistrationSwitch; }
  void SetRegistrationSwitch(bool Value) { FRegistrationSwitch = Value; }
  int32_t GetPieceCount() const { return int32_t(FPieces.size()); }
  TKVPiece* GetPiece(int32_t Index) const;  // nil out of range
  int32_t GetItemCount() const { return int32_t(FItems.size()); }
  TKVItem* GetItem(int32_t Index) const;  // nil out of range
  // Called by a new piece: appends it, numbers it, fires OnAddItem.
  void AddPiece(TKVPiece* Piece);
  // Called by a piece being freed: fires OnDeleteItem, removes, renumbers.
  void RemovePiece(TKVPiece* Piece);
  // A new piece; lays out and invalidates the views.
  TKVPiece* NewPiece();
  void AddItem(TKVItem* Item);
  // At Index when 0 <= Index <= count, else at the end.
  void InsertItem(int32_t Index, TKVItem* Item);
  void RemoveItem(TKVItem* Item);
  void ClearPieces();
  void ClearItems();

  // ---- views ----
  void AddWindow(TKVScoreView* View);
  void RemoveWindow(TKVScoreView* View);
  int32_t GetWindowCount() const { return int32_t(FWindows.size()); }
  TKVScoreView* GetWindow(int32_t Index) const;
  int32_t ActiveWindowIndex() const { return FActiveWindowIndex; }
  void SetActiveWindowIndex(int32_t Index) { FActiveWindowIndex = Index; }
  // The active view, its index clamped into the list first; nil without views.
  TKVScoreView* GetActiveWindow();
  void SetActiveWindow(TKVScoreView* View);
  // ---- navigation to the active view's cursor ----
  // Each is nil without a view or when an index is out of range.
  TKVPiece* GetActivePiece();
  TKVPart* GetActivePart();
  TKVStaff* GetActiveStaff();
  TKVVoice* GetActiveVoice();
  // The active part's measure Index (the cursor's when Index < 0), made
  // with the measures before it when the part has fewer; nil without view,
  // piece or part, and for an index at or past MaxMeasuresOnDemand.
  TKVMeasure* GetActiveMeasure(int32_t Index = -1);
  // The same for the active piece's columns; without a view an Index >= 0
  // takes piece 0.
  TKVColumn* GetActiveColumn(int32_t Index = -1);
  // Measures and columns are made on demand only below this index (the
  // most a score file may list), so a cursor index from a damaged file
  // cannot make the score allocate without bound.
  static constexpr int32_t MaxMeasuresOnDemand = 10000;
  // The largest staff range byte over every staff of every part of every
  // piece; 255 when there is no piece or it is 0.
  int32_t GetMaxStaffRange() const;
  // The active piece's GetRangeLength; 0 without an active piece.
  int32_t GetRangeLength(int32_t First, int32_t Last);

  // ---- editing ----
  // Index in Measure's items at which a new item of time Time (ticks from
  // the measure start) and voice key OrderKey goes, searching from
  // StartIndex; with First set it goes before items at the same time.
  int32_t FindInsertIndex(const TKVMeasure* Measure, const TKVVoiceKey& OrderKey, bool First, int32_t StartIndex,
                          int32_t Time) const;
  // A new part in the active view's cursor piece with channel, measure 0
  // (key signature and clef), staff and voice, made inside one update
  // bracket; the view's cursor moves to it. Nil without a view.
  TKVPart* NewPart();
  // The same in Piece without any view (loading and importing): nothing a
  // file holds is lost for want of a view.
  TKVPart* NewPart(TKVPiece* Piece);
  // A page mark (such as a page number) on the active view's page, owned by
  // the score (vsComposition) or the active part (vsPart) and kept in page
  // order. Nothing without a view.
  TKVItem* AddPageMark(bool Numbered, uint8_t A2, uint8_t A3, int16_t X, int16_t Y, const std::string& FontName,
                       uint8_t A7, uint8_t A8, int32_t A9, int16_t A10);
  // Asks the host for the plug-in handle of every part (0 for a part
  // without a plug-in name).
  void UpdateVSTHandles();
  // The page count asked for: the score's (vsComposition) or the active
  // part's (vsPart).
  int32_t GetUserPages();
  void SetUserPages(int32_t Value);
  // Spacing of the systems on the active view's page: staff distance by
  // staff line (1), left indent (2) and right indent (3) by system, of the
  // cursor piece (vsComposition) or the active part (vsPart). Index < 0
  // takes the cursor's line or system; Replace sets, else adds (modulo
  // 65536). Nothing without a view, and for an Index above 65534.
  void SetSystemSpacing1(int32_t Value, int32_t Index, bool Replace, int32_t Ignored = 0);
  void SetSystemSpacing2(int32_t Value, int32_t Index, bool Replace, int32_t Ignored = 0);
  void SetSystemSpacing3(int32_t Value, int32_t Index, bool Replace, int32_t Ignored = 0);

  // ---- broadcasts ----
  void UpdateDynamics();
  void UpdateScrollBars();
  void InvalidateViews();
  void InvalidateRulers();
  void InvalidateModeIndicator();

private:
  void SetDefaults();
  void RenumberPieces();
  void LayoutChanged(bool changed);
  // The active voice for the view's cursor announcement.
  TObject* ActiveVoiceObject();
  // NewPart's work once the piece is known; moves View's cursor when given.
  TKVPart* MakePart(TKVPiece* Piece, TKVScoreView* View);
  // The spacing array Array (0..2) of the cursor piece or active part.
  std::vector<uint16_t>* ActiveSpacingArray(int Array);
  void SetSystemSpacing(int Array, int32_t Value, int32_t Index, bool Replace);
  void ReadScoreFile(TStream& Stream, bool& CurrentGeneration);
  void RepairAfterLoad();
  void AssignScore(const TKVScore& Source);
  void CopyNamedRecords(const TKVScore& Source);
  void CopyUserData(const TKVScore& Source);

  TObject* FOwner;
  std::string FName;
  bool FLoading = false;

  TKVScoreSettings FSettings;
  std::array<std::string, 3> FFileTexts;
  TStringList FFileTextList;
  TStringList FNamedRecords{true};
  std::vector<std::unique_ptr<TKVDrumEntry>> FDrumEntries;
  TStringList FUserSymbols{true};
  std::unique_ptr<TByteBlock> FUserData;
  bool FAutoPages = false, FAutoEffect = false, FAutoVelocity = true, FAutoLyric = true;
  TKVAutoFillMeasure FAutoFillMeasure = fmFirst;
  std::array<uint8_t, 2> FLayoutOptions{1, 0};
  bool FPages = true;
  uint16_t FFormatRevision = FormatRevisionCurrent;
  std::unique_ptr<TKVPage> FPage;
  std::vector<TKVPiece*> FPieces;
  std::vector<TKVItem*> FItems;
  TKVAddState FAddState = asOverwrite;
  std::vector<TKVScoreView*> FWindows;
  int32_t FMaxUndo = 16;
  int32_t FActiveWindowIndex = -1;
  TStringList FMusicFonts;
  std::string FMusicFontName;
  TKVTextFonts FTextFonts;
  std::string FNoteNames, FFlazholetName;
  TKVFrameOrientation FFrameOrientation = foTop;
  TKVTabulatureStyle FTabulatureStyle = tsSpecial;
  std::string FInsertName, FOverwriteName;
  text::TTextMetric FMusicMetric;
  std::array<int32_t, MusicGlyphCount> FMusicGlyphWidths{};
  std::array<int32_t, SmallMusicGlyphCount> FSmallMusicGlyphWidths{};
  bool FImporting = false;
  int32_t FUpdateCount = 0;
  int32_t FFirstDirtyPage = -1;
  std::unique_ptr<TKVLayoutService> FLayout;
  std::unique_ptr<TKVLayoutRecords> FLayoutRecords;
  bool FRegistrationSwitch = false;
};
