#pragma once

// Synthetic creasing channels for tests, benchmarks and the simulated gauge:
// the exact profile of a channel of known geometry, the profile line the
// analysis reads, and the light-section picture a camera would see of it.
//
// Image coordinates: x is the column, y the row growing downwards, so the
// floor of a channel has a larger y than the surface.

#include <array>
#include <cstdint>
#include <vector>

#include "base/bitmap.h"

namespace synth {

enum class ChannelShape { Flat, Trapezoid, V, Round };

struct ChannelGeometry {
  ChannelShape shape = ChannelShape::Flat;
  double surfaceRow = 300;     // surface row at column 0
  double surfaceSlope = 0;     // surface rows per column
  double depth = 200;          // rows from the surface to the deepest point
  double width = 280;          // columns between the edges at the surface
  double centre = 640;         // column of the channel centre
  double flankAngle = 0;       // Trapezoid: flank angle from the vertical, degrees
                               // (a flank run beyond half the width makes a V)
  double bottomRadius = 100;   // Round: radius of the bottom arc, joined to the edges by
                               // tangent flanks (vertical walls when an edge lies
                               // inside the circle; straight flanks to the lowest
                               // point when the circle is too wide to touch)
  double bandThickness = 4;    // rows of the bright band (full width at half maximum)
  std::uint8_t surfaceBrightness = 230;  // peak brightness of the band on the surface
  std::uint8_t flankBrightness = 120;    // ... on steep flanks
  std::uint8_t floorBrightness = 180;    // ... on the channel floor
  double noise = 0;            // standard deviation of the sensor noise, grey levels
  std::uint32_t seed = 1;      // noise seed
};

// The exact (unrounded) row of the profile at column x.
double ProfileRowAt(const ChannelGeometry& geometry, double x);

// The profile as a polyline in picture coordinates from beyond the left
// border to beyond the right one; onSurface marks the vertices on the surface.
struct ProfileVertex {
  double x;
  double y;
  bool onSurface;
};
std::vector<ProfileVertex> ProfileOutline(const ChannelGeometry& geometry, int width = 1280);

// Profile line of 1281 entries: Round(ProfileRowAt(x)) for x = 0..width-1,
// entry 1280 = 0.
std::array<int, 1281> MakeProfileLine(const ChannelGeometry& geometry, int width = 1280);

// Relative brightness of the light section per pixel (row-major, width x
// height, 1.0 = full scale at unit gain, so the surface band peaks at
// surfaceBrightness / 255). The band has a Gaussian cross-section around the
// profile; inside the channel its peak goes from the floor's brightness to
// the flank's with the steepness of the profile. Walls are drawn as
// vertical bands, so a rectangle with its walls at columns a and b has
// surface rows in the columns a and b and floor rows between them.
struct LightSection {
  int width = 0;
  int height = 0;
  std::vector<float> radiance;
  float At(int x, int y) const { return radiance[static_cast<std::size_t>(y) * width + x]; }
};
LightSection RenderLightSection(const ChannelGeometry& geometry, int width = 1280, int height = 1024);

// The light section exposed: byte = min(255, Round(radiance * gain * 255 +
// noise)) in the bytes named by the mask (bit 0 blue, bit 1 green, bit 2 red).
// The noise comes from the geometry's noise and seed.
void Expose(const LightSection& section, double gain, const ChannelGeometry& geometry, Bitmap& out,
            unsigned channelMask = 0b011);

// Profile line and matching prepared image (the band in the blue and green
// bytes on a dark background), 1280 x 1024 unless told otherwise.
struct SyntheticChannel {
  std::array<int, 1281> line{};
  Bitmap image;
};
SyntheticChannel MakeChannel(const ChannelGeometry& geometry, int width = 1280, int height = 1024);

}  // namespace synth
