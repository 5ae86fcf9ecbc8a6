#include "core/ellipsoid.h"

#include <cmath>

#include "core/errors.h"
#include "core/number_text.h"

namespace coordconv {

MeridianArcCoefficients MeridianArc(long double e2) {
    const long double e4 = e2 * e2;
    const long double e6 = e4 * e2;
    const long double e8 = e6 * e2;
    const long double e10 = e8 * e2;
    const long double e12 = e10 * e2;
    const long double e14 = e12 * e2;
    MeridianArcCoefficients c{};
    c.A = 1 + 3.0L / 4 * e2 + 45.0L / 64 * e4 + 175.0L / 256 * e6 + 11025.0L / 16384 * e8 +
          43659.0L / 65536 * e10 + 693693.0L / 1048576 * e12 + 19324305.0L / 29360128 * e14;
    c.B1 = 3.0L / 4 * e2 + 45.0L / 64 * e4 + 175.0L / 256 * e6 + 11025.0L / 16384 * e8 + 43659.0L / 65536 * e10 +
           693693.0L / 1048576 * e12 + 19324305.0L / 29360128 * e14;
    c.C1 = 15.0L / 32 * e4 + 175.0L / 384 * e6 + 3675.0L / 8192 * e8 + 14553.0L / 32768 * e10 +
           231231.0L / 524288 * e12 + 920205.0L / 2097152 * e14;
    c.D1 = 35.0L / 96 * e6 + 735.0L / 2048 * e8 + 14553.0L / 40960 * e10 + 231231.0L / 655360 * e12 +
           184041.0L / 524288 * e14;
    c.E1 = 315.0L / 1024 * e8 + 6237.0L / 20480 * e10 + 99099.0L / 327680 * e12 + 552123.0L / 1835008 * e14;
    return c;
}

namespace {

// B1 sin B + C1 sin^3 B + D1 sin^5 B + E1 sin^7 B, the periodic part of the
// meridian arc.
long double ArcSineSeries(const MeridianArcCoefficients& c, long double sin_b) {
    const long double s3 = sin_b * sin_b * sin_b;
    const long double s5 = s3 * sin_b * sin_b;
    const long double s7 = s5 * sin_b * sin_b;
    return c.B1 * sin_b + c.C1 * s3 + c.D1 * s5 + c.E1 * s7;
}

}  // namespace

GaussKrugerEllipsoid MakeGaussKrugerEllipsoid(long double a, long double f) {
    GaussKrugerEllipsoid g{};
    g.a = a;
    g.f = f;
    g.e2 = 2 * f - f * f;
    g.arc = MeridianArc(g.e2);
    return g;
}

PlanePoint GaussForward(long double a, long double f, long double latitude, long double longitude_difference) {
    return GaussForward(MakeGaussKrugerEllipsoid(a, f), latitude, longitude_difference);
}

GeodeticOffset GaussInverse(long double a, long double f, long double x, long double y) {
    return GaussInverse(MakeGaussKrugerEllipsoid(a, f), x, y);
}

PlanePoint GaussForward(const GaussKrugerEllipsoid& ellipsoid, long double latitude, long double longitude_difference) {
    const long double a = ellipsoid.a;
    const long double f = ellipsoid.f;
    const long double e2 = ellipsoid.e2;
    const long double ep2 = e2 / ((1 - f) * (1 - f));
    const MeridianArcCoefficients& c = ellipsoid.arc;
    const long double b = latitude * kDegreesToRadians;
    const long double l = longitude_difference * kDegreesToRadians;
    const long double sin_b = std::sin(b);
    const long double cos_b = std::cos(b);
    const long double t = sin_b / cos_b;
    const long double t2 = t * t;
    const long double eta2 = ep2 * cos_b * cos_b;
    const long double n = a / std::sqrt(1 - e2 * sin_b * sin_b);
    const long double m = l * cos_b;
    const long double m2 = m * m;

    const long double arc = a * (1 - e2) * (c.A * b - cos_b * ArcSineSeries(c, sin_b));

    PlanePoint p{};
    p.x = arc + n * t *
                    (m2 / 2 + (5 - t2 + 9 * eta2 + 4 * eta2 * eta2) * m2 * m2 / 24 +
                     (61 - 58 * t2 + t2 * t2) * m2 * m2 * m2 / 720);
    p.y = n * (m + (1 - t2 + eta2) * m2 * m / 6 +
               (5 - 18 * t2 + t2 * t2 + 14 * eta2 - 58 * t2 * eta2) * m2 * m2 * m / 120);
    return p;
}

GeodeticOffset GaussInverse(const GaussKrugerEllipsoid& ellipsoid, long double x, long double y) {
    const long double a = ellipsoid.a;
    const long double f = ellipsoid.f;
    const long double e2 = ellipsoid.e2;
    const MeridianArcCoefficients& c = ellipsoid.arc;
    const long double r = a * (1 - e2);
    const long double F = c.A * r;

    // Footpoint latitude by fixed-point iteration on the meridian arc.
    long double bf = x / F;
    for (int step = 0;; ++step) {
        if (step == kMaxFootpointIterations) {
            RaiseFloatingPointErrors();
            throw CommandError(kFootpointNotConvergingText);
        }
        const long double next = (x + r * std::cos(bf) * ArcSineSeries(c, std::sin(bf))) / F;
        const bool settled = std::fabs(next - bf) <= 1e-10L;
        bf = next;
        if (settled) break;
    }

    const long double ep2 = e2 / ((1 - f) * (1 - f));
    const long double t = std::tan(bf);
    const long double t2 = t * t;
    const long double cos_bf = std::cos(bf);
    const long double sin_bf = std::sin(bf);
    const long double eta2 = ep2 * cos_bf * cos_bf;
    const long double n = a / std::sqrt(1 - e2 * sin_bf * sin_bf);
    const long double u = y / n;
    const long double u2 = u * u;

    GeodeticOffset g{};
    g.latitude = bf * kRadiansToDegrees -
                 (u2 - (5 + 3 * t2 + eta2 - 9 * eta2 * t2) * u2 * u2 / 12 + (61 + 90 * t2 + 45 * t2 * t2) * u2 * u2 * u2 / 360) *
                     (1 + eta2) / 2 * t * kRadiansToDegrees;
    g.longitude = (u - (1 + 2 * t2 + eta2) * u2 * u / 6 +
                   (5 + 28 * t2 + 24 * t2 * t2 + 6 * eta2 + 8 * eta2 * t2) * u2 * u2 * u / 120) /
                  cos_bf * kRadiansToDegrees;
    return g;
}

EllipsoidNumbers ReadEllipsoidNumbers(const std::string& a, const std::string& inverse_flattening) {
    EllipsoidNumbers numbers{};
    numbers.a = TextToNumber(a);
    numbers.inverse_flattening = TextToNumber(inverse_flattening);
    return numbers;
}

EllipsoidAxes MakeEllipsoidAxes(const EllipsoidNumbers& numbers) {
    EllipsoidAxes axes{};
    axes.a = numbers.a;
    axes.f = 1 / numbers.inverse_flattening;
    RaiseFloatingPointErrors();
    return axes;
}

EllipsoidAxes ReadEllipsoid(const std::string& a, const std::string& inverse_flattening) {
    return MakeEllipsoidAxes(ReadEllipsoidNumbers(a, inverse_flattening));
}

}  // namespace coordconv
