// The program entry: the score services, the application on the display's
// window system, the sound output, the settings, then the main window and
// the message loop until the main window closes.

#include <cstdio>
#include <memory>

#include "app/Program.h"
#include "app/ProgramLog.h"
#include "app/ProgramModule.h"
#include "app/ProgramUnit.h"
#include "platform/audio/OutputBus.h"
#include "platform/forms/Application.h"
#include "platform/window/SdlHost.h"
#include "ui/ProgramResources.h"

int main() {
  try {
    StartScoreServices();
    const TProgramPlace place = LocateProgram(ProgramFileName());
    {
      forms::TApplication application(std::make_unique<window::TSdlHost>());
      // X errors do not end the program; they go into its log.
      window::SetX11ErrorLog(WriteLog);
      audio::TOutputBus::Instance().Start();
      InitializeProgramUnit(place);
      TFProgramModule* main = nullptr;
      application.CreateForm(main);
      application.Run();
      // The main window's shut-down writes the settings before they close,
      // also when the display went away.
      delete main;
      window::SetX11ErrorLog(nullptr);
    }
    FinalizeProgramUnit();
    audio::TOutputBus::Instance().Stop();
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "sonarid: %s\n", e.what());
    return 1;
  }
}
