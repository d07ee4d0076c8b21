#pragma once

// The light-section picture as the gauge's camera records it: the light
// sheet cuts the sample across the channel, the camera looks at the cut from
// the side at the triangulation angle. Everything a face of the sample sends
// towards the camera is drawn as a vertical streak at the face's place in the
// picture, because light on the sample beside the sheet (the sheet's own
// thickness and the glow scattered along the surface) lies on the same face
// a little in front of or behind the sheet, and the triangulation angle turns
// that distance into image rows, never into columns. docs/simulated-gauge.md
// gives the reasons for every parameter.

#include "synth/channel_generator.h"

namespace synth {

enum class Material { Steel, Pertinax };

// How a material returns the light.
struct MaterialOptics {
  double reflectance = 1.0;   // light returned by a level face lit straight down, relative to steel
  double diffuse = 0.3;       // share of that light scattered evenly (the rest is the specular lobe)
  double specularLobe = 20;   // width of the specular lobe, degrees (standard deviation)
  double glowFraction = 0.1;  // peak of the scatter glow relative to the core of the trace
  double glowLength = 9;      // rows over which the glow falls to 1/e
};

MaterialOptics OpticsOfMaterial(Material material);

struct LightSectionOptics {
  MaterialOptics material;     // what the sample is made of
  double coreThickness = 5;    // thickness of the sheet's core on the sample as rows (full width at half maximum)
  double lensBlur = 0.7;       // standard deviation of the lens blur, pixels
  double lightTilt = 4;        // lean of the sheet's rays from the vertical, degrees; positive: the light comes
                               // from the left, lights walls facing left and shadows walls facing right
  double viewAngle = 30;       // triangulation angle: the camera's line of sight from the vertical, degrees
  double ambient = 0.001;      // light on shadowed faces (light returned by the lit faces nearby)
};

// Radiance per pixel, 1.0 = the core of the trace on a level face of the
// material lit straight down (before the material's reflectance, which the
// exposure applies).
LightSection RenderLightSection(const ChannelGeometry& geometry, const LightSectionOptics& optics,
                                int width = 1280, int height = 1024);

// Brightness per unit length of a face whose outward normal is (nx, ny) in
// picture coordinates (rows grow downwards), relative to a level face; 0 when
// the face turns away from the light. Shadows cast by other faces are not
// included.
double FaceBrightness(const LightSectionOptics& optics, double nx, double ny);

// Noise of the camera: read noise of every pixel and shot noise growing with
// the square root of the signal, both as standard deviations in grey levels
// (the shot noise at full scale).
struct SensorNoise {
  double read = 1.5;
  double shot = 4;
  std::uint32_t seed = 1;
};

// byte = min(255, Round(radiance * gain * 255 + noise)) into all three bytes.
void ExposeFrame(const LightSection& section, double gain, const SensorNoise& noise, Bitmap& out);

}  // namespace synth
