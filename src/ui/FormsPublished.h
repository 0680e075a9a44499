#pragma once
// The language components' view of the forms layer: a form's published
// properties, the components it owns, and the components and collections
// its properties hold, all through the forms layer's own property lists.
// Language texts are single-byte strings in the language's code page
// (CP1251 for Russian and Ukrainian, CP1252 for the others) while forms
// hold UTF-8, so texts and list items are converted on their way in.

#include <map>
#include <memory>
#include <string>

#include "platform/forms/Forms.h"
#include "ui/PublishedProperties.h"

class TFormsPublishedForm;

// One object of a form (a component, a collection item, the form itself).
class TFormsPublishedObject : public TPublishedObject {
public:
  TFormsPublishedObject(TFormsPublishedForm& form, forms::TPersistent& object) : FForm(form), FObject(object) {}
  TPropertyKind PropertyKind(const std::string& name) override;
  void SetStrProp(const std::string& name, const std::string& value) override;
  void AssignStringsProp(const std::string& name, const TStringList& value) override;
  void AssignFontProp(const std::string& name, const canvas::TFont& value) override;
  TPublishedCollection* GetCollectionProp(const std::string& name) override;
  TPublishedObject* GetComponentProp(const std::string& name) override;

private:
  TFormsPublishedForm& FForm;
  forms::TPersistent& FObject;
};

class TFormsPublishedForm : public TPublishedForm {
public:
  explicit TFormsPublishedForm(forms::TCustomForm& form) : FForm(form), FSelf(*this, form) {}
  ~TFormsPublishedForm() override;

  // The character set (text::TCharset) of the texts set through this form:
  // the one of the application language's code unless one is set here.
  int Charset();
  void SetCharset(int charset) { FCharset = charset; }
  // Cyrillic for "RUS" and "UKR", Western for the other codes.
  static int CharsetOfLanguage(const std::string& code);
  // The text in the form's character set as UTF-8.
  std::string Decode(const std::string& bytes);

  // The view of an object or collection of this form, made on first use.
  TPublishedObject* View(forms::TPersistent* object);
  TPublishedCollection* View(forms::TCollection* collection);

  TPropertyKind PropertyKind(const std::string& name) override { return FSelf.PropertyKind(name); }
  void SetStrProp(const std::string& name, const std::string& value) override { FSelf.SetStrProp(name, value); }
  void AssignStringsProp(const std::string& name, const TStringList& value) override {
    FSelf.AssignStringsProp(name, value);
  }
  void AssignFontProp(const std::string& name, const canvas::TFont& value) override {
    FSelf.AssignFontProp(name, value);
  }
  TPublishedCollection* GetCollectionProp(const std::string& name) override { return FSelf.GetCollectionProp(name); }
  TPublishedObject* GetComponentProp(const std::string& name) override { return FSelf.GetComponentProp(name); }
  std::string GetName() override { return FForm.Name(); }
  TPublishedObject* FindComponent(const std::string& name) override { return View(FForm.FindComponent(name)); }

private:
  forms::TCustomForm& FForm;
  TFormsPublishedObject FSelf;
  int FCharset = -1;  // -1: from the application's language
  std::map<forms::TPersistent*, std::unique_ptr<TPublishedObject>> FObjects;
  std::map<forms::TCollection*, std::unique_ptr<TPublishedCollection>> FCollections;
};
