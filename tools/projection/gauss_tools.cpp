#include "tools/projection/gauss_tools.h"

#include <cmath>

#include "core/ellipsoid.h"
#include "core/errors.h"
#include "core/gauss_kruger.h"
#include "core/number_text.h"
#include "tools/projection/projection_point_conversions.h"

namespace coordconv {

GaussSettings ReadGaussSettings(const GaussFields& fields) {
    return ReadGaussPlaneSystem(fields.a, fields.inverse_flattening, fields.central_meridian, fields.y_constant);
}

RowConversion GaussForwardConversion(const GaussFields& fields) {
    return GeodeticToPlaneRowConversion(GaussForwardPointConversion(fields));
}

RowConversion GaussInverseConversion(const GaussFields& fields) {
    return PlaneToGeodeticRowConversion(GaussInversePointConversion(fields));
}

}  // namespace coordconv
