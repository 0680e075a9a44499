#pragma once
// Published properties reached by name: what the language components need of
// forms, controls, actions, menu items and collection items. The forms layer
// implements these interfaces on its own classes; the language file's
// property paths ("ARecord.Caption", "MMProgramModule.Item.Font",
// "Buttons[1].Hint") are walked over them (see PropertyPath.h).
//
// Names are compared without regard to ASCII letter case, as published
// property and component names are.

#include <string>

#include "base/StringList.h"
#include "platform/canvas/Graphics.h"

// The kind of a published property. String, Strings and Font are the kinds a
// language entry can set; Collection and Component lead further along a
// path; the others exist so that a path reaching them sets nothing.
enum class TPropertyKind {
  pkNone,     // no published property of that name
  pkString,   // short or long string
  pkStrings,  // class kind holding a TStrings (string list)
  pkFont,     // class kind holding a TFont
  pkInteger,
  pkBoolean,
  pkCollection,  // class kind holding a TCollection
  pkComponent,   // class kind holding a TComponent (or none)
  pkOther,       // any other kind: events, other classes, sets, enumerations
};

class TPublishedCollection;

// An object with published properties.
class TPublishedObject {
public:
  virtual ~TPublishedObject() = default;

  virtual TPropertyKind PropertyKind(const std::string& name) = 0;
  // Each setter is called only for a property of the matching kind.
  virtual void SetStrProp(const std::string& name, const std::string& value) = 0;
  // Takes the whole list, as TStrings.Assign does.
  virtual void AssignStringsProp(const std::string& name, const TStringList& value) = 0;
  // Takes the whole font, as TFont.Assign does: every attribute, not only the
  // ones a language entry names.
  virtual void AssignFontProp(const std::string& name, const canvas::TFont& value) = 0;
  // The collection held by a pkCollection property (nil when none).
  virtual TPublishedCollection* GetCollectionProp(const std::string& name) = 0;
  // The component held by a pkComponent property (nil when none).
  virtual TPublishedObject* GetComponentProp(const std::string& name) = 0;
};

// A TCollection's items.
class TPublishedCollection {
public:
  virtual ~TPublishedCollection() = default;
  virtual int Count() = 0;
  // Item of an index in 0 .. Count - 1.
  virtual TPublishedObject* Items(int index) = 0;
};

// A form: the owner of the language components and the root of every path.
// Beyond its own properties it finds the components it owns by name.
class TPublishedForm : public TPublishedObject {
public:
  // The form's component name ("FProgramModule"), the default section name.
  virtual std::string GetName() = 0;
  // The owned component of that name, nil when none.
  virtual TPublishedObject* FindComponent(const std::string& name) = 0;
};
