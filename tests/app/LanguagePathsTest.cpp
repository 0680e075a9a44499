// Every entry of each of the six language sources for the main window, the
// message box, the tips window and the about box reaches a property of the
// program's own window of the kind it sets.

#include "ProgramTestSupport.h"
#include "app/AboutModule.h"
#include "app/HelperModule.h"
#include "app/MessageBlock.h"
#include "lrfc/LangSource.h"
#include "ui/FormsPublished.h"
#include "ui/PropertyPath.h"

namespace apptest {
namespace {

TPropertyKind KindOf(lrfc::TSourceKind kind) {
  return kind == lrfc::TSourceKind::skString    ? TPropertyKind::pkString
         : kind == lrfc::TSourceKind::skStrings ? TPropertyKind::pkStrings
                                                : TPropertyKind::pkFont;
}

class LanguagePathsTest : public ProgramTest {};

TEST_F(LanguagePathsTest, EveryWindowHasEveryPropertyEachLanguageSets) {
  Start();
  TFMessageBlock box(nullptr);
  TFormsPublishedForm boxView(box);
  TFAboutModule about(nullptr);
  if (!HelperModule()) Main->AContentsExecute();
  ASSERT_TRUE(HelperModule());
  for (const char* code : {"ENU", "DEU", "FRA", "RUS", "ITA", "UKR"}) {
    const lrfc::TLangSource source =
        lrfc::ReadLangSource(std::string(SONARID_SOURCE_DIR) + "/data/lang/" + code + ".lang");
    int checked = 0;
    for (const auto& section : source.Sections) {
      TPublishedForm* form = section.Name == "FProgramModule"  ? Main->Published.get()
                             : section.Name == "FMessageBlock" ? &boxView
                             : section.Name == "FHelperModule" ? HelperModule()->Published.get()
                             : section.Name == "FAboutModule"  ? about.Published.get()
                                                               : nullptr;
      ASSERT_TRUE(form) << section.Name;
      for (const auto& entry : section.Entries) {
        const TPropertyTarget target = ResolvePath(*form, entry.Path);
        EXPECT_TRUE(target.Object) << code << " " << section.Name << " " << entry.Path;
        EXPECT_EQ(target.Kind, KindOf(entry.Kind)) << code << " " << section.Name << " " << entry.Path;
        ++checked;
      }
    }
    EXPECT_GT(checked, 100) << code;
  }
}

}  // namespace
}  // namespace apptest
