#pragma once
// What the picture, sound and embedded-object elements use of the media
// support: a picture loaded from stored bytes, audio inputs that decode an
// element's audio data with an output that plays them, and a container for
// an embedded object. The media subsystem installs its services at start;
// until then every element gets the null services below, which keep the
// stored bytes unchanged (so nothing read is lost or altered) but decode and
// play nothing.

#include <cstdint>
#include <functional>
#include <memory>

#include "base/Object.h"
#include "platform/canvas/Graphics.h"
#include "score/model/PageBackground.h"

class TStream;
namespace canvas {
class TCanvas;
}

enum class TKVAudioInputKind : uint8_t { Wave, WindowsMedia };

// Decodes an element's audio data.
class TKVAudioInput {
public:
  virtual ~TKVAudioInput() = default;
  virtual TKVAudioInputKind Kind() const = 0;
  // The element's audio data (not owned; it outlives the input).
  virtual void SetStream(TStream* Stream) = 0;
  // Length in whole seconds.
  virtual int32_t GetTotalTime() = 0;
};

// Plays an audio input.
class TKVAudioOutput {
public:
  virtual ~TKVAudioOutput() = default;
  virtual TKVAudioInput* Input() const = 0;
  // Stops a running output, sets the input (not owned), runs again.
  virtual void SetInput(TKVAudioInput* Input) = 0;
};

// An embedded object.
class TKVOleContainer {
public:
  virtual ~TKVOleContainer() = default;
  // Reads a stored object: "BDOC", a 32-bit aspect, a 32-bit size, then the
  // storage bytes.
  virtual void LoadFromStream(TStream& Stream) = 0;
  virtual void Assign(const TKVOleContainer& Source) = 0;
  virtual void AdjustBounds() = 0;
  virtual void UpdateObject() = 0;
  // In pixels.
  virtual int32_t Width() const = 0;
  virtual int32_t Height() const = 0;
  // Draws the object's picture into Rect (the renderer's call for an
  // embedded object on a page).
  virtual void Draw(canvas::TCanvas& Canvas, const canvas::TRect& Rect) = 0;
  TNotifyEvent OnActivate;       // the object was opened for editing
  TNotifyEvent OnClose;          // its editing window closed
  TNotifyEvent OnObjectChanged;  // its content changed
};

class TKVMediaServices {
public:
  virtual ~TKVMediaServices() = default;
  // Loads a stored picture of Type (TKVPicture's type codes) from the next
  // Length bytes of Stream; a type it does not know leaves Picture empty
  // and reads nothing.
  virtual void LoadPicture(TKVPicture& Picture, uint16_t Type, TStream& Stream, uint32_t Length) = 0;
  // The input for an audio format (0 WAVE, 1 and 2 Windows Media audio);
  // nil when it cannot decode that format.
  virtual std::unique_ptr<TKVAudioInput> CreateAudioInput(uint8_t Format) = 0;
  virtual std::unique_ptr<TKVAudioOutput> CreateAudioOutput() = 0;
  virtual std::unique_ptr<TKVOleContainer> CreateOleContainer() = 0;
};

// The services before the media subsystem exists: graphics and embedded
// objects keep their stored bytes as they are (a picture of a known type
// keeps its encoded bytes for the renderer; an embedded object draws as a
// grey frame with both diagonals); no audio input exists (an audio clip
// reports 0 seconds); the output only remembers its input.
class TKVNullMediaServices : public TKVMediaServices {
public:
  void LoadPicture(TKVPicture& Picture, uint16_t Type, TStream& Stream, uint32_t Length) override;
  std::unique_ptr<TKVAudioInput> CreateAudioInput(uint8_t Format) override;
  std::unique_ptr<TKVAudioOutput> CreateAudioOutput() override;
  std::unique_ptr<TKVOleContainer> CreateOleContainer() override;
};

// Installs the services (nil restores the null services). Set at start,
// before elements exist (not thread-safe).
void SetMediaServices(std::unique_ptr<TKVMediaServices> Services);
TKVMediaServices& MediaServices();
