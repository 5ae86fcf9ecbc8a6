#include "core/utm.h"

#include <cmath>

#include "core/angles.h"

namespace coordconv {

UtmEllipsoid MakeUtmEllipsoid(long double a, long double f) {
    UtmEllipsoid s{};
    s.a = a;
    s.f = f;
    s.e = std::sqrt(2 * s.f - s.f * s.f);
    s.e2 = s.e * s.e;
    s.ep2 = s.e2 / ((1 - s.f) * (1 - s.f));
    s.e1 = s.f / (2 - s.f);
    return s;
}

namespace {

// 1 - e^2/4 - 3e^4/64 - 5e^6/256: the factor of the latitude in the meridian
// distance, shared by the forward series and the rectifying latitude.
long double MeridianDistanceFactor(long double e2) {
    const long double e4 = e2 * e2;
    const long double e6 = e4 * e2;
    return 1 - e2 / 4 - 3 * e4 / 64 - 5 * e6 / 256;
}

}  // namespace

PlanePoint UtmSeriesForward(const UtmEllipsoid& s, long double latitude, long double longitude_difference) {
    const long double phi = latitude * kDegreesToRadians;
    const long double lambda = longitude_difference * kDegreesToRadians;
    const long double e2 = s.e2;
    const long double e4 = e2 * e2;
    const long double e6 = e4 * e2;
    const long double sin_phi = std::sin(phi);
    const long double cos_phi = std::cos(phi);
    const long double tan_phi = std::tan(phi);

    const long double T = tan_phi * tan_phi;
    const long double C = s.ep2 * cos_phi * cos_phi;
    const long double A = lambda * cos_phi;
    const long double N = s.a / std::sqrt(1 - e2 * sin_phi * sin_phi);
    const long double A2 = A * A;
    const long double A3 = A2 * A;
    const long double A4 = A2 * A2;
    const long double A5 = A4 * A;
    const long double A6 = A4 * A2;

    // Meridian distance from the equator (series in e^2 to e^6).
    const long double M = s.a * (MeridianDistanceFactor(e2) * phi -
                                 (3 * e2 / 8 + 3 * e4 / 32 + 45 * e6 / 1024) * std::sin(2 * phi) +
                                 (15 * e4 / 256 + 45 * e6 / 1024) * std::sin(4 * phi) -
                                 (35 * e6 / 3072) * std::sin(6 * phi));

    PlanePoint p{};
    p.x = kUtmScaleFactor * (M + N * tan_phi *
                                     (A2 / 2 + (5 - T + 9 * C + 4 * C * C) * A4 / 24 +
                                      (61 - 58 * T + T * T + 600 * C - 330 * s.ep2) * A6 / 720));
    p.y = kUtmScaleFactor * N *
              (A + (1 - T + C) * A3 / 6 + (5 - 18 * T + T * T + 72 * C - 58 * s.ep2) * A5 / 120);
    return p;
}

GeodeticOffset UtmSeriesInverse(const UtmEllipsoid& s, long double northing, long double easting) {
    const long double e2 = s.e2;
    const long double e1 = s.e1;
    const long double e1_2 = e1 * e1;
    const long double e1_3 = e1_2 * e1;
    const long double e1_4 = e1_3 * e1;

    const long double M = northing / kUtmScaleFactor;
    const long double mu = M / (s.a * MeridianDistanceFactor(e2));

    // Footpoint latitude from the rectifying latitude mu (closed series).
    const long double phi1 = mu + (3 * e1 / 2 - 27 * e1_3 / 32) * std::sin(2 * mu) +
                             (21 * e1_2 / 16 - 55 * e1_4 / 32) * std::sin(4 * mu) +
                             (151 * e1_3 / 96) * std::sin(6 * mu);

    const long double sin_phi1 = std::sin(phi1);
    const long double cos_phi1 = std::cos(phi1);
    const long double tan_phi1 = std::tan(phi1);
    const long double T1 = tan_phi1 * tan_phi1;
    const long double C1 = s.ep2 * cos_phi1 * cos_phi1;
    const long double w2 = 1 - e2 * sin_phi1 * sin_phi1;
    const long double N1 = s.a / std::sqrt(w2);
    const long double R1 = s.a * (1 - e2) / std::pow(w2, 1.5L);
    const long double D = easting / kUtmScaleFactor / N1;
    const long double D2 = D * D;
    const long double D3 = D2 * D;
    const long double D4 = D2 * D2;
    const long double D5 = D4 * D;
    const long double D6 = D4 * D2;

    const long double phi =
        phi1 - (N1 * tan_phi1 / R1) *
                   (D2 / 2 - (5 + 3 * T1 + 10 * C1 - 4 * C1 * C1 - 9 * s.ep2) * D4 / 24 +
                    (61 + 90 * T1 + 298 * C1 + 45 * T1 * T1 - 252 * s.ep2 - 3 * C1 * C1) * D6 / 720);
    const long double lambda =
        (D - (1 + 2 * T1 + C1) * D3 / 6 + (5 - 2 * C1 + 28 * T1 - 3 * C1 * C1 + 8 * s.ep2 + 24 * T1 * T1) * D5 / 120) /
        cos_phi1;

    GeodeticOffset g{};
    g.latitude = phi * kRadiansToDegrees;
    g.longitude = lambda * kRadiansToDegrees;
    return g;
}

}  // namespace coordconv
