#include "query/backend.h"
#include "query/windows/probes_windows.h"
#include "query/windows/provider_windows.h"

namespace moravel {

Backend makePlatformBackend() {
    return {std::make_unique<windows::ComProvider>(), std::make_unique<windows::Win32Probes>()};
}

}  // namespace moravel
