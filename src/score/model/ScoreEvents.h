#pragma once
// Types of the score's events: notifications to its host and the questions
// through which a host tunes the imports and the layout.

#include <cstdint>
#include <functional>
#include <string>

#include "base/Object.h"
#include "score/model/ScoreTypes.h"
#include "score/model/StreamStrings.h"

class TByteBlock;
class TKVPart;
class TKVChordEntryList;  // the text entries of a chord symbol

// Flags: the chord symbol's data block; Text: its text entries to fill.
using TKVGetChordTextEvent = std::function<void(TObject* Sender, TByteBlock* Flags, TKVChordEntryList* Text)>;
using TKVGetChordLevelEvent = std::function<int32_t(TObject* Sender)>;
// A level or an amount for an item type and its sub-kind.
using TKVOnGetDinamicsEvent = std::function<int32_t(TObject* Sender, int32_t ItemType, int32_t Kind)>;
// Recognises a term in Text; Value1, Value2 and Data are in/out.
using TKVOnGetTermsEvent = std::function<int32_t(TObject* Sender, int32_t Kind, TKVWideList* Text, int32_t& Value1,
                                                 int32_t& Value2, std::string& Data)>;
using TKVOnGetInstrument = std::function<void(TObject* Sender, TKVPart* Part)>;
// The plug-in handle for a part's plug-in name.
using TKVOnGetVSTHandle = std::function<int32_t(TObject* Sender, const std::string& Name)>;
// The text to show for a link.
using TKVOnParceLink = std::function<std::string(TObject* Sender, const std::string& Link)>;
