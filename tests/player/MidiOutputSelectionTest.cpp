#include <gtest/gtest.h>

#include <string>

#include "platform/midi/Synthesiser.h"
#include "player/MidiOutput.h"
#include "support/MidiDevices.h"
#include "support/Raised.h"

namespace {

struct TSelection {
  int DeviceID;
  std::string ProductName;
  uint16_t Technology;
  uint32_t Support;
};

TSelection Selection(const TMidiOutput& out) {
  return {out.GetDeviceID(), out.GetProductName(), out.Technology(), out.Support()};
}

void ExpectSame(const TSelection& a, const TSelection& b) {
  EXPECT_EQ(a.DeviceID, b.DeviceID);
  EXPECT_EQ(a.ProductName, b.ProductName);
  EXPECT_EQ(a.Technology, b.Technology);
  EXPECT_EQ(a.Support, b.Support);
}

// The layer's device tests cover the capabilities; the component keeps -1
// as the default device's id and takes the capabilities only once chosen.
TEST(MidiOutputSelection, MinusOneReadsTheDefaultDevice) {
  TMidiOutput out;
  EXPECT_EQ(out.GetDeviceID(), 0);
  EXPECT_EQ(out.GetProductName(), "") << "capabilities stay empty until a device is chosen";
  out.SetDeviceID(-1);
  EXPECT_EQ(out.GetDeviceID(), -1);
  EXPECT_EQ(out.GetProductName(), midi::SynthesiserName);
  EXPECT_EQ(out.Technology(), midi::MOD_SWSYNTH);
  ASSERT_TRUE(out.Open()) << "the default device opens";
  TMidiOutput synth;
  synth.SetDeviceID(0);
  EXPECT_FALSE(synth.Open()) << "the default device is the synthesiser, held now";
  EXPECT_EQ(synth.LastError(), midi::MMSYSERR_ALLOCATED);
  EXPECT_TRUE(out.Close());
}

TEST(MidiOutputSelection, AnIdOutsideTheListRaisesAndChangesNothing) {
  miditest::TScopedSink sink("Selection sink");
  TMidiOutput out;
  out.SetDeviceID(sink.Id);
  const TSelection before = Selection(out);
  EXPECT_EQ(RaisedBy<EmidioutputError>([&] { out.SetDeviceID(out.NumDevs()); }), "Invalid device ID");
  ExpectSame(Selection(out), before);
  // Below -1 passes the range check but the device list has no such id.
  std::string text;
  midi::GetErrorText(midi::MMSYSERR_BADDEVICEID, text);
  EXPECT_EQ(RaisedBy<EmidioutputError>([&] { out.SetDeviceID(-2); }), text);
  ExpectSame(Selection(out), before);
}

TEST(MidiOutputSelection, ByProductName) {
  miditest::TScopedSink first("Sink one"), second("Sink two");
  TMidiOutput out;
  out.SetProductName("Sink two");
  EXPECT_EQ(out.GetDeviceID(), second.Id);
  EXPECT_EQ(out.GetProductName(), "Sink two");
  EXPECT_EQ(RaisedBy<EmidioutputError>([&] { out.SetProductName("sink ONE"); }), "MIDI output Device sink ONE not installed")
      << "names compare case-sensitively";
  EXPECT_EQ(out.GetDeviceID(), second.Id);
  // The default device is asked first, so the synthesiser's name selects it.
  out.SetProductName(midi::SynthesiserName);
  EXPECT_EQ(out.GetDeviceID(), -1);
}

TEST(MidiOutputSelection, NoChangeWhileOpen) {
  miditest::TScopedSink sink("Open sink");
  TMidiOutput out;
  out.SetDeviceID(sink.Id);
  ASSERT_TRUE(out.Open());
  const TSelection before = Selection(out);
  EXPECT_EQ(RaisedBy<EmidioutputError>([&] { out.SetDeviceID(0); }), "Change to DeviceID while device was open");
  EXPECT_EQ(RaisedBy<EmidioutputError>([&] { out.SetProductName(midi::SynthesiserName); }),
            "Change to ProductName while device was open");
  ExpectSame(Selection(out), before);
  EXPECT_TRUE(out.IsOpen());
  EXPECT_EQ(out.PutShort(0x90, 60, 100), midi::MMSYSERR_NOERROR) << "still the same open device";
  EXPECT_EQ(sink.Sink->Count(), 1u);
}

TEST(MidiOutputSelection, ErrorTexts) {
  TMidiOutput out;
  for (midi::TResult code : {12u, 70u, 0xFFFFu, 0xFFFFFFFFu})
    EXPECT_EQ(out.GetErrorText(code), "Specified error number is out of range") << code;
  std::string text;
  midi::GetErrorText(midi::MMSYSERR_ALLOCATED, text);
  EXPECT_EQ(out.GetErrorText(midi::MMSYSERR_ALLOCATED), text);
}

}  // namespace
