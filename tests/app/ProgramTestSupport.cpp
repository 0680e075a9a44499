#include "ProgramTestSupport.h"

#include <cmath>
#include <fstream>

#include "app/MessageBlock.h"
#include "app/Program.h"
#include "app/ProgramUnit.h"
#include "platform/forms/Edit.h"
#include "platform/forms/FileDialogForm.h"
#include "base/Streams.h"
#include "platform/codec/RiffWave.h"
#include "platform/threads/MainQueue.h"

namespace apptest {

std::string ProgramFile() { return std::string(SONARID_BINARY_DIR) + "/src/app/sonarid"; }

std::string CorpusXml(const std::string& name) { return std::string(SONARID_CORPUS_DIR) + "/musicxml/" + name; }

std::string CorpusMidi(const std::string& name) {
  std::string first;
  std::error_code error;
  for (fs::recursive_directory_iterator it(SONARID_MIDI_CACHE, error), end; !error && it != end; it.increment(error))
    if (it->path().extension() == ".mid" && (name.empty() || it->path().filename() == name) &&
        (first.empty() || it->path().string() < first))
      first = it->path();
  return first;
}

void RecordTake(TFProgramModule* main) {
  const codec::TWaveFormat& format = main->WaveFormat();
  TFileStream file(main->RecordFile(), fmCreate);
  codec::TWaveFileWriter writer(file, format.Bytes(), false);
  std::vector<int16_t> samples(format.nSamplesPerSec() * 3 / 10 * format.nChannels());
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = int16_t(8000 * std::sin(double(i / 2) * 0.06));
  writer.Write(reinterpret_cast<const uint8_t*>(samples.data()), samples.size() * 2);
  writer.Finish(0);
  main->TakeRecorded();
}

ProgramTest::ProgramTest() {
  StartScoreServices();
  auto host = std::make_unique<window::THeadlessHost>();
  Host = host.get();
  App = std::make_unique<forms::TApplication>(std::move(host));
}

ProgramTest::~ProgramTest() {
  Stop();
  App.reset();
}

TFProgramModule* ProgramTest::Start() {
  InitializeProgramUnit({ProgramFile(), Folder.string() + "/"});
  App->CreateForm(Main);
  Main->Show();
  App->ProcessMessages();
  return Main;
}

void ProgramTest::Stop() {
  delete Main;
  Main = nullptr;
  FinalizeProgramUnit();
}

std::string ProgramTest::Setting(const std::string& section, const std::string& key) {
  return forms::TIniFile((Folder / "KorvaneSonarid.ini").string()).ReadString(section, key, "<none>");
}

std::string ProgramTest::AnswerNextBox(int result, const std::function<void()>& action) {
  std::string shown = "<no box>";
  TMainQueue::Instance().Post([&] {
    for (int i = 0; i < forms::Screen->FormCount(); ++i)
      if (auto* box = dynamic_cast<TFMessageBlock*>(forms::Screen->Forms(i))) {
        shown = box->Caption() + ": ";
        for (int line = 0; line < box->MMessageBlock->Lines().Count(); ++line)
          shown += (line ? " " : "") + box->MMessageBlock->Lines().Strings(line);
        box->SetModalResult(result);
      }
  }, &shown);
  action();
  TMainQueue::Instance().Cancel(&shown);  // no box came: nothing is left for later
  return shown;
}

std::string ProgramTest::AnswerNextDialog(const std::string& name, const std::function<void()>& action) {
  std::string proposed = "<no dialog>";
  TMainQueue::Instance().Post([&] {
    auto* dialog = dynamic_cast<forms::TFileDialogForm*>(forms::Screen->ActiveForm());
    if (!dialog) return;
    auto* edit = dynamic_cast<forms::TEdit*>(dialog->FindComponent("FileNameEdit"));
    proposed = edit->Text();
    edit->SetText(name);
    name.empty() ? dialog->SetModalResult(forms::mrCancel)
                 : dynamic_cast<forms::TControl*>(dialog->FindComponent("OkButton"))->Click();
  }, &proposed);
  action();
  TMainQueue::Instance().Cancel(&proposed);  // no dialog came: nothing is left for later
  return proposed;
}

std::string ProgramTest::Drive(std::vector<std::string> answers, const std::function<void()>& action) {
  std::string shown;
  int budget = 2000;  // a loop that runs until nothing is pending would spin on an endless step
  std::function<void()> step = [&] {
    // Posted first: an answer may open a box inside the dialog, whose own
    // loop then takes the next step.
    if (--budget > 0) TMainQueue::Instance().Post(step, this);
    if (Main->Busy() && WhileBusy) WhileBusy();
    forms::TCustomForm* top = forms::Screen->ActiveForm();
    auto* box = dynamic_cast<TFMessageBlock*>(top);
    auto* dialog = dynamic_cast<forms::TFileDialogForm*>(top);
    if ((!box && !dialog) || answers.empty()) return;
    // Taken before it is given: the form may ask again inside the answer.
    const std::string answer = answers.front();
    answers.erase(answers.begin());
    if (dialog) {
      DialogFolders.push_back(dialog->Folder());
      auto* name = dynamic_cast<forms::TEdit*>(dialog->FindComponent("FileNameEdit"));
      DialogNames.push_back(name->Text());
      name->SetText(answer);
      answer.empty() ? dialog->SetModalResult(forms::mrCancel)
                     : dynamic_cast<forms::TControl*>(dialog->FindComponent("OkButton"))->Click();
    } else {
      shown += box->Caption() + ":";
      for (int line = 0; line < box->MMessageBlock->Lines().Count(); ++line)
        shown += " " + box->MMessageBlock->Lines().Strings(line);
      shown += "\n";
      box->SetModalResult(answer == "yes"      ? forms::mrYes
                          : answer == "no"     ? forms::mrNo
                          : answer == "cancel" ? forms::mrCancel
                                               : forms::mrOk);
    }
  };
  TMainQueue::Instance().Post(step, this);
  action();
  TMainQueue::Instance().Cancel(this);  // a WhenUp whose form never came as well
  EXPECT_TRUE(answers.empty());
  return shown;
}

}  // namespace apptest
