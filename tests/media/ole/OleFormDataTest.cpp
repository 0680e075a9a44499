// A form's data with an embedded-object container on it: the object goes
// with the form as the binary property "Data" (its name, the binary type
// 10, a 32-bit size and the object stream of a score file) and comes back
// from it; an empty container stores none; damaged data is refused.

#include <gtest/gtest.h>

#include <algorithm>

#include "media/ole/OleContainer.h"
#include "platform/forms/FormData.h"
#include "support/OleFiles.h"
#include "support/Raised.h"
#include "support/forms/FormsTestSupport.h"

namespace {

using test_support::TOleBytes;

class OleFormData : public forms::test::FormsTest {
protected:
  // A form with the container "Ole1" on it, holding Object when not empty.
  TOleContainer* Holder(const TOleBytes& Object) {
    auto* c = forms::test::AddControl<TOleContainer>(MakeForm(), 10, 20, 130, 90);
    c->SetName("Ole1");
    TMemoryStream s(Object);
    if (!Object.empty()) c->LoadFromStream(s);
    return c;
  }
  static TOleBytes Written(TOleContainer& C) {
    TMemoryStream s;
    forms::WriteComponentData(s, *C.Owner());
    return s.Bytes();
  }
  static void Read(TOleContainer& C, const TOleBytes& Data) {
    TMemoryStream s(Data);
    forms::ReadComponentData(s, *C.Owner());
  }
  const TOleBytes object = test_support::BdocStream(
      ole::DVASPECT_ICON, test_support::GsfCompoundFile({{"\x01" "CompObj", test_support::CompObjStream("Chart")},
                                                          {"Contents", TOleBytes(300, 7)}}));
};

bool Holds(const TOleBytes& Data, const TOleBytes& Part) {
  return std::search(Data.begin(), Data.end(), Part.begin(), Part.end()) != Data.end();
}

TEST_F(OleFormData, TheObjectGoesWithTheFormAndComesBack) {
  TOleBytes property = {4, 'D', 'a', 't', 'a', 10};
  for (int shift : {0, 8, 16, 24}) property.push_back(uint8_t(object.size() >> shift));
  property.insert(property.end(), object.begin(), object.end());
  for (bool withObject : {true, false}) {
    const TOleBytes written = Written(*Holder(withObject ? object : TOleBytes{}));
    EXPECT_EQ(Holds(written, property), withObject);
    EXPECT_EQ(Holds(written, {4, 'D', 'a', 't', 'a'}), withObject);
    TOleContainer* again = Holder({});
    Read(*again, written);
    EXPECT_EQ(Written(*again), written) << "with an object: " << withObject;
    EXPECT_EQ(again->Object().StorageBytes(), withObject ? TOleBytes(object.begin() + 12, object.end()) : TOleBytes{});
    EXPECT_EQ(again->Iconic(), withObject);
  }
}

TEST_F(OleFormData, DamagedDataIsRefusedByName) {
  const TOleBytes good = Written(*Holder(object));
  auto replaced = [&](const std::string& from, const std::string& to) {
    TOleBytes d = good;
    const auto at = std::search(d.begin(), d.end(), from.begin(), from.end());
    if (at != d.end()) std::copy(to.begin(), to.end(), at);
    return d;
  };
  const std::pair<TOleBytes, std::string> cases[] = {
      {TOleBytes(good.begin() + 1, good.end()), "Invalid stream format"},
      {TOleBytes(good.begin(), good.end() - 40), "Invalid stream format"},
      {TOleBytes(good.begin(), good.end() - 1), "Invalid stream format"},
      {replaced("\x04" "Data", "\x04" "Dada"), "Error reading Ole1.Dada: Property Dada does not exist"},
      {replaced("\x04" "Ole1", "\x04" "Ole2"), "Component Ole2 not found"},
      {replaced("\x0c" "AllowInPlace\x09", "\x0c" "AllowInPlace\x06"),
       "Error reading Ole1.AllowInPlace: Invalid property value"},
      {replaced("BDOC", "XDOC"), "Error reading Ole1.Data: Invalid stream format"},
  };
  for (const auto& [data, error] : cases) {
    TOleContainer* target = Holder({});
    EXPECT_EQ(RaisedBy([&] { Read(*target, data); }), error);
    EXPECT_FALSE(target->IsLoading() || target->Owner()->IsLoading()) << error;
  }
}

}  // namespace
