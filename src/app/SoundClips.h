#pragma once
// The clip player the opened file gives its view: the play thread starts a
// sound element's clip through the element's own input and output, at a
// whole second of the clip, and stops it without waiting.

#include "player/ClipPlayer.h"

TKVClipPlayer& SoundClipPlayer();
