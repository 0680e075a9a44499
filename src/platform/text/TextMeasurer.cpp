#include "platform/text/TextMeasurer.h"

#include "platform/text/FakeMeasurer.h"

namespace text {

namespace {
TTextMeasurer* gInstalled = nullptr;
}

TTextMeasurer& CurrentMeasurer() {
  static TFakeMeasurer fallback = [] {
    TFakeMeasurer measurer;
    measurer.KeepQueries = false;
    return measurer;
  }();
  return gInstalled ? *gInstalled : fallback;
}

void InstallMeasurer(TTextMeasurer* measurer) { gInstalled = measurer; }

}  // namespace text
