// TGF2N set-up and state: the built-in field polynomials, standard and normal
// set-up with their checks, copying, and the stream and file forms.
#include "gf2/gf2n.h"

#include <bit>
#include <cstring>
#include <new>
#include <string_view>

#include "gf2/gf2_factor.h"
#include "integers/errors.h"
#include "integers/streams.h"

namespace rara {

namespace {

#include "gf2/gf2n_tables_data.inc"

constexpr std::string_view FieldHeader = "Ruv Galois Field GF2N ";

}  // namespace

TGF2N::TGF2N() { SetDefault(); }

TGF2N::~TGF2N() = default;

void TGF2N::SetDefault() {
  GF2SetDegs(fieldPoly_, {2, 1, 0});
  basisConst_.SetWord(3);
  shiftTable_.reset();
  n2sFlat_.clear();
  s2nFlat_.clear();
  n2s_.reset();
  s2n_.reset();
  n_ = 2;
  red_[0] = 0;
  red_[1] = 0;
  red_[2] = 2;
  red_[3] = 1;
  traceOneDeg_ = 1;
  redKind_ = RedTrinomial;
  basisType_ = btStandard;
  hasNormalBasis_ = false;
  checkDegrees_ = true;
  PrepareReduce();
}

std::string TGF2N::BasisTypeName(std::uint8_t basisType) {
  switch (basisType) {
    case btStandard: return "Standard";
    case btNormal: return "Normal";
    default: return "None!?";
  }
}

void TGF2N::SetField(std::uint8_t n, std::uint8_t basis) {
  const std::string name = ClassName() + ".SetField";
  if (n < 2) RaiseInvalidArg(name, "N should be greater than 1");
  if (basis > btNormal) RaiseInvalidArg(name, "Basis should be in [btStandard,btNormal]");
  TGF2Poly p;
  if (basis == btStandard) {
    const unsigned char* k = StandardPolyTable[n - 2];
    if (k[0] == 0)
      GF2SetDegs(p, {n, k[2], 0});
    else
      GF2SetDegs(p, {n, k[0], k[1], k[2], 0});
  } else if (n == 2) {
    GF2SetDegs(p, {2, 1, 0});
  } else if (n == 3) {
    GF2SetDegs(p, {3, 2, 0});
  } else if (n == 4) {
    GF2SetDegs(p, {4, 3, 0});
  } else {
    const unsigned char* ab = NormalPolyTable[n - 5];
    GF2SetDegs(p, {n, n - 1, ab[0], ab[1], 0});
  }
  try {
    if (basis == btStandard)
      SetStandard(p, false);
    else
      SetNormal(p, false);
  } catch (...) {
    // Only an abort can get here; a half-built field must not stay behind.
    SetDefault();
    throw;
  }
}

void TGF2N::SetField(const TGF2Poly& p, std::uint8_t basis, bool check) {
  if (basis > btNormal) RaiseInvalidArg(ClassName() + ".SetField", "Basis should be in [btStandard,btNormal]");
  // P may be this field's own polynomial, which the set-up overwrites.
  const TGF2Poly copy(p);
  try {
    if (basis == btStandard)
      SetStandard(copy, check);
    else
      SetNormal(copy, check);
  } catch (...) {
    SetDefault();
    throw;
  }
}

void TGF2N::SetReduction(bool allowTrinomial) {
  red_[0] = red_[1] = red_[2] = red_[3] = 0;
  shiftTable_.reset();
  const std::int32_t w = fieldPoly_.Weight();
  // Every irreducible polynomial of degree >= 2 has a constant term; without
  // one the word reductions would compute the wrong remainder, so such a
  // polynomial (accepted unchecked) goes the general way.
  const bool constant = fieldPoly_.Coef(0);
  if (constant && w == 3 && allowTrinomial) {
    TDynLongintArray d;
    GF2GetDegs(fieldPoly_, d);
    redKind_ = RedTrinomial;
    red_[2] = d[0];
    red_[3] = d[1];
  } else if (constant && w == 5) {
    TDynLongintArray d;
    GF2GetDegs(fieldPoly_, d);
    redKind_ = RedPentanomial;
    for (int i = 0; i < 4; ++i) red_[i] = d[i];
  } else {
    redKind_ = RedGeneral;
    BuildGeneral();
  }
  PrepareReduce();
}

void TGF2N::BuildGeneral() {
  shiftTable_ = std::make_unique<TGF2ShiftTable>();
  shiftTable_->Build(fieldPoly_);
}

void TGF2N::ComputeSqrtTheta(TGF2Poly& c) const {
  c.SetX();
  for (std::int32_t i = 1; i < n_; ++i) SqrStd(c);
}

void TGF2N::SetStandard(const TGF2Poly& p, bool check) {
  const std::string name = ClassName() + ".SetField";
  // A field needs degree 2 at least; below that nothing here is defined.
  if (p.Degree() < 2) RaiseInvalidArg(name, "N should be greater than 1");
  if (check && !GF2IsIrreducible(p)) RaiseInvalidArg(name, "Polynomial should be irreducible over GF(2)");
  n2s_.reset();
  s2n_.reset();
  n2sFlat_.clear();
  s2nFlat_.clear();
  hasNormalBasis_ = false;
  basisType_ = btStandard;
  fieldPoly_.Assign(p);
  n_ = p.Degree();
  traceOneDeg_ = -1;
  SetReduction(true);
  ComputeSqrtTheta(basisConst_);
}

void TGF2N::SetNormal(const TGF2Poly& p, bool check) {
  const std::string name = ClassName() + ".SetField";
  if (p.Degree() < 2) RaiseInvalidArg(name, "N should be greater than 1");
  if (check && !GF2IsNormal(p)) RaiseInvalidArg(name, "Polynomial should be normal");
  if (!n2s_) n2s_ = std::make_unique<TGF2SqrMatrix>();
  if (!s2n_) s2n_ = std::make_unique<TGF2SqrMatrix>();
  hasNormalBasis_ = true;
  basisType_ = btNormal;
  fieldPoly_.Assign(p);
  n_ = p.Degree();
  traceOneDeg_ = -1;
  SetReduction(false);
  basisConst_.Fill(n_);
  // Column j: standard coordinates of t^(2^j).
  n2s_->SetDimension(0);
  n2s_->SetDimension(n_);
  TUVPoly x;
  x->SetX();
  n2s_->SetCol(0, *x);
  for (std::int32_t j = 1; j < n_; ++j) {
    SqrStd(*x);
    n2s_->SetCol(j, *x);
  }
  s2n_->Assign(*n2s_);
  if (!s2n_->Invert()) {
    SetDefault();
    RaiseInvalidArg(name, "Polynomial should be normal");
  }
  BuildFlat();
}

void TGF2N::BuildFlat() {
  n2sFlat_.clear();
  s2nFlat_.clear();
  if (!hasNormalBasis_) return;
  const std::size_t limbs = static_cast<std::size_t>(n_ >> 6) + 1;
  // Columns first, then the 16 sums of each group of four columns.
  const std::int32_t groups = (n_ + 3) / 4;
  auto flatten = [&](const TGF2SqrMatrix& m, std::vector<std::uint64_t>& flat) {
    std::vector<std::uint64_t> cols(limbs * static_cast<std::size_t>(4 * groups), 0);
    for (std::int32_t i = 0; i < n_; ++i) {
      const TGF2Poly& row = m.Row(i);
      for (std::int32_t j = 0; j < row.Count() * 32 && j < n_; ++j)
        if ((row.Words()[j >> 5] >> (j & 31)) & 1u) cols[j * limbs + (i >> 6)] |= std::uint64_t{1} << (i & 63);
    }
    flat.assign(limbs * 16 * static_cast<std::size_t>(groups), 0);
    for (std::int32_t p = 0; p < groups; ++p)
      for (std::size_t v = 1; v < 16; ++v) {
        // Entry v = entry (v without its lowest bit) + the column of that bit.
        const std::size_t low = static_cast<std::size_t>(std::countr_zero(v));
        std::uint64_t* e = flat.data() + (16 * static_cast<std::size_t>(p) + v) * limbs;
        const std::uint64_t* prev = flat.data() + (16 * static_cast<std::size_t>(p) + (v & (v - 1))) * limbs;
        const std::uint64_t* col = cols.data() + (4 * static_cast<std::size_t>(p) + low) * limbs;
        for (std::size_t k = 0; k < limbs; ++k) e[k] = prev[k] ^ col[k];
      }
  };
  flatten(*n2s_, n2sFlat_);
  flatten(*s2n_, s2nFlat_);
}

void TGF2N::SwitchBasis() {
  if (!hasNormalBasis_)
    RaiseInvalidCall(ClassName() + ".BasisType", "TGF2N instance must have been created with a normal basis");
  basisType_ = basisType_ == btStandard ? btNormal : btStandard;
  if (basisType_ == btNormal)
    basisConst_.Fill(n_);
  else
    ComputeSqrtTheta(basisConst_);
}

void TGF2N::Assign(const TGF2N& f) {
  if (&f == this) return;
  if (f.hasNormalBasis_) {
    if (!n2s_) n2s_ = std::make_unique<TGF2SqrMatrix>();
    if (!s2n_) s2n_ = std::make_unique<TGF2SqrMatrix>();
    n2s_->Assign(*f.n2s_);
    s2n_->Assign(*f.s2n_);
  } else {
    n2s_.reset();
    s2n_.reset();
  }
  hasNormalBasis_ = f.hasNormalBasis_;
  basisType_ = f.basisType_;
  redKind_ = f.redKind_;
  n_ = f.n_;
  for (int i = 0; i < 4; ++i) red_[i] = f.red_[i];
  traceOneDeg_ = f.traceOneDeg_;
  fieldPoly_.Assign(f.fieldPoly_);
  checkDegrees_ = f.checkDegrees_;
  if (f.shiftTable_)
    shiftTable_ = std::make_unique<TGF2ShiftTable>(*f.shiftTable_);
  else
    shiftTable_.reset();
  reduceMethod_ = f.reduceMethod_;
  for (int i = 0; i < 3; ++i) sparseExp_[i] = f.sparseExp_[i];
  sparseCount_ = f.sparseCount_;
  tail_ = f.tail_;
  mu_ = f.mu_;
  n2sFlat_ = f.n2sFlat_;
  s2nFlat_ = f.s2nFlat_;
  basisConst_.Assign(f.basisConst_);
}

// ---------------------------------------------------------------- streams

void TGF2N::SaveToStream(TStream& stream) const {
  TStreamPosGuard guard(stream);
  stream.WriteU8(hasNormalBasis_ ? 1 : 0);
  stream.WriteU8(basisType_);
  stream.WriteU8(redKind_);
  stream.WriteI32(n_);
  for (int i = 0; i < 4; ++i) stream.WriteI32(red_[i]);
  stream.WriteI32(traceOneDeg_);
  fieldPoly_.SaveToStream(stream);
  basisConst_.SaveToStream(stream);
  if (hasNormalBasis_) {
    s2n_->SaveToStream(stream);
    n2s_->SaveToStream(stream);
  }
  stream.WriteU8(checkDegrees_ ? 1 : 0);
  guard.Keep();
}

namespace {

// The reduction routines trust the kind and exponents; a stream that does
// not describe a consistent field must be refused, not used.
bool MatrixFits(const TGF2SqrMatrix& m, std::int32_t n) {
  if (m.Dimension() != n) return false;
  for (std::int32_t i = 0; i < n; ++i)
    if (m.Row(i).Degree() >= n) return false;
  return true;
}

}  // namespace

void TGF2N::LoadFromStream(TStream& stream) {
  TStreamPosGuard guard(stream);
  const std::string name = ClassName() + ".LoadFromStream";
  try {
    TGF2N t;
    const std::uint8_t hasNormal = stream.ReadU8();
    t.basisType_ = stream.ReadU8();
    t.redKind_ = stream.ReadU8();
    t.n_ = stream.ReadI32();
    for (int i = 0; i < 4; ++i) t.red_[i] = stream.ReadI32();
    t.traceOneDeg_ = stream.ReadI32();
    t.fieldPoly_.LoadFromStream(stream);
    t.basisConst_.LoadFromStream(stream);
    t.hasNormalBasis_ = hasNormal != 0;
    if (t.hasNormalBasis_) {
      t.s2n_ = std::make_unique<TGF2SqrMatrix>();
      t.n2s_ = std::make_unique<TGF2SqrMatrix>();
      t.s2n_->LoadFromStream(stream);
      t.n2s_->LoadFromStream(stream);
    } else {
      t.s2n_.reset();
      t.n2s_.reset();
    }
    t.checkDegrees_ = stream.ReadU8() != 0;

    const std::int32_t n = t.n_;
    bool ok = hasNormal <= 1 && t.basisType_ <= btNormal && t.redKind_ <= RedGeneral && n >= 2 &&
              t.fieldPoly_.Degree() == n && t.basisConst_.Degree() < n && t.traceOneDeg_ >= -1 && t.traceOneDeg_ < n &&
              (t.hasNormalBasis_ || t.basisType_ == btStandard);
    if (ok && t.hasNormalBasis_) ok = MatrixFits(*t.s2n_, n) && MatrixFits(*t.n2s_, n);
    if (ok) {
      TDynLongintArray d;
      GF2GetDegs(t.fieldPoly_, d);
      const std::int32_t* r = t.red_;
      switch (t.redKind_) {
        case RedTrinomial:
          ok = d.size() == 3 && d[2] == 0 && r[0] == 0 && r[1] == 0 && r[2] == d[0] && r[3] == d[1];
          break;
        case RedPentanomial:
          ok = d.size() == 5 && d[4] == 0 && r[0] == d[0] && r[1] == d[1] && r[2] == d[2] && r[3] == d[3];
          break;
        default:
          ok = r[0] == 0 && r[1] == 0 && r[2] == 0 && r[3] == 0;
          break;
      }
    }
    if (!ok) RaiseStreamError(name);
    if (t.redKind_ == RedGeneral)
      t.BuildGeneral();
    else
      t.shiftTable_.reset();
    t.PrepareReduce();
    if (t.traceOneDeg_ >= 0) {
      // SolveQuad starts from t^k as an element of trace 1; any other value
      // makes it fail on solvable equations, or search forever.
      TUVPoly mono, tr;
      mono->SetMonomial(t.traceOneDeg_);
      tr->Assign(*mono);
      for (std::int32_t i = 1; i < n; ++i) {
        t.SqrStd(*tr);
        GF2Add(*tr, *mono);
      }
      if (!tr->IsOne()) RaiseStreamError(name);
    }
    // A wrong basis constant gives wrong square roots, wrong matrices wrong
    // conversions: neither can be told from the field's shape.
    if (!t.DerivedDataMatches()) RaiseStreamError(name);
    t.BuildFlat();
    Assign(t);
  } catch (const ERuvAbort&) {
    throw;
  } catch (const ERuv&) {
    RaiseStreamError(name);
  } catch (const EStreamError&) {
    RaiseStreamError(name);
  } catch (const std::bad_alloc&) {
    RaiseStreamError(name);
  }
  guard.Keep();
}

bool TGF2N::DerivedDataMatches() const {
  TGF2Poly c;
  if (basisType_ == btNormal)
    c.Fill(n_);
  else
    ComputeSqrtTheta(c);
  if (!GF2Equal(c, basisConst_)) return false;
  if (!hasNormalBasis_) return true;
  // A polynomial that is not normal raises ERuvInvalidArg here.
  TGF2N fresh;
  fresh.SetNormal(fieldPoly_, false);
  for (std::int32_t i = 0; i < n_; ++i)
    if (!GF2Equal(n2s_->Row(i), fresh.n2s_->Row(i)) || !GF2Equal(s2n_->Row(i), fresh.s2n_->Row(i))) return false;
  return true;
}

void TGF2N::SaveToFile(const std::string& fileName) const {
  RuvSaveToFile(fileName, FieldHeader, [this](TStream& s) { SaveToStream(s); });
}

void TGF2N::LoadFromFile(const std::string& fileName) {
  RuvLoadFromFile(fileName, FieldHeader, ClassName(), [this](TStream& s) { LoadFromStream(s); });
}

}  // namespace rara
