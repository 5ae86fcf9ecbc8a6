// The Bursa-Wolf transformation of the window ("转换计算" with the current
// settings and parameters) as a PROJ pipeline.
//
// Frame. The program forms geocentric coordinates from the latitude and the
// longitude counted from the source central meridian L0, so its Tx ... Rz
// belong to a geocentric frame turned about the polar axis by L0. Turning
// back to the Earth-fixed frame (X towards Greenwich) with the rotation
// Q^T = [[cos L0, -sin L0, 0], [sin L0, cos L0, 0], [0, 0, 1]]:
//   X' = Q^T (Q X + T + D Q X + M Q X) = X + Q^T T + D X + Q^T M Q X,
// and for the skew matrix M of the rotation vector (Rx, Ry, Rz),
// Q^T M Q is the skew matrix of Q^T (Rx, Ry, Rz). The Earth-fixed set is
// therefore the translation and the rotation vector turned by L0, the scale
// unchanged, and the transformation is the same, exactly, for any L0.
//
// Rotation convention. The program's X' = X + ... - Ry Z + Rz Y is PROJ's
// helmert with +convention=coordinate_frame (the rotation matrix
// [[1, Rz, -Ry], [-Rz, 1, Rx], [Ry, -Rx, 1]]); the position-vector
// convention would reverse all three signs.
//
// Scale. PROJ's helmert computes T + (1 + s)(I + W) X, with a cross term
// s W X that the program's linearised X + T + D X + W X leaves out (measured
// against cct: 0.3 mm for D = 3.2 ppm and 2.6" rotations, 1.1 mm for
// D = -8 ppm and 7.8").
// The pipeline's helmert therefore takes the rotations divided by (1 + D),
// which reproduces the program exactly (the difference from cct left is the
// program's Gauss-Krüger series: within 0.2 mm up to 2.5 degrees from the
// central meridian, under 1 mm at 3 degrees, a 6-degree zone's edge);
// the listed Earth-fixed set is the program's set turned, as published sets
// are written.
#pragma once

#include <string>

#include "tools/datum/bursa_wolf.h"
#include "tools/datum/datum_settings.h"

namespace coordconv {

// The seven parameters in the Earth-fixed frame, coordinate-frame convention.
struct EarthFixedSevenParameters {
    long double tx = 0, ty = 0, tz = 0;  // metres
    long double rx = 0, ry = 0, rz = 0;  // arc seconds
    long double scale_ppm = 0;           // D * 10^6
};

// The program's parameters (rotations in radians) of the frame turned by
// `frame_longitude` degrees, turned into the Earth-fixed frame.
EarthFixedSevenParameters EarthFixedParameters(const BursaWolfParameters& p, long double frame_longitude);

// "+proj=helmert ... +convention=coordinate_frame" of an Earth-fixed set.
std::string ProjHelmert(const EarthFixedSevenParameters& p);

// The export: comment lines ("# ...": the columns and units of input and
// output, eastings without zone number, both parameter sets with their frame
// and convention), then the pipeline on the last line. Input and output in
// the program's column order: x (northing), y (easting), H in metres, or
// latitude, longitude in decimal degrees and H in metres; heights are
// ellipsoidal heights. Lines end with "\n". Throws CommandError when the
// settings or parameters cannot be read, NotExportableError when the scale
// factor 1 + D is not above zero (RequirePositiveScaleFactor).
std::string BursaWolfProjExport(const DatumFields& settings, const SevenParameterFields& parameters);

}  // namespace coordconv
