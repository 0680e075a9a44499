#pragma once
// The passes that turn an imported score's notation into played detail:
// velocities from the dynamics in force and the notes' accents, and time
// offsets, played lengths and extra effect notes from performance marks and
// grace-note groups. The host tunes them through the score's OnGetDinamics
// and OnGetEffects events. Running them again gives the same result.

class TKVScore;
class TKVItem;

// After a MusicXML import, once the score is laid out: UpdateDynamics, then
// ApplyVelocities, then ApplyEffects.
void ApplyPerformancePasses(TKVScore& Score);

// `TKVScore.ApplyVelocities`: every note of every piece gets the velocity of
// the dynamics at its position, adjusted for its accent.
void ApplyVelocities(TKVScore& Score);
// `TKVScore.ApplyEffects`: ApplyItemEffects for every note and grace-note
// group of every piece.
void ApplyEffects(TKVScore& Score);
