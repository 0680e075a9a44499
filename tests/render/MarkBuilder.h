#pragma once
// Marks on the builder page of NotationBuilder.h (10-pixel spaces, the
// staff's top line at y 100 px = 800 units), and the recorded numbers the
// mark tests compare.

#include "render/NotationBuilder.h"

struct TMarkPage : TNotationPage {
  using TNotationPage::TNotationPage;
  // A mark of Kind with its display record at Bounds (layout units).
  TKVMark& Mark(uint8_t Kind, uint8_t Variant, TKVLayoutRect Bounds, uint8_t Flags = 0) {
    TKVMark& mark = n.NewMark(Kind, Variant);
    mark.SetFlags(Flags);
    Record = &n.Add(&mark, Bounds);
    return mark;
  }
  // The arguments of every recorded call of one name.
  std::vector<std::vector<double>> Args(const std::string& Name) const {
    std::vector<std::vector<double>> args;
    for (const canvas::TCanvasCall* call : Named(Name)) args.push_back(call->Args);
    return args;
  }
  // A second staff on the same system, its top line at Top (units).
  TKVStaffLineRecord& SecondLine(int32_t Top, bool Shown = true) {
    TKVStaffLineRecord& line = p.b.Line(p.b.Staff(), Top);
    line.Flags = Shown ? 1 : 0;
    return line;
  }
  TKVDisplayItem* Record = nullptr;
};

using Rows = std::vector<std::vector<double>>;

// 8-bit text as the recording canvas keeps it (byte by byte, as char).
inline std::u16string Wide(const std::string& S) { return std::u16string(S.begin(), S.end()); }
inline std::u16string Code(int C) { return C ? Wide(std::string(1, char(C))) : u""; }
