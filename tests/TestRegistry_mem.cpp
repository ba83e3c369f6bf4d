#include "TestRegistry.h"
#include "registry/MemoryRegistry.h"

namespace lexiphon::testing {
namespace {

class MemoryTestRegistry : public TestRegistry {
 public:
  RegistryApi& Api() override { return hive_; }
  bool IsReal() const override { return false; }

 private:
  MemoryRegistry hive_;
};

}  // namespace

std::unique_ptr<TestRegistry> TestRegistry::Create() {
  return std::make_unique<MemoryTestRegistry>();
}

}  // namespace lexiphon::testing
