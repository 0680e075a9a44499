#include "score/model/LayoutService.h"

#include "score/model/Score.h"

namespace {
TKVLayoutServiceFactory& InstalledFactory() {
  static TKVLayoutServiceFactory factory;
  return factory;
}
}  // namespace

bool TKVNullLayoutService::Reformat(int32_t) {
  FScore.SetFirstDirtyPage(-1);
  return true;
}

bool TKVNullLayoutService::FormatMeasure(int32_t, int32_t) { return false; }

int32_t TKVNullLayoutService::ReformatPageOfMeasure(int32_t) { return 0; }

void SetLayoutServiceFactory(TKVLayoutServiceFactory Factory) { InstalledFactory() = std::move(Factory); }

std::unique_ptr<TKVLayoutService> CreateLayoutService(TKVScore& Score) {
  if (InstalledFactory()) {
    if (auto service = InstalledFactory()(Score)) return service;
  }
  return std::make_unique<TKVNullLayoutService>(Score);
}
