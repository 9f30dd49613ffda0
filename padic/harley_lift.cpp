// Harley's lift. With Y = σ(X), σ(Ξ) = F(Ξ) reads G(X, Y) = 0 for
// G = Y + 4Y^2 + 8XY + 32XY^2 − X^2, which is (1+8X)(1+8Y)^2 − (1+4X)^2
// divided by 16. From X correct modulo 2^n, X + 2^n·Δ is correct modulo
// 2^(2n) when G_Y·σ(Δ) + G_X·Δ ≡ −G(X, σX)/2^n modulo 2^n, that is
// σ(Δ) = α·Δ + β with α = −G_X/G_Y (divisible by 2, as G_X = 8Y + 32Y^2 − 2X)
// and β = −G/(2^n·G_Y). That equation is solved modulo 2^k by solving it
// modulo 2^(k/2), then for the residual (α·Δ0 + β − σ(Δ0))/2^(k/2): one
// product and one reduction a node, the leaves square roots in the field
// (σ is squaring modulo 2).
#include "padic/harley_lift.h"

#include <algorithm>
#include <vector>

#include "integers/break.h"

namespace rara {

namespace {

int WordsFor(int bits) { return (bits + 63) / 64; }

// dst := src, of srcWords words, at the ring's width.
void Narrow(const TZqRing& ring, TZqElem& dst, const TZqElem& src, int srcWords) {
  dst = src;
  ring.Resize(dst, srcWords);
}

// D := Δ with σ(Δ) ≡ α·Δ + β modulo 2^k, at WordsFor(k) words (the ring is
// left at that width); α and β at aw >= WordsFor(k) words.
void SolveFrobenius(TZqRing& ring, TZqElem& d, const TZqElem& alpha, const TZqElem& beta, int aw, int k,
                    const TGF2N& field) {
  const int wk = WordsFor(k);
  RuvBreak();
  if (k == 1) {
    TGF2Poly e;
    ring.SetWords(aw);
    ring.ToGF2(e, beta);
    field.SqrRoot(e);
    ring.SetWords(1);
    ring.FromGF2(d, e);
    return;
  }
  const int half = (k + 1) / 2;
  TZqElem d0;
  SolveFrobenius(ring, d0, alpha, beta, aw, half, field);
  ring.SetWords(wk);
  TZqElem a, bt, r;
  Narrow(ring, d, d0, WordsFor(half));
  Narrow(ring, a, alpha, aw);
  Narrow(ring, bt, beta, aw);
  ring.FrobeniusResidual(r, a, d, bt);  // divisible by 2^half
  ring.Shr(r, half);
  TZqElem d1;
  SolveFrobenius(ring, d1, a, r, wk, k - half, field);
  ring.SetWords(wk);
  ring.Resize(d1, WordsFor(k - half));
  ring.Shl(d1, half);
  ring.Add(d, d1);
}

// Z := A^(−1) for A ≡ 1 mod 8, at the ring's width w: Newton's
// Z := Z·(2 − A·Z), each iteration at the width of the bits it reaches.
void InverseOfOneMod8(TZqRing& ring, TZqElem& z, const TZqElem& a) {
  const int w = ring.Words();
  TZqElem an, e, two;
  ring.SetWords(1);
  ring.SetSmall(z, 1);
  int zw = 1;
  for (int bits = 3; bits < 64 * w; bits *= 2) {
    const int nw = WordsFor(std::min(2 * bits, 64 * w));
    ring.SetWords(nw);
    ring.Resize(z, zw);
    zw = nw;
    Narrow(ring, an, a, w);
    ring.Mul(e, an, z);
    ring.SetSmall(two, 2);
    ring.Sub(two, e);
    ring.Mul(z, z, two);
  }
  ring.SetWords(w);
  ring.Resize(z, zw);
}

}  // namespace

void HarleyLift(TZqRing& ring, TZqElem& x, const TGF2N& field, const TGF2Poly& b, int m) {
  std::vector<int> precs;
  for (int k = m; k > 1; k = (k + 1) / 2) precs.push_back(k);
  ring.SetWords(1);
  ring.FromGF2(x, b);
  int w = 1, prec = 1;
  TZqElem y, xy, y2, x2, g, t, gx, gy, inv, alpha, beta, d;
  for (auto it = precs.rbegin(); it != precs.rend(); ++it) {
    RuvBreak();
    const int n2 = *it, w2 = WordsFor(n2), k = n2 - prec, wk = WordsFor(k);
    ring.SetWords(w2);
    ring.Resize(x, w);
    w = w2;
    ring.Frobenius(y, x);
    ring.Mul(xy, x, y);
    ring.Sqr(y2, y);
    ring.Sqr(x2, x);
    ring.Mul(g, xy, y);  // XY^2
    ring.Shl(g, 5);
    t = xy;
    ring.Shl(t, 3);
    ring.Add(g, t);
    t = y2;
    ring.Shl(t, 2);
    ring.Add(g, t);
    ring.Add(g, y);
    ring.Sub(g, x2);
    ring.Shr(g, prec);  // G(X, σX)/2^n
    // G_X = 8Y + 32Y^2 − 2X, G_Y = 1 + 8Y + 8X + 64XY
    gx = y2;
    ring.Shl(gx, 2);
    ring.Add(gx, y);
    ring.Shl(gx, 3);
    t = x;
    ring.Shl(t, 1);
    ring.Sub(gx, t);
    gy = xy;
    ring.Shl(gy, 3);
    ring.Add(gy, x);
    ring.Add(gy, y);
    ring.Shl(gy, 3);
    ring.AddSmall(gy, 1);
    ring.SetWords(wk);
    ring.Resize(g, w2);
    ring.Resize(gx, w2);
    ring.Resize(gy, w2);
    InverseOfOneMod8(ring, inv, gy);
    ring.Mul(alpha, gx, inv);
    ring.Neg(alpha);
    ring.Mul(beta, g, inv);
    ring.Neg(beta);
    SolveFrobenius(ring, d, alpha, beta, wk, k, field);
    ring.SetWords(w2);
    ring.Resize(d, wk);
    ring.Shl(d, prec);
    ring.Add(x, d);
    prec = n2;
  }
  ring.SetWords(w);
}

}  // namespace rara
