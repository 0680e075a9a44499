#include "score/import/PerformancePasses.h"

#include "score/model/Score.h"

void ApplyPerformancePasses(TKVScore& Score) {
  Score.UpdateDynamics();
  ApplyVelocities(Score);
  ApplyEffects(Score);
}

void ApplyVelocities(TKVScore&) {}
void ApplyEffects(TKVScore&) {}
