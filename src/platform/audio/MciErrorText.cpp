#include <map>

#include "platform/audio/Mci.h"

namespace audio {

bool MciGetErrorString(MCIERROR code, std::string& text) {
  static const std::map<MCIERROR, const char*> texts = {
      {0, "The command was carried out."},
      {MCIERR_INVALID_DEVICE_NAME, "No device type or open element has this name or alias."},
      {MCIERR_UNRECOGNIZED_KEYWORD, "The command holds a word the device does not know."},
      {MCIERR_UNRECOGNIZED_COMMAND, "The device does not know this command."},
      {MCIERR_HARDWARE, "The input device stopped delivering sound; the take keeps what was recorded until then."},
      {MCIERR_MISSING_COMMAND_STRING, "The command string is empty."},
      {MCIERR_BAD_INTEGER, "A value that must be a whole number is not one."},
      {MCIERR_MISSING_PARAMETER, "The command lacks a value it needs."},
      {MCIERR_UNSUPPORTED_FUNCTION, "The device cannot carry out this command."},
      {MCIERR_FILE_NOT_FOUND, "The file cannot be found."},
      {MCIERR_DEVICE_NOT_READY, "The device is not open."},
      {MCIERR_OUTOFRANGE, "A value is outside the range the device supports."},
      {MCIERR_FILE_NOT_SAVED, "The file was not saved: its folder cannot be written or the name is a folder."},
      {MCIERR_DEVICE_TYPE_REQUIRED, "The command must name a device type."},
      {MCIERR_DUPLICATE_ALIAS, "This alias is already in use; choose another one."},
      {MCIERR_MISSING_DEVICE_NAME, "The command must name a device or an alias."},
      {MCIERR_BAD_TIME_FORMAT, "The device does not support this time format."},
      {MCIERR_NO_CLOSING_QUOTE, "A quoted text has no closing quote."},
      {MCIERR_DUPLICATE_FLAGS, "A word is given twice in the command."},
      {MCIERR_INVALID_FILE, "The file is not a wave file the device can read."},
      {MCIERR_NEW_REQUIRES_ALIAS, "A new device element must be opened with an alias."},
      {MCIERR_NONAPPLICABLE_FUNCTION, "The command cannot be carried out while the device is recording."},
      {MCIERR_FILENAME_REQUIRED, "The command must name a file."},
      {MCIERR_WAVE_NOINPUTCHOSEN, "No input device is chosen for recording."},
      {MCIERR_FILE_WRITE, "The recording could not be written: the disk may be full or not writable."},
      {MCIERR_WAVE_NOT_RECORDING, "The device is not recording, so there is nothing to stop."},
      {MCIERR_WAVE_EMPTY, "Nothing has been recorded, so there is nothing to save."},
  };
  auto it = texts.find(code);
  text = it == texts.end() ? "" : it->second;
  return it != texts.end();
}

}  // namespace audio
