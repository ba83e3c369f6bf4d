#include "TestRegistry.h"

namespace lexiphon::testing {

// Every test has a fresh hive and file system of its own: nothing to guard
// and nothing to keep.
void RequireThrowawayPrefix() {}

std::unique_ptr<TestRegistry> TestRegistry::Create() {
  return CreateMemory(Machine::Program64);
}

}  // namespace lexiphon::testing
