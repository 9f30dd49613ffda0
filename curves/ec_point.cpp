// Points of a binary elliptic curve: copies and the stream and file forms.
#include <new>

#include "curves/ec_gf2n.h"
#include "integers/errors.h"
#include "integers/streams.h"

namespace rara {

TGF2NEPoint::TGF2NEPoint(const TGF2NEPoint& other) : TRuvObject(), x_(other.x_), y_(other.y_) {}

std::unique_ptr<TGF2NEPoint> TGF2NEPoint::Clone() const { return std::make_unique<TGF2NEPoint>(*this); }

void TGF2NEPoint::Assign(const TGF2NEPoint& q) {
  if (&q == this) return;
  x_.Assign(q.x_);
  y_.Assign(q.y_);
}

void TGF2NEPoint::SetZero() {
  x_.Clear();
  y_.Clear();
}

void TGF2NEPoint::SaveToStream(TStream& stream) const {
  TStreamPosGuard guard(stream);
  x_.SaveToStream(stream);
  y_.SaveToStream(stream);
  guard.Keep();
}

void TGF2NEPoint::LoadFromStream(TStream& stream) {
  TStreamPosGuard guard(stream);
  // Half a point is worse than none: any failure leaves O.
  try {
    x_.LoadFromStream(stream);
    y_.LoadFromStream(stream);
  } catch (const EStreamError&) {
    SetZero();
    RaiseStreamError(ClassName() + ".LoadFromStream");
  } catch (...) {
    SetZero();
    throw;
  }
  guard.Keep();
}

void TGF2NEPoint::SaveToFile(const std::string& fileName) const {
  RuvSaveToFile(fileName, FileHeader, [this](TStream& s) { SaveToStream(s); });
}

void TGF2NEPoint::LoadFromFile(const std::string& fileName) {
  RuvLoadFromFile(fileName, FileHeader, ClassName(), [this](TStream& s) { LoadFromStream(s); });
}

}  // namespace rara
