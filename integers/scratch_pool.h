// Per-thread pools of scratch objects (integers here, polynomials in gf2/),
// with a process-wide registry of the pools of all threads. Items are taken
// with Get and given back with Back; TUVHold does both for a scope.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "integers/errors.h"

namespace rara {

// Runs at shut-down of the arithmetic runtime, latest registered first.
using TRuvShutdownHook = void (*)();
void RuvAddShutdownHook(TRuvShutdownHook hook);

// Unit supplies: static constexpr const char* Name (e.g. "Integers").
template <class T, class Unit>
class TScratchPool {
 public:
  struct TUnitVars {
    std::vector<std::unique_ptr<T>> Items;
    std::vector<std::uint8_t> InUse;
    int Count = 0;
    int Used = 0;
    std::thread::id ThreadId{};
    bool Registered = false;

    ~TUnitVars() {
      if (Registered) {
        std::lock_guard<std::mutex> lock(Mutex());
        auto& list = List();
        for (auto it = list.begin(); it != list.end(); ++it)
          if (*it == this) { list.erase(it); break; }
      }
    }
  };

  static T& Get() {
    TUnitVars& uv = Vars();
    if (!uv.Registered) Register(uv);
    int index;
    if (uv.Used == uv.Count) {
      index = uv.Count;
      uv.Count += 8;
      uv.Items.reserve(uv.Count);
      for (int i = 0; i < 8; ++i) uv.Items.push_back(std::make_unique<T>());
      uv.InUse.resize(uv.Count, 0);
    } else {
      index = 0;
      while (uv.InUse[index]) ++index;
    }
    uv.InUse[index] = 1;
    ++uv.Used;
    return *uv.Items[index];
  }

  // Null is ignored; an item already free is harmless; the value is kept.
  static void Back(const T* x) {
    if (x == nullptr) return;
    TUnitVars& uv = Vars();
    if (!uv.Registered) RaiseRuv(std::string(Unit::Name) + ".UVBack: UnitVars not registered");
    for (int i = 0; i < uv.Count; ++i) {
      if (uv.Items[i].get() == x) {
        if (uv.InUse[i]) { uv.InUse[i] = 0; --uv.Used; }
        return;
      }
    }
    RaiseRuv(std::string(Unit::Name) + ".UVBack: Unknown integer");
  }

  // Frees the pools of all registered threads (shut-down).
  static void ReleaseAll() {
    std::lock_guard<std::mutex> lock(Mutex());
    for (TUnitVars* uv : List()) {
      while (!uv->Items.empty()) uv->Items.pop_back();  // last to first
      uv->InUse.clear();
      uv->Count = 0;
      uv->Used = 0;
      uv->ThreadId = std::thread::id{};
      uv->Registered = false;
    }
    List().clear();
  }

  static int RegisteredCount() {
    std::lock_guard<std::mutex> lock(Mutex());
    return static_cast<int>(List().size());
  }
  static const TUnitVars& ThreadVars() { return Vars(); }

 private:
  static TUnitVars& Vars() {
    static thread_local TUnitVars uv;
    return uv;
  }
  static std::mutex& Mutex() {
    static std::mutex m;
    return m;
  }
  static std::vector<TUnitVars*>& List() {
    static std::vector<TUnitVars*> list;
    return list;
  }
  static void Register(TUnitVars& uv) {
    bool first;
    {
      std::lock_guard<std::mutex> lock(Mutex());
      uv.ThreadId = std::this_thread::get_id();
      uv.Registered = true;
      first = !Hooked();
      Hooked() = true;
      List().push_back(&uv);
    }
    if (first) RuvAddShutdownHook(&ReleaseAll);
  }
  static bool& Hooked() {
    static bool hooked = false;
    return hooked;
  }
};

// Holds one pool item for a scope and gives it back at the end, also when an
// exception passes.
template <class Pool, class T>
class TUVHold {
 public:
  TUVHold() : item_(&Pool::Get()) {}
  ~TUVHold() { Pool::Back(item_); }
  TUVHold(const TUVHold&) = delete;
  TUVHold& operator=(const TUVHold&) = delete;
  T& operator*() const { return *item_; }
  T* operator->() const { return item_; }
  T& get() const { return *item_; }

 private:
  T* item_;
};

}  // namespace rara
