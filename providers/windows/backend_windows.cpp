#include "providers/backends.h"
#include "providers/windows/probes_windows.h"
#include "providers/windows/provider_windows.h"
#include "query/backend.h"

namespace moravel {

Backend makePlatformBackend() {
    return {std::make_unique<windows::ComProvider>(), std::make_unique<windows::Win32Probes>()};
}

}  // namespace moravel
