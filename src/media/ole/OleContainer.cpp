#include "media/ole/OleContainer.h"

#include "base/Log.h"
#include "base/Streams.h"
#include "base/Strings.h"
#include "platform/forms/ControlPaint.h"

namespace {

constexpr int kHimetricPerInch = 2540, kScreenPixelsPerInch = 96;

}  // namespace

TOleContainer::TOleContainer(forms::TComponent* owner) : forms::TCustomControl(owner) {
  SetBounds(0, 0, 121, 121);
  SetTabStop(true);
}

TOleContainer::~TOleContainer() = default;

void TOleContainer::CheckObject() const {
  if (!FHasObject) throw EOleError("Operation not allowed on an empty OLE container");
}

void TOleContainer::LoadFromStream(TStream& Stream) {
  ReleaseObject();
  std::uint32_t aspect = ole::DVASPECT_CONTENT;
  FObject.LoadStorage(ReadOleStream(Stream, FOldStreamFormat, aspect));
  FHasObject = true;
  FDrawAspect = aspect;
  FModified = false;
  Invalidate();
}

void TOleContainer::SaveToStream(TStream& Stream) {
  CheckObject();
  if (FModified) SaveObject();
  TMemoryStream out;
  if (FOldStreamFormat) {
    const canvas::TRect b = BoundsRect();
    out.WriteI16(std::int16_t(b.Left)), out.WriteI16(std::int16_t(b.Top));
    out.WriteI16(std::int16_t(b.Right)), out.WriteI16(std::int16_t(b.Bottom));
  } else {
    out.WriteU32(kOleStreamSignature);
    out.WriteU32(FDrawAspect);
  }
  // The storage is never changed here, so its copy (CopyOnSave) and the
  // storage itself are the same bytes.
  const std::vector<std::uint8_t>& storage = FObject.StorageBytes();
  out.WriteU32(std::uint32_t(storage.size()));
  out.WriteBytes(storage);
  Stream.WriteBuffer(out.Bytes().data(), out.GetSize());
}

void TOleContainer::SaveObject() {
  if (FHasObject) FModified = false;
}

void TOleContainer::ReleaseObject() {
  if (!FHasObject) return;
  FObject.LoadStorage({});
  FHasObject = false;
  FVerbs.clear();
  FVerbsListed = false;
  Invalidate();
}

void TOleContainer::UpdateVerbs() {
  // The object's verbs come from its server; without one the list is empty.
  FVerbs.clear();
  FVerbsListed = true;
}

const std::vector<TObjectVerb>& TOleContainer::ObjectVerbs() {
  if (!FVerbsListed) UpdateVerbs();
  return FVerbs;
}

void TOleContainer::RunVerb(int Verb) {
  CheckObject();
  if (Verb > 0) {
    const std::vector<TObjectVerb>& verbs = ObjectVerbs();
    if (std::size_t(Verb) >= verbs.size()) throw EOleError("Invalid object verb");
    Verb = verbs[std::size_t(Verb)].Verb;
  } else if (Verb == ovPrimary) {
    Verb = 0;
  }
  if (std::uint32_t result = FObject.DoVerb(Verb)) throw EOleError(Format("OLE error %.8x", result));
  // Not reached while no object server exists here: every verb fails above.
  if (OnActivate) OnActivate(this);
}

void TOleContainer::ActivateByUser(int verb) {
  if (!FHasObject) return;
  try {
    RunVerb(verb);
  } catch (const EOleError& e) {
    Log("Embedded object not opened: " + e.Message());
  }
}

void TOleContainer::UpdateObject() {
  CheckObject();
  if (OnChanged) OnChanged(this);
}

canvas::TSize TOleContainer::ExtentPixels() const {
  const canvas::TSize e = FObject.ExtentHimetric(FDrawAspect);
  return {std::max(0, MulDiv(e.Cx, kScreenPixelsPerInch, kHimetricPerInch)),
          std::max(0, MulDiv(e.Cy, kScreenPixelsPerInch, kHimetricPerInch))};
}

int TOleContainer::BorderWidth() const {
  if (FBorderStyle == forms::bsNone) return 0;
  return FCtl3D ? 2 : 1;
}

void TOleContainer::AdjustBounds() {
  if (IsLoading() || FSizeMode != smAutoSize || !FHasObject) return;
  const canvas::TSize e = ExtentPixels();
  const int border = 2 * BorderWidth();
  SetBounds(Left(), Top(), e.Cx + border, e.Cy + border);
}

// A change of size mode or border: the size follows the object again.
template <class T>
void TOleContainer::ChangeFrame(T& field, T value) {
  if (value == field) return;
  field = value;
  AdjustBounds();
  Invalidate();
}

void TOleContainer::SetSizeMode(TSizeMode v) { ChangeFrame(FSizeMode, v); }
void TOleContainer::SetBorderStyle(TBorderStyle v) { ChangeFrame(FBorderStyle, v); }
void TOleContainer::SetCtl3D(bool v) { ChangeFrame(FCtl3D, v); }

void TOleContainer::SetIconic(bool v) {
  CheckObject();
  const std::uint32_t aspect = v ? ole::DVASPECT_ICON : ole::DVASPECT_CONTENT;
  if (aspect == FDrawAspect) return;
  FDrawAspect = aspect;
  Invalidate();
}

