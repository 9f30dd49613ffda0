// Common root of the arithmetic classes. Persistent classes add their own
// LoadFromFile, LoadFromStream, SaveToFile, SaveToStream (in that order).
#pragma once

namespace rara {

class TRuvObject {
 public:
  virtual ~TRuvObject() = default;
};

}  // namespace rara
