#pragma once
// A progress bar: a sunken track filled from the left in the highlight
// colour by the share of Position in Min .. Max.

#include "platform/forms/Controls.h"

namespace forms {

class TProgressBar : public TWinControl {
public:
  explicit TProgressBar(TComponent* owner);

  int Min() const { return FMin; }
  int Max() const { return FMax; }
  int Position() const { return FPosition; }
  void SetMin(int v) { SetRange(v, FMax); }
  void SetMax(int v) { SetRange(FMin, v); }
  void SetRange(int min, int max);
  // Clamped to Min .. Max.
  void SetPosition(int v);

  void DefineProperties(TPropertyList& props) override;

protected:
  void Paint() override;

private:
  int FMin = 0, FMax = 100, FPosition = 0;
};

}  // namespace forms
