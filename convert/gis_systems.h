// A tool's coordinate systems as GDAL and PROJ name them: the EPSG code of
// a national system (CGCS2000, Xi'an 1980, Beijing 1954 on their 3° and 6°
// Gauss-Krüger zones, with and without the zone number; their geographic
// systems and WGS 84), otherwise a WKT projected system built from the
// ellipsoid, central meridian and false easting; and the check of a layer's
// declared system against the system a tool expects.
#pragma once

#include <string>

#include "core/coordinate_system.h"

namespace coordconv {

// The EPSG code of `system` when it is one of the national systems, else 0.
// The datum is known by its ellipsoid (a, 1/f) among the presets of the
// ellipsoid boxes: CGCS2000 4490, Xi'an 1980 4610, Beijing 1954 4214 and
// WGS 84 4326 for geodetic coordinates. Plane coordinates of the first three
// on Gauss-Krüger zones (scale 1, false easting 500 000 m): 3° zone 25-45
// with the zone number in the easting when it is that of the meridian (zone
// 39, 117°E: CGCS2000 4527), 6° zone 13-23 likewise (zone 20, 117°E: 4498),
// and without a zone number the 3° series' code of the meridian (117°E:
// 4548; the 6° meridians are 3° meridians too and the definitions are the
// same). WGS 84 on UTM zones (scale 0.9996, false northing 0 or 10 000 000 m):
// 326nn and 327nn. A custom ellipsoid, another meridian, scale, false easting
// or northing, or a zone number that is not the meridian's give 0.
int StandardEpsgCode(const CoordinateSystem& system);

// "EPSG:<code>" for a national system, else the system as WKT (a transverse
// Mercator projected system on the ellipsoid, the zone number in the false
// easting; the geographic base by its EPSG code for a preset ellipsoid);
// accepted by GDAL's OGRSpatialReference::SetFromUserInput. Empty for a plane
// system whose central meridian is not known (see WithDeclaredMeridian).
std::string SystemDefinition(const CoordinateSystem& system);

// Empty when the declared system (any text SetFromUserInput reads: WKT,
// "EPSG:n", PROJ string) is `expected`: same ellipsoid and, for plane
// systems, same central meridian, scale factor, false easting and zone
// number. Otherwise a message that says what differs, e.g. that the layer is
// already CGCS2000 or lies on another meridian. Every easting's zone number
// is dropped before the conversions take off the false easting, so a zone
// number on one side only passes when it is the zone of the meridian (3° or
// 6°). An unknown meridian (central_meridian_known false) is not compared.
// The message is Chinese, for the error box and the CLI alike.
std::string CheckDeclaredSystem(const std::string& declared, const CoordinateSystem& expected);

// `systems` with the central meridian of the declared transverse Mercator
// system put into every plane side whose meridian the tool does not know
// (the compensation tool); unchanged when the declared system is not one.
ConversionSystems WithDeclaredMeridian(const ConversionSystems& systems, const std::string& declared);

}  // namespace coordconv
