#pragma once
// Sets an owner's registration switch for one creation and restores it, so
// that the creator can insert the new child where it belongs.

#include <utility>

template <class T>
class TRegistrationPause {
public:
  explicit TRegistrationPause(T& owner) : FOwner(owner), FSaved(owner.RegistrationSwitch()) {
    owner.SetRegistrationSwitch(1);
  }
  ~TRegistrationPause() { FOwner.SetRegistrationSwitch(FSaved); }
  TRegistrationPause(const TRegistrationPause&) = delete;
  TRegistrationPause& operator=(const TRegistrationPause&) = delete;

private:
  T& FOwner;
  decltype(std::declval<T&>().RegistrationSwitch()) FSaved;
};
