#pragma once
// The common root of every engine object: the Sender of every event and the
// type that owned lists hold.

#include <functional>
#include <string>

class TObject {
public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;
};

// The object's class as the compiler names it, namespaces included
// ("forms::TOleContainer"), for messages and stored class names.
std::string ClassNameOf(const TObject& Object);

using TNotifyEvent = std::function<void(TObject* Sender)>;

// Deletes an owned object and clears the pointer, like the engine's FreeAndNil.
template <class T>
void FreeAndNil(T*& p) {
  T* tmp = p;
  p = nullptr;
  delete tmp;
}
