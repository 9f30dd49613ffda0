// The RARA_VERIFY build's check around each step of the construction record:
// when the step ends, every integer and polynomial of the record is in normal
// form, its field elements are reduced where the field checks degrees, and
// this thread's scratch pools hold as many items in use as when it began
// (after an error or an abort too, which checks only the pools).
#pragma once

#include "engine/construction.h"

namespace rara {

#ifdef RARA_VERIFY

void VerifyRecord(const TECGF2Data& data, const char* where);

class TVerifyStep {
 public:
  TVerifyStep(const TECGF2Data& data, const char* step);
  ~TVerifyStep();
  TVerifyStep(const TVerifyStep&) = delete;
  TVerifyStep& operator=(const TVerifyStep&) = delete;

 private:
  const TECGF2Data& data_;
  const char* step_;
  int integers_;
  int polys_;
  int exceptions_;
};

#else

inline void VerifyRecord(const TECGF2Data&, const char*) {}

class TVerifyStep {
 public:
  TVerifyStep(const TECGF2Data&, const char*) {}
  ~TVerifyStep() {}
  TVerifyStep(const TVerifyStep&) = delete;
  TVerifyStep& operator=(const TVerifyStep&) = delete;
};

#endif

}  // namespace rara
