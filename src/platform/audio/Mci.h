#pragma once
// The MCI wave-audio device driven by command strings, as the recorder
// sends them (keywords in any letter case, aliases compared without case):
//
//   OPEN NEW TYPE WAVEAUDIO ALIAS a      a new, empty recording element
//   SET a TIME FORMAT MS BITSPERSAMPLE n CHANNELS n ALIGNMENT n
//         SAMPLESPERSEC n BYTESPERSEC n  any of these items, all at once
//   RECORD a                             records (on) from the device chosen
//                                        for input when the element opened
//   STOP a                               stops recording (MCIERR_HARDWARE
//                                        when the input device went away
//                                        meanwhile: the take ended there)
//   SAVE a "path with blanks"            writes a PCM RIFF WAVE file
//   CLOSE a                              drops the element and what it holds
//                                        (but a take journal not saved)
//   STATUS a MODE | LENGTH               "recording"/"stopped"; milliseconds
//
// A new element records 11025 Hz, 8-bit mono until SET says otherwise; the
// time format is milliseconds (MS or MILLISECONDS). SAVE writes under a
// temporary name and renames when complete, so a failed SAVE leaves the
// file it names as it was. Every failure is a code with a text, never an
// exception. Threads: the main thread.
//
// A take journal (SetTakeJournal) keeps what an element records in a file
// of that name as it arrives (TakeJournal.h): a process that dies while
// recording leaves its take there, which RecoverTakeJournal makes a take.
// SAVE into the journal's folder renames the journal (no copy, so a full
// disk cannot stop it), and CLOSE removes it only once what it held was
// saved. A disk that fills during a take ends the take at the last frame
// written: STOP says MCIERR_FILE_WRITE, SAVE saves those frames.

#include <cstdint>
#include <string>

namespace audio {

using MCIERROR = uint32_t;
constexpr MCIERROR MCIERR_INVALID_DEVICE_NAME = 263;   // no element has this alias
constexpr MCIERROR MCIERR_UNRECOGNIZED_KEYWORD = 259;
constexpr MCIERROR MCIERR_UNRECOGNIZED_COMMAND = 261;
constexpr MCIERROR MCIERR_HARDWARE = 262;  // the input device went away during the take
constexpr MCIERROR MCIERR_MISSING_COMMAND_STRING = 267;
constexpr MCIERROR MCIERR_BAD_INTEGER = 270;
constexpr MCIERROR MCIERR_MISSING_PARAMETER = 273;
constexpr MCIERROR MCIERR_UNSUPPORTED_FUNCTION = 274;
constexpr MCIERROR MCIERR_FILE_NOT_FOUND = 275;
constexpr MCIERROR MCIERR_DEVICE_NOT_READY = 276;
constexpr MCIERROR MCIERR_OUTOFRANGE = 282;
constexpr MCIERROR MCIERR_FILE_NOT_SAVED = 286;
constexpr MCIERROR MCIERR_DEVICE_TYPE_REQUIRED = 287;
constexpr MCIERROR MCIERR_DUPLICATE_ALIAS = 289;
constexpr MCIERROR MCIERR_MISSING_DEVICE_NAME = 292;
constexpr MCIERROR MCIERR_BAD_TIME_FORMAT = 293;
constexpr MCIERROR MCIERR_NO_CLOSING_QUOTE = 294;
constexpr MCIERROR MCIERR_DUPLICATE_FLAGS = 295;
constexpr MCIERROR MCIERR_INVALID_FILE = 296;
constexpr MCIERROR MCIERR_NEW_REQUIRES_ALIAS = 299;
constexpr MCIERROR MCIERR_NONAPPLICABLE_FUNCTION = 302;  // not while recording
constexpr MCIERROR MCIERR_FILENAME_REQUIRED = 304;
constexpr MCIERROR MCIERR_WAVE_NOINPUTCHOSEN = 325;  // no device chosen for input
constexpr MCIERROR MCIERR_FILE_WRITE = 349;              // a full disk, among others
// The wave-audio driver's own.
constexpr MCIERROR MCIERR_WAVE_NOT_RECORDING = 512;  // STOP with no recording running
constexpr MCIERROR MCIERR_WAVE_EMPTY = 513;          // SAVE with nothing recorded

// The journal of the elements opened from now on; empty (the default): a
// temporary file of no name, which nothing outlives.
void SetTakeJournal(const std::string& path);
// Runs Command; a query's answer goes to ReturnString (may be null).
MCIERROR MciSendString(const std::string& command, std::string* returnString = nullptr);
// The text of Code; false (and an empty text) for a code without one.
bool MciGetErrorString(MCIERROR code, std::string& text);

}  // namespace audio
