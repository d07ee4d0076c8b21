#include "shell/view_zoom.h"

#include "measure/numbers.h"

ScrollTarget ChannelScroll(const TChannel& channel, int zoom, int areaWidth) {
  ScrollTarget t;
  t.horizontal = channel.spunkt * zoom - areaWidth / 2;
  t.vertical = Round((channel.spunkt * channel.tm + channel.tc) * zoom) - 100;
  return t;
}
