#include "platform/midi/MidiOut.h"

namespace midi {

TResult GetErrorText(TResult code, std::string& text) {
  static const struct {
    TResult Code;
    const char* Text;
  } texts[] = {
      {MMSYSERR_NOERROR, "The operation completed successfully"},
      {MMSYSERR_ERROR, "An unexpected error occurred in the MIDI device"},
      {MMSYSERR_BADDEVICEID, "The MIDI device number is out of range"},
      {MMSYSERR_NOTENABLED, "The MIDI device could not be started"},
      {MMSYSERR_ALLOCATED, "The MIDI device is already in use by another output"},
      {MMSYSERR_INVALHANDLE, "The MIDI device handle is not open"},
      {MMSYSERR_NODRIVER, "No MIDI output device is installed"},
      {MMSYSERR_NOMEM, "Not enough memory for the MIDI device"},
      {MMSYSERR_NOTSUPPORTED, "The MIDI device does not support this function"},
      {MMSYSERR_BADERRNUM, "The error number has no text"},
      {MMSYSERR_INVALFLAG, "An invalid flag was passed to the MIDI device"},
      {MMSYSERR_INVALPARAM, "An invalid parameter was passed to the MIDI device"},
      {MIDIERR_STILLPLAYING, "The MIDI device is still playing a block"},
      {MIDIERR_NOTREADY, "The MIDI device is busy"},
      {MIDIERR_NODEVICE, "The MIDI port is no longer present"},
      {MIDIERR_NOSOUNDFONT, "No General MIDI SoundFont is installed for the synthesiser"},
  };
  for (const auto& entry : texts) {
    if (entry.Code == code) {
      text = entry.Text;
      return MMSYSERR_NOERROR;
    }
  }
  text.clear();
  return MMSYSERR_BADERRNUM;
}

}  // namespace midi
