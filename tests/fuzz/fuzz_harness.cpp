// One libFuzzer harness; the build compiles it once per target, naming the
// target in KESTRO_FUZZ_TARGET (see fuzz_targets.h).

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    kestro_fuzz::run_target(kestro_fuzz::Target::KESTRO_FUZZ_TARGET,
                            std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
