// Compensation height plane ("抵偿高程面确定及投影变换"): a local reference
// surface at the height where the reduction of distances to the surface
// cancels the Gauss projection distortion of the survey area, and the
// conversion of Gauss plane coordinates onto an ellipsoid of the same
// flattening whose surface lies at that height.
//
// Three commands, usable in any order, each reading the boxes as they stand:
//   the plane step ("计算" of the plane group): deformation per km and plane
//   height;
//   the axis step ("计算" of the new ellipsoid group): the new semi-major
//   axis a2;
//   the conversion ("转换计算"): name,x,y on the source ellipsoid to name,x,y
//   on the new one.
// The new ellipsoid keeps the source's flattening (its 1/f box always shows
// the source's text). The Y constant is a false easting and no other box
// follows it.
#pragma once

#include <string>

#include "core/ellipsoid.h"
#include "core/point_conversion.h"
#include "table/row_conversion.h"

namespace coordconv {

// The window opens on "1980西安坐标系".
inline constexpr int kCompensationInitialSystemIndex = 0;

// The texts of the window's boxes.
struct CompensationFields {
    std::string a1 = kCoordinateSystemPresets[kCompensationInitialSystemIndex].semi_major_axis_text;  // source semi-major axis, metres
    std::string inverse_flattening = kCoordinateSystemPresets[kCompensationInitialSystemIndex].inverse_flattening_text;  // 1/f of both ellipsoids
    std::string y_constant = "500000";  // false easting in metres
    std::string mean_latitude = "0";    // mean latitude of the area, packed ddd.mmss
    std::string mean_height = "0";      // mean geodetic height in metres
    std::string mean_distance = "0";    // mean distance from the central meridian in metres
    std::string plane_height = "0";     // geodetic height of the compensation plane in metres
    std::string a2;                     // new semi-major axis in metres (empty reads 0)
};

// Mean radius of curvature sqrt(M N) (metres) at latitude B (radians) on the
// ellipsoid a (metres), flattening f; M = (1 - e^2) a / (1 - e^2 sin^2 B)^1.5,
// N = a / sqrt(1 - e^2 sin^2 B).
long double MeanRadiusOfCurvature(long double a, long double f, long double latitude);

// The figures of the plane step.
struct CompensationPlane {
    long double deformation;  // projection deformation per kilometre, millimetres
    long double height;       // geodetic height of the compensation plane, metres
};
// From the mean radius R, the mean height Hm and the mean distance ym from
// the central meridian: d1 = -1000 Hm / R, d2 = (ym / R)^2 (d1 + 1000) / 2,
// deformation = (d1 + d2) * 1000, height = Hm - ym^2 / (2 R).
CompensationPlane ComputeCompensationPlane(long double mean_radius, long double mean_height, long double mean_distance);

// Semi-major axis (metres) of the ellipsoid of flattening f whose mean radius
// of curvature at latitude B (radians) is R + Hd:
// a2 = (1 - e^2 sin^2 B) (Hd + R) / sqrt(1 - e^2).
long double CompensatedSemiMajorAxis(long double f, long double latitude, long double mean_radius, long double plane_height);

// The texts the plane step writes: the deformation rounded to 2 decimals
// with "mm" appended, the plane height rounded to whole metres.
struct CompensationPlaneTexts {
    std::string deformation;  // deformation per km, e.g. "-12.34mm"
    std::string height;       // compensation plane height, e.g. "312"
};
// Reads a1, 1/f, mean latitude, mean distance, mean height in this order.
CompensationPlaneTexts ComputeCompensationPlaneTexts(const CompensationFields& fields);

// The text the axis step writes into the new semi-major axis box: a2 rounded
// to 10 decimals, from the plane height as it stands in its box (the rounded
// text the plane step wrote, or what the user typed over it).
std::string ComputeNewSemiMajorAxisText(const CompensationFields& fields);

// The conversion as numbers, plane to plane (H kept); the steps below. Its
// systems: Gauss-Krüger on (a1, f) and on (a2, f) with the Y constant, the
// central meridian not known (central_meridian_known false) as no box names it.
PointConversion CompensationPointConversion(const CompensationFields& fields);

// Point by point: drop the zone number and the Y constant, Gauss inverse on
// (a1, f), shift the latitude by dB = e^2 sin B cos B (a2 - a1) / (M W), Gauss
// forward on (a2, f), add the Y constant; x2, y2 rounded to 4 decimals, the
// name is copied. Reads a1, 1/f, Y constant, a2 in this order.
RowConversion CompensationConversion(const CompensationFields& fields);

}  // namespace coordconv
