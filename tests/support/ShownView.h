#pragma once
// A score shown in a view's control that fills an 800 x 600 form of an
// application (a real window under a virtual X server, or the headless
// host's), the view painted by the renderer Factory makes, the control grey
// and focused.

#include <memory>

#include "platform/forms/Application.h"
#include "platform/forms/Forms.h"
#include "player/ScoreRenderer.h"
#include "player/ViewControl.h"
#include "player/Window.h"

namespace test_support {

inline TKVViewControl& ShowScoreInView(forms::TApplication& App, TKVScoreRendererFactory Factory, TKVScore& Score) {
  forms::TForm* form = nullptr;
  App.CreateForm(form);
  form->SetBounds(0, 0, 800, 600);
  SetScoreRendererFactory(std::move(Factory));
  auto* control = new TKVViewControl(form);
  SetScoreRendererFactory({});
  control->SetParent(form);
  control->SetBounds(0, 0, 800, 600);
  control->SetColor(canvas::clGray);
  control->View().SetScore(&Score);
  form->Show();
  control->SetFocus();
  return *control;
}

}  // namespace test_support
