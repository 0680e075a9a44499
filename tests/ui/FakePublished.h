#pragma once
// A stand-in for the forms layer's published properties: objects declare
// named properties of each kind, remember what was set, and journal every
// write so that a test can tell "nothing was set" apart.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ui/PublishedProperties.h"

class TFakeCollection;

class TFakeObject : public TPublishedForm {
public:
  explicit TFakeObject(std::string name, std::vector<std::string>* journal = nullptr);
  ~TFakeObject() override;

  // Declaring properties; each returns this object for chaining.
  TFakeObject& String(const std::string& name, const std::string& value = "");
  TFakeObject& Strings(const std::string& name);
  TFakeObject& Font(const std::string& name);
  TFakeObject& Integer(const std::string& name);
  TFakeObject& Boolean(const std::string& name);
  TFakeObject& Other(const std::string& name);
  // A component-kind property holding a new object, or none.
  TFakeObject& Component(const std::string& name);
  TFakeObject& EmptyComponent(const std::string& name);
  // A collection-kind property with Count items.
  TFakeCollection& Collection(const std::string& name, int count);
  // A component owned by this form, found by FindComponent.
  TFakeObject& Add(const std::string& name);

  // Reading back.
  const std::string& Str(const std::string& name) const;
  const std::vector<std::string>& List(const std::string& name) const;
  const canvas::TFont& FontOf(const std::string& name) const;
  canvas::TFont& FontRef(const std::string& name);
  TFakeObject* Find(const std::string& name) { return find(name); }
  TFakeObject& operator[](const std::string& name);
  const std::vector<std::string>& Journal() const { return *FJournal; }
  void ClearJournal() { FJournal->clear(); }
  // For objects that share this one's journal.
  std::vector<std::string>* JournalHandle() { return FJournal; }

  // TPublishedForm
  TPropertyKind PropertyKind(const std::string& name) override;
  void SetStrProp(const std::string& name, const std::string& value) override;
  void AssignStringsProp(const std::string& name, const TStringList& value) override;
  void AssignFontProp(const std::string& name, const canvas::TFont& value) override;
  TPublishedCollection* GetCollectionProp(const std::string& name) override;
  TPublishedObject* GetComponentProp(const std::string& name) override;
  std::string GetName() override { return FName; }
  TPublishedObject* FindComponent(const std::string& name) override;

private:
  struct TProp;
  TProp& declare(const std::string& name, TPropertyKind kind);
  TProp& at(const std::string& name, TPropertyKind kind) const;
  TFakeObject* find(const std::string& name);

  std::string FName;
  std::vector<std::string> FOwnJournal;
  std::vector<std::string>* FJournal;
  std::map<std::string, std::unique_ptr<TProp>> FProps;
  std::map<std::string, std::unique_ptr<TFakeObject>> FComponents;
};

class TFakeCollection : public TPublishedCollection {
public:
  TFakeCollection(const std::string& name, int count, std::vector<std::string>* journal);
  int Count() override { return int(FItems.size()); }
  TPublishedObject* Items(int index) override { return FItems.at(size_t(index)).get(); }
  TFakeObject& Item(int index) { return *FItems.at(size_t(index)); }

private:
  std::vector<std::unique_ptr<TFakeObject>> FItems;
};
