#pragma once
// A file input that carries the descriptive tags of its clip, one object of
// each tag kind, made and freed with it.

#include "media/audio/AuInput.h"
#include "media/audio/tags/APEv2Tags.h"
#include "media/audio/tags/Id3v1Tags.h"
#include "media/audio/tags/Id3v2Tags.h"

class TAuTaggedFileIn : public TAuFileIn {
public:
  TId3v1Tags& Id3v1Tags() { return FId3v1Tags; }
  TId3v2Tags& Id3v2Tags() { return FId3v2Tags; }
  TAPEv2Tags& APEv2Tags() { return FAPEv2Tags; }

private:
  TId3v1Tags FId3v1Tags;
  TId3v2Tags FId3v2Tags;
  TAPEv2Tags FAPEv2Tags;
};
