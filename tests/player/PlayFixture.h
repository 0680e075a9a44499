#pragma once
// A player view on a fake clock whose messages are written down in hex
// ("90 3c 40"), each with its time since the last PlayAll started.

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "WindowFixture.h"
#include "platform/threads/Clock.h"
#include "player/PlayEngine.h"
#include "score/model/Note.h"

class PlayTest : public WindowTest {
protected:
  using TTexts = std::vector<std::string>;
  struct TSent {
    std::string Text;
    double Ms;
  };

  PlayTest() {
    view.SetClock(clock);
    AfterShort({});
    view.OnPlayLong = [this](TObject*, const uint8_t* data, uint16_t length, int32_t) { Write(data, length); };
    view.OnStopPlay = [this](TObject*) {
      EXPECT_FALSE(view.Playing());
      stops.push_back(sent.size());
    };
  }

  // Then runs after each short message is written down.
  void AfterShort(std::function<void(uint8_t Status, uint8_t Key)> Then) {
    view.OnPlayShort = [this, Then](TObject*, uint8_t status, uint8_t data1, uint8_t data2, int32_t, bool) {
      const uint8_t bytes[] = {status, data1, data2};
      Write(bytes, 3);
      if (Then) Then(status, data1);
    };
  }
  // The whole run on this thread; the fake clock moves to each deadline.
  void PlayAll() {
    start = clock.NowMs();
    ASSERT_TRUE(view.BeginPlay());
    TSleepInterrupt none;
    TKVPlayEngine(view).Run(none);
  }
  // The messages sent (at Ms only, when given).
  TTexts Texts(double Ms = -1) const {
    TTexts texts;
    for (const TSent& s : sent)
      if (Ms < 0 || s.Ms == Ms) texts.push_back(s.Text);
    return texts;
  }
  double When(const std::string& Text) const {
    for (const TSent& s : sent)
      if (s.Text == Text) return s.Ms;
    return -1;
  }

  // A note of the first part's first staff and voice; Pitch 0x50 is key 60.
  TKVNote* AddNote(TKVPiece* Piece, int Measure, uint16_t Position, uint16_t Duration, uint8_t Pitch = 0x50) {
    auto* note = Add<TKVNote>(Piece->GetPart(0)->GetMeasure(Measure), ItemKind::Note, Position);
    note->SetDuration(Duration);
    note->SetPitch(Pitch);
    return note;
  }
  // An item of Kind in measure Measure of part 0 with a position entry of
  // its own, filled by hand once the piece is laid out.
  template <class T = TKVMark>
  T* AddCell(TKVPiece* Piece, int Measure, uint8_t Kind, uint16_t Position, uint16_t Word, uint8_t Action = 0) {
    auto* item = static_cast<T*>(CreateItemByKind(Kind, Piece->GetPart(0)->GetMeasure(Measure)));
    auto& cells = Record(Piece, Measure).Positions;
    auto at = std::find_if(cells.begin(), cells.end(), [&](const auto& c) { return c->Position > Position; });
    cells.insert(at, std::make_unique<TKVPositionEntry>(TKVPositionEntry{item, Position, Word, Action, 0, 0}));
    return item;
  }

  TFakeClock clock{5000};
  double start = 0;
  std::vector<TSent> sent;
  std::vector<size_t> stops;  // how many messages had gone out at each stop event

private:
  void Write(const uint8_t* data, size_t length) {
    std::string text;
    char hex[4];
    for (size_t i = 0; i < length; ++i) text += (std::snprintf(hex, sizeof hex, " %02x", data[i]), hex);
    sent.push_back({text.substr(1), clock.NowMs() - start});
  }
};
