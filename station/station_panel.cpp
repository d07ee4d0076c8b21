#include "station/station_panel.h"

const char* SoundName(StationSound sound) {
  switch (sound) {
    case StationSound::OK:
      return "OK";
    case StationSound::FAIL:
      return "FAIL";
    case StationSound::tada:
      return "tada";
  }
  return "OK";
}
