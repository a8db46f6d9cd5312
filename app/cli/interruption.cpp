#include "app/cli/interruption.h"

namespace karuneo::cli {
namespace {

class Never final : public Interruption {
  public:
    int ExitStatus() const override { return 0; }
};

}  // namespace

Interruption& NoInterruption() {
    static Never never;
    return never;
}

}  // namespace karuneo::cli
