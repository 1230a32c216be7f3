#pragma once

// The special functions the distributions need, from Boost.Math under a policy that never
// throws: a value that does not exist comes back as NaN or an infinity, which every caller
// checks before it shows anything.

// Φ⁻¹(p), the standard normal quantile to full double precision; NaN outside [0, 1].
double StandardNormalQuantile(double p);
// Φ(z), the standard normal distribution function: 0 and 1 at the infinities, NaN for NaN.
double StandardNormalCdf(double z);
// P(shape, x) and Q(shape, x) = 1 − P, the regularized incomplete gamma functions, for x ≥ 0.
double GammaP(double shape, double x);
double GammaQ(double shape, double x);
// The x with P(shape, x) = p, P the regularized lower incomplete gamma function.
double GammaPInverse(double shape, double p);
// The x with Q(shape, x) = q, Q = 1 − P (accurate where P is near 1).
double GammaQInverse(double shape, double q);
// W₋₁(x), the lower branch of Lambert's W, for −1/e ≤ x < 0.
double LambertWLower(double x);
// erf⁻¹(x) for −1 < x < 1.
double ErfInverse(double x);
double Erf(double x);
// Γ(1 + x) − 1, accurate near x = 0.
double Gamma1pm1(double x);
