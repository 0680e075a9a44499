#pragma once
// The container control of an embedded object: it reads the object from the
// stream format of a score file (a 12-byte header, then the object's
// storage), writes it back unchanged, sizes itself to the object, draws it
// and runs its verbs. No object server exists on this system, so an object
// is never opened: the container holds the storage's bytes exactly as read,
// draws the preview picture they carry (or a placeholder naming the
// object's type) and every verb fails with the OLE error for a class that
// has no server. It is also the score model's container of an embedded
// object, which the media services create.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "media/ole/OleStream.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Forms.h"
#include "platform/ole/EmbeddedObject.h"
#include "score/model/MediaServices.h"

enum TAutoActivate : std::uint8_t { aaManual, aaGetFocus, aaDoubleClick };
enum TSizeMode : std::uint8_t { smClip, smCenter, smScale, smStretch, smAutoSize };
using TBorderStyle = forms::TFormBorderStyle;  // bsNone or bsSingle

class TOleContainer;
using TObjectMoveEvent = std::function<void(TOleContainer* OleContainer, const canvas::TRect& Bounds)>;

// A verb of the object: its name and number.
struct TObjectVerb {
  std::string Name;
  int Verb = 0;
};

// The verbs that RunVerb knows besides indexes into the verb list.
constexpr int ovPrimary = -65536, ovShow = -1, ovOpen = -2;

class TOleContainer : public forms::TCustomControl, public TKVOleContainer {
public:
  explicit TOleContainer(forms::TComponent* owner);
  ~TOleContainer() override;

  // Replaces the object by the one in Stream: "BDOC", the draw aspect, the
  // size N and N bytes of storage (with OldStreamFormat any first 8 bytes).
  void LoadFromStream(TStream& Stream) override;
  // The header (or, with OldStreamFormat, the bounds in place of signature
  // and aspect) and the storage's bytes.
  void SaveToStream(TStream& Stream);
  void SaveObject();
  void ReleaseObject();
  // Runs a verb: an index into the verb list when positive, ovPrimary for
  // verb 0, other negative verbs as they are.
  void RunVerb(int Verb);
  void UpdateVerbs();
  const std::vector<TObjectVerb>& ObjectVerbs();
  void UpdateObject() override;
  void AdjustBounds() override;
  // Copies another container's object.
  void Assign(const TKVOleContainer& Source) override;
  // The object's content picture in Rect (a placeholder when empty).
  void Draw(canvas::TCanvas& Canvas, const canvas::TRect& Rect) override;
  int32_t Width() const override { return TControl::Width(); }
  int32_t Height() const override { return TControl::Height(); }

  bool HasObject() const { return FHasObject; }
  const ole::TEmbeddedObject& Object() const { return FObject; }
  std::uint32_t DrawAspect() const { return FDrawAspect; }
  bool Modified() const { return FModified; }
  // 0 without border, 2 for the sunken three-dimensional border, else 1.
  int BorderWidth() const;

  bool AllowInPlace() const { return FAllowInPlace; }
  void SetAllowInPlace(bool v) { FAllowInPlace = v; }
  bool AllowActiveDoc() const { return FAllowActiveDoc; }
  void SetAllowActiveDoc(bool v) { FAllowActiveDoc = v; }
  TAutoActivate AutoActivate() const { return FAutoActivate; }
  void SetAutoActivate(TAutoActivate v) { FAutoActivate = v; }
  bool AutoVerbMenu() const { return FAutoVerbMenu; }
  void SetAutoVerbMenu(bool v) { FAutoVerbMenu = v; }
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle v);
  bool CopyOnSave() const { return FCopyOnSave; }
  void SetCopyOnSave(bool v) { FCopyOnSave = v; }
  bool Ctl3D() const { return FCtl3D; }
  void SetCtl3D(bool v);
  // The draw aspect is the icon; needs an object.
  bool Iconic() const { return FDrawAspect == ole::DVASPECT_ICON; }
  void SetIconic(bool v);
  bool OldStreamFormat() const { return FOldStreamFormat; }
  void SetOldStreamFormat(bool v) { FOldStreamFormat = v; }
  TSizeMode SizeMode() const { return FSizeMode; }
  void SetSizeMode(TSizeMode v);

  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TObjectMoveEvent OnObjectMove;
  TNotifyEvent OnChanged;

  void DefineProperties(forms::TPropertyList& props) override;

protected:
  void Paint() override;
  void KeyDown(int& key, window::TShiftState shift) override;
  bool WantsKey(int key) override;
  void DblClick() override;
  void FocusChanged(bool focused) override;

private:
  void CheckObject() const;
  template <class T>
  void ChangeFrame(T& field, T value);
  // A verb started by the user: its failure is logged, not raised.
  void ActivateByUser(int verb);
  // The object's extent in screen pixels for the draw aspect.
  canvas::TSize ExtentPixels() const;

  ole::TEmbeddedObject FObject;
  bool FHasObject = false;
  std::uint32_t FDrawAspect = ole::DVASPECT_CONTENT;
  bool FModified = false;
  std::vector<TObjectVerb> FVerbs;
  bool FVerbsListed = false;
  bool FAllowInPlace = true, FAllowActiveDoc = true, FAutoVerbMenu = true, FCopyOnSave = true, FCtl3D = true,
       FOldStreamFormat = false;
  TAutoActivate FAutoActivate = aaDoubleClick;
  TBorderStyle FBorderStyle = forms::bsSingle;
  TSizeMode FSizeMode = smClip;
};
