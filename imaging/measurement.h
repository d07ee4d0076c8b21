#pragma once

// The measurement step every front end shares: from the combined (or loaded)
// image and its profile line to the channel record and the result texts.

#include "base/bitmap.h"
#include "measure/material.h"
#include "measure/records.h"
#include "measure/result_texts.h"

// The working images of a measurement: the input image (its last row carries
// the profile), the prepared result image and the working copy the analysis reads.
struct MeasurementImages {
  Bitmap iBild;
  Bitmap rBild;
  Bitmap dBild;
};

struct MeasurementOutcome {
  bool analysed = false;  // false for a series of fewer than two frames
  int shapeFound = 0;     // the shape before the display masks
  ResultTexts texts;      // texts of the result panel (cleared when not analysed)
};

// Prepares rBild and dBild from iBild by material, analyses MyLine into
// MyChannel with the material's width factor, masks the shape by the
// display options and draws the result overlay into rBild.
MeasurementOutcome DoAnalyze(MeasureState& state, MeasurementImages& images, Material material,
                             const DisplayOptions& options);

// A finished scan: keeps the image and a copy of the line as extracted
// (OLine) and analyses it; a series of one frame or none is only corrected
// for perspective.
MeasurementOutcome CaptureResult(MeasureState& state, MeasurementImages& images, const Bitmap& image, int count,
                                 Material material, const DisplayOptions& options);

// A stored tool image in iBild: unpacks the profile from its last row into
// MyLine and OLine and analyses it.
MeasurementOutcome AnalyseStoredImage(MeasureState& state, MeasurementImages& images, Material material,
                                      const DisplayOptions& options);
