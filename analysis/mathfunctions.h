#pragma once

// The special functions the distributions need, from Boost.Math under a policy that never
// throws: a value that does not exist comes back as NaN or an infinity, which every caller
// checks before it shows anything.

// Φ⁻¹(p), the standard normal quantile to full double precision; NaN outside [0, 1].
double StandardNormalQuantile(double p);
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
