#include "platform/metafile/Transform.h"

#include <cmath>
#include <numbers>

namespace metafile {

TXform TXform::Then(const TXform& n) const {
  return {M11 * n.M11 + M12 * n.M21, M11 * n.M12 + M12 * n.M22, M21 * n.M11 + M22 * n.M21,
          M21 * n.M12 + M22 * n.M22, Dx * n.M11 + Dy * n.M21 + n.Dx, Dx * n.M12 + Dy * n.M22 + n.Dy};
}

double TXform::Scale() const { return std::sqrt(std::fabs(M11 * M22 - M12 * M21)); }
double TXform::ScaleX() const { return std::hypot(M11, M12); }
double TXform::ScaleY() const { return std::hypot(M21, M22); }
double TXform::AngleDegrees() const { return -std::atan2(M12, M11) * 180 / std::numbers::pi; }

bool TXform::Valid() const {
  for (double v : {M11, M12, M21, M22, Dx, Dy})
    if (!std::isfinite(v) || std::fabs(v) > 1e12) return false;
  return std::fabs(M11 * M22 - M12 * M21) > 1e-12;
}

TXform TPageMapping::Xform() const {
  double sx = 1, sy = 1;
  // Millimetres per logical unit of the fixed modes; their y axis points up.
  double mm = 0;
  switch (Mode) {
    case U_MM_LOMETRIC: mm = 0.1; break;
    case U_MM_HIMETRIC: mm = 0.01; break;
    case U_MM_LOENGLISH: mm = 0.254; break;
    case U_MM_HIENGLISH: mm = 0.0254; break;
    case U_MM_TWIPS: mm = 25.4 / 1440; break;
    case U_MM_ISOTROPIC:
    case U_MM_ANISOTROPIC:
      sx = WinExtX != 0 ? VpExtX / WinExtX : 1;
      sy = WinExtY != 0 ? VpExtY / WinExtY : 1;
      if (Mode == U_MM_ISOTROPIC) {
        // The viewport shrinks along one axis so that a unit is as long on both.
        double s = std::min(std::fabs(sx), std::fabs(sy));
        sx = std::copysign(s, sx), sy = std::copysign(s, sy);
      }
      break;
    case U_MM_TEXT: break;
  }
  if (mm > 0) sx = mm * UnitsPerMmX, sy = -mm * UnitsPerMmY;
  return {sx, 0, 0, sy, VpOrgX - WinOrgX * sx, VpOrgY - WinOrgY * sy};
}

}  // namespace metafile