void TOleContainer::Assign(const TKVOleContainer& Source) {
  const auto* source = dynamic_cast<const TOleContainer*>(&Source);
  if (!source || source == this) return;
  if (!source->FHasObject) return ReleaseObject();
  ReleaseObject();
  FObject.LoadStorage(source->FObject.StorageBytes());
  FHasObject = true;
  FDrawAspect = source->FDrawAspect;
  Invalidate();
}

void TOleContainer::Draw(canvas::TCanvas& Canvas, const canvas::TRect& Rect) {
  if (FHasObject)
    FObject.Draw(Canvas, Rect, ole::DVASPECT_CONTENT);
  else
    ole::DrawPlaceholder(Canvas, Rect, "");
}

void TOleContainer::Paint() {
  canvas::TCanvas& c = Canvas();
  const canvas::TRect client = ClientRect();
  const int border = BorderWidth();
  if (border == 2) {
    forms::DrawEdge(c, client, false);
  } else if (border == 1) {
    c.Brush = {canvas::clWindowFrame, canvas::bsSolid};
    c.FrameRect(client);
  }
  const canvas::TRect area{client.Left + border, client.Top + border, client.Right - border, client.Bottom - border};
  forms::FillSolid(c, area, Color());
  if (FHasObject) {
    canvas::TSize e = ExtentPixels();
    int w = e.Cx, h = e.Cy;
    const int W = area.Width(), H = area.Height();
    if (FDrawAspect == ole::DVASPECT_CONTENT && FSizeMode == smScale && w > 0 && h > 0) {
      if (std::int64_t(W) * h <= std::int64_t(H) * w)
        h = MulDiv(h, W, w), w = W;
      else
        w = MulDiv(w, H, h), h = H;
    }
    // The object's rectangle within the area: centred, at its corner, or all of it.
    canvas::TRect r = area;
    if (FDrawAspect == ole::DVASPECT_ICON || FSizeMode == smCenter || FSizeMode == smScale)
      r = {area.Left + (W - w) / 2, area.Top + (H - h) / 2, area.Left + (W - w) / 2 + w, area.Top + (H - h) / 2 + h};
    else if (FSizeMode == smClip)
      r = {area.Left, area.Top, area.Left + w, area.Top + h};
    c.Save();
    c.IntersectClipRect(area);
    FObject.Draw(c, r, FDrawAspect);
    c.Restore();
  }
  if (Focused()) {
    c.Pen = {canvas::clWhite, 1, canvas::psDot, canvas::pmXor};
    c.Brush.Style = canvas::bsClear;
    c.Rectangle(area);
  }
}

bool TOleContainer::WantsKey(int key) { return key == window::VK_RETURN && FAutoActivate != aaManual; }

void TOleContainer::KeyDown(int& key, window::TShiftState shift) {
  if (key == window::VK_RETURN && FAutoActivate != aaManual) {
    key = 0;
    ActivateByUser(shift & window::ssCtrl ? ovShow : ovPrimary);
    return;
  }
  TCustomControl::KeyDown(key, shift);
}

void TOleContainer::DblClick() {
  TCustomControl::DblClick();
  if (FAutoActivate == aaDoubleClick) ActivateByUser(ovPrimary);
}

void TOleContainer::FocusChanged(bool focused) {
  TCustomControl::FocusChanged(focused);
  if (focused && FAutoActivate == aaGetFocus) ActivateByUser(ovShow);
}

void TOleContainer::DefineProperties(forms::TPropertyList& props) {
  TCustomControl::DefineProperties(props);
  props.Boolean("AllowInPlace", this, &TOleContainer::AllowInPlace, &TOleContainer::SetAllowInPlace);
  props.Boolean("AllowActiveDoc", this, &TOleContainer::AllowActiveDoc, &TOleContainer::SetAllowActiveDoc);
  props.Boolean("AutoVerbMenu", this, &TOleContainer::AutoVerbMenu, &TOleContainer::SetAutoVerbMenu);
  props.Boolean("CopyOnSave", this, &TOleContainer::CopyOnSave, &TOleContainer::SetCopyOnSave);
  props.Boolean("Ctl3D", this, &TOleContainer::Ctl3D, &TOleContainer::SetCtl3D);
  props.Boolean("OldStreamFormat", this, &TOleContainer::OldStreamFormat, &TOleContainer::SetOldStreamFormat);
  props.Add({"AutoActivate", forms::TPropKind::pkInteger, [this] { return forms::TPropValue(int(FAutoActivate)); },
             [this](const forms::TPropValue& v) { SetAutoActivate(TAutoActivate(std::get<int>(v))); }, {}});
  props.Add({"BorderStyle", forms::TPropKind::pkInteger, [this] { return forms::TPropValue(int(FBorderStyle)); },
             [this](const forms::TPropValue& v) { SetBorderStyle(TBorderStyle(std::get<int>(v))); }, {}});
  props.Add({"SizeMode", forms::TPropKind::pkInteger, [this] { return forms::TPropValue(int(FSizeMode)); },
             [this](const forms::TPropValue& v) { SetSizeMode(TSizeMode(std::get<int>(v))); }, {}});
  // The object goes with the form in the stream format of a score file.
  props.Binary(
      "Data", [this] { return FHasObject; }, [this](TStream& s) { LoadFromStream(s); },
      [this](TStream& s) { SaveToStream(s); });
}
