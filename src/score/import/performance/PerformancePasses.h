#pragma once
// The passes that turn an imported score's notation into played detail:
// velocities from the dynamics in force and the notes' accents, and time
// offsets, played lengths and extra effect notes from performance marks and
// grace-note groups. The host tunes them through the score's OnGetDinamics
// and OnGetEffects events. Running them again gives the same result.

#include <cstdint>

class TKVScore;

// After a MusicXML import, once the score is laid out: UpdateDynamics, then
// ApplyVelocities, then ApplyEffects; when that changed any timing, the
// score is laid out again so that the play order holds it.
void ApplyPerformancePasses(TKVScore& Score);

// `TKVScore.ApplyVelocities`: every note of every piece gets the velocity of
// the dynamics at its position, adjusted for its accent.
void ApplyVelocities(TKVScore& Score);
// Velocity for a note whose join byte is Flags: with an accent bit set and
// an OnGetDinamics handler, Velocity moved by the handler's amount for item
// type 30 (a signed 16-bit number), 0 when that reaches 0 or below, at most
// 127; otherwise Velocity.
int32_t AccentVelocity(TKVScore& Score, uint8_t Flags, int32_t Velocity);
// `TKVScore.ApplyEffects`: ApplyItemEffects for every note and grace-note
// group of every piece: every note of a part first, then its groups. True
// when any time offset, played length or effect note changed.
bool ApplyEffects(TKVScore& Score);
