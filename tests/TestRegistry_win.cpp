#include "TestRegistry.h"
#include "registry/WindowsRegistry_win.h"

namespace lexiphon::testing {
namespace {

class RealTestRegistry : public TestRegistry {
 public:
  RegistryApi& Api() override { return registry_; }
  bool IsReal() const override { return true; }

 private:
  WindowsRegistry registry_;
};

}  // namespace

std::unique_ptr<TestRegistry> TestRegistry::Create() {
  return std::make_unique<RealTestRegistry>();
}

}  // namespace lexiphon::testing
