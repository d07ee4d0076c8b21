#pragma once

// The camera maker's control interfaces as the program uses them: the common
// interface (trigger key, I2C registers) and the CMOS interface (gain,
// shutter step, mirror, flip), with their interface identifiers and the
// table of the 20 shutter steps.

#include <array>
#include <cstdint>
#include <string_view>

inline constexpr std::string_view IID_VideologyCOM = "{926DDB17-3C8E-476C-9068-EB4555A99231}";
inline constexpr std::string_view CLSID_Videology24B13 = "{926DDB19-3C8E-476C-9068-EB4555A99231}";

// Status of a camera call: negative means failure.
using VideologyStatus = std::int32_t;
inline constexpr VideologyStatus kVideologyOk = 0;
inline constexpr VideologyStatus kVideologyFailed = -1;

enum eShutterSpeedCMOS : std::uint8_t {
  ssc2,
  ssc4,
  ssc7_5,
  ssc15,
  ssc20,
  ssc30,
  ssc50,
  ssc60,
  ssc100,
  ssc120,
  ssc200,
  ssc250,
  ssc500,
  ssc750,
  ssc1000,
  ssc2000,
  ssc3000,
  ssc4000,
  ssc5000,
  sscMax,
};

struct ShutterStep {
  eShutterSpeedCMOS value;
  std::string_view name;  // the enumeration name
  std::string_view text;  // the shutter box text, spaces included
  double seconds;         // exposure time; 0 for sscMax, the sensor's shortest
};

inline constexpr int kShutterStepCount = 20;
extern const std::array<ShutterStep, kShutterStepCount> kShutterSteps;

// Exposure time of step `value`, or 0 when `value` is sscMax or no step.
double ShutterSeconds(int value);

class IVideologyCommon {
public:
  virtual ~IVideologyCommon() = default;
  virtual VideologyStatus ReadI2C(std::int32_t device, std::int32_t reg, std::uint16_t& value) = 0;
  virtual VideologyStatus WriteI2C(std::int32_t device, std::int32_t reg, std::uint16_t value) = 0;
  // Trigger key state; callers preset `state` to -3 and count non-zero as
  // pressed.
  virtual VideologyStatus GetSnapshotState(std::int32_t& state) = 0;
};

class IVideologyCMOS {
public:
  virtual ~IVideologyCMOS() = default;
  virtual VideologyStatus SetAGC(std::uint32_t gain) = 0;
  virtual VideologyStatus SetMirror(std::uint32_t on) = 0;
  virtual VideologyStatus SetFlip(std::uint32_t on) = 0;
  virtual VideologyStatus SetShutterSpeed(eShutterSpeedCMOS step) = 0;
};
