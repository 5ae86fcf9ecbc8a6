#include "core/geocentric.h"

#include <cmath>

#include "core/angles.h"

namespace coordconv {

Cartesian GeodeticToCartesian(long double a, long double f, long double B, long double L, long double H) {
    const long double b = B * kDegreesToRadians;
    const long double l = L * kDegreesToRadians;
    const long double e2 = 2 * f - f * f;
    const long double sin_b = std::sin(b);
    const long double n = a / std::sqrt(1 - e2 * sin_b * sin_b);
    Cartesian c{};
    c.X = (n + H) * std::cos(b) * std::cos(l);
    c.Y = (n + H) * std::cos(b) * std::sin(l);
    c.Z = (n * (1 - e2) + H) * sin_b;
    return c;
}

Geodetic CartesianToGeodetic(long double a, long double f, long double X, long double Y, long double Z) {
    const long double e2 = 2 * f - f * f;
    const long double ep2 = e2 / ((1 - f) * (1 - f));
    const long double k = e2 / (2 - e2);
    const long double r = std::sqrt(X * X + Y * Y + Z * Z);
    const long double s = Z * Z / (r * r);  // squared sine of the geocentric latitude
    const long double q = 4 * (s - s * s);  // squared sine of twice that latitude
    const long double n0 = a / std::sqrt(1 + ep2 * s);
    const long double h = (r - n0) * (1 - k * k * q / 2);
    const long double n = a / std::sqrt(1 - e2 * (s + k * q));
    const long double tan_b = Z / std::sqrt(X * X + Y * Y) * (1 + e2 / (h / n + 1 - e2));
    Geodetic g{};
    g.B = std::atan(tan_b) * kRadiansToDegrees;
    g.L = std::atan2(Y, X) * kRadiansToDegrees;
    g.H = h;
    return g;
}

long double Azimuth(long double x1, long double y1, long double x2, long double y2) {
    const long double dx = x2 - x1;
    const long double dy = y2 - y1;
    long double alpha = std::fabs(dx) >= std::fabs(dy) ? std::fabs(std::atan(dy / dx))
                                                        : kPi / 2 - std::fabs(std::atan(dx / dy));
    if (dx < 0 && dy >= 0) {
        alpha = kPi - alpha;
    } else if (dx < 0 && dy < 0) {
        alpha = kPi + alpha;
    } else if (dx >= 0 && dy < 0) {
        alpha = 2 * kPi - alpha;
    }
    return alpha;
}

}  // namespace coordconv
