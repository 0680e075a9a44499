#include <gtest/gtest.h>

#include "FakePublished.h"
#include "ui/PropertyPath.h"

namespace {

std::unique_ptr<TFakeObject> PathForm() {
  auto form = std::make_unique<TFakeObject>("F");
  form->String("Caption").Strings("Items").Font("Font").Integer("Tag").Boolean("Visible").Other("OnCreate");
  form->Add("ARecord").String("Caption").Other("CaptionSetting");
  form->Add("MMProgramModule").Component("Item").Font("Font");
  TFakeCollection& buttons = form->Add("FDTicher").Collection("Buttons", 3);
  for (int i = 0; i < 3; ++i) buttons.Item(i).String("Hint").Component("Sub").String("Caption");
  form->Add("Empty").EmptyComponent("Item");
  form->Add("Tag").String("Caption");
  return form;
}

struct TPathCase {
  const char* Path;
  const char* Target;  // "<object>.<property>", "" when the path leads nowhere
};

std::string Describe(const TPropertyTarget& target) {
  return target.Object ? dynamic_cast<TFakeObject*>(target.Object)->GetName() + "." + target.Name : "";
}

class ResolvePathTest : public testing::TestWithParam<TPathCase> {};

TEST_P(ResolvePathTest, EndsAtTheNamedPropertyOrNowhere) {
  auto form = PathForm();
  EXPECT_EQ(Describe(ResolvePath(*form, GetParam().Path)), GetParam().Target) << GetParam().Path;
}

INSTANTIATE_TEST_SUITE_P(Paths, ResolvePathTest,
                         testing::Values(
                             // the form's own properties, names without regard to case
                             TPathCase{"Caption", "F.Caption"}, TPathCase{"caption", "F.caption"},
                             TPathCase{"Items", "F.Items"}, TPathCase{"Font", "F.Font"},
                             // a string property ends the walk, whatever follows
                             TPathCase{"Caption.Extra", "F.Caption"},
                             // components of the form, property objects, collection items
                             TPathCase{"ARecord.Caption", "ARecord.Caption"},
                             TPathCase{"MMProgramModule.Item.Font", "MMProgramModule.Item.Font"},
                             TPathCase{"FDTicher.Buttons[0].Hint", "FDTicher.Buttons[0].Hint"},
                             TPathCase{"FDTicher.Buttons[2].Hint", "FDTicher.Buttons[2].Hint"},
                             TPathCase{"FDTicher.Buttons[1].Sub.Caption", "FDTicher.Buttons[1].Sub.Caption"},
                             // collection indexes outside the collection or malformed
                             TPathCase{"FDTicher.Buttons[3].Hint", ""}, TPathCase{"FDTicher.Buttons[-1].Hint", ""},
                             TPathCase{"FDTicher.Buttons[x].Hint", ""}, TPathCase{"FDTicher.Buttons.Hint", ""},
                             TPathCase{"FDTicher.Buttons[1", ""}, TPathCase{"FDTicher.Buttons[1]x.Hint", ""},
                             TPathCase{"FDTicher.Buttons[]", ""},
                             // kinds a language entry cannot set
                             TPathCase{"Tag", ""}, TPathCase{"Visible", ""}, TPathCase{"OnCreate", ""},
                             TPathCase{"ARecord.CaptionSetting.Font", ""},
                             // a property of the form hides a component of the same name
                             TPathCase{"Tag.Caption", ""},
                             // components are looked up at the form only
                             TPathCase{"ARecord.MMProgramModule.Item.Font", ""},
                             // paths that lead nowhere
                             TPathCase{"Missing.Caption", ""}, TPathCase{"Empty.Item.Font", ""},
                             TPathCase{"ARecord", ""}, TPathCase{"ARecord.", ""}, TPathCase{".Caption", ""},
                             TPathCase{"", ""}, TPathCase{"ARecord..Caption", ""}));

}  // namespace
