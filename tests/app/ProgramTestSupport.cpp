#include "ProgramTestSupport.h"

#include <fstream>
#include <iterator>
#include <unistd.h>

#include "app/MessageBlock.h"
#include "app/Program.h"
#include "app/ProgramUnit.h"
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

std::string ReadFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void WriteFile(const fs::path& file, const std::string& bytes) { std::ofstream(file, std::ios::binary) << bytes; }

ProgramTest::ProgramTest() {
  Folder = fs::temp_directory_path() / ("sonarid-app-" + std::to_string(getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
  fs::remove_all(Folder);
  fs::create_directories(Folder);
  StartScoreServices();
  auto host = std::make_unique<window::THeadlessHost>();
  Host = host.get();
  App = std::make_unique<forms::TApplication>(std::move(host));
}

ProgramTest::~ProgramTest() {
  Stop();
  App.reset();
  fs::remove_all(Folder);
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
  });
  action();
  return shown;
}

}  // namespace apptest
