#pragma once
// An access list for the forwarding pipe that admits only the user the
// driver runs as: the raw touch stream is nobody else's business, and
// another account on the machine must not be able to pose as the
// calibration program.
#include <windows.h>

#include <memory>

namespace brelvin {

class PipeSecurity {
public:
    // Builds the descriptor for the process token's user; Attributes() is
    // null when it could not be built.
    PipeSecurity();

    SECURITY_ATTRIBUTES* Attributes() { return descriptor_ ? &attributes_ : nullptr; }

private:
    struct LocalFreer {
        void operator()(void* memory) const
        {
            if (memory) LocalFree(memory);
        }
    };

    std::unique_ptr<void, LocalFreer> descriptor_;
    SECURITY_ATTRIBUTES attributes_ = {};
};

} // namespace brelvin
