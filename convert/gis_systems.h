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
int StandardEpsgCode(const CoordinateSystem& system);

// "EPSG:<code>" for a national system, else the system as WKT; accepted by
// GDAL's OGRSpatialReference::SetFromUserInput.
std::string SystemDefinition(const CoordinateSystem& system);

// Empty when the declared system (any text SetFromUserInput reads: WKT,
// "EPSG:n", PROJ string) is `expected`: same ellipsoid and, for plane
// systems, same central meridian, scale factor, false easting and zone
// number. Otherwise a message that says what differs, e.g. that the layer is
// already CGCS2000 or lies on another meridian.
std::string CheckDeclaredSystem(const std::string& declared, const CoordinateSystem& expected);

}  // namespace coordconv
