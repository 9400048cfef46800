// A build without an adapter library: the USB link lists no adapters.
#include "platform/ftdi_api.h"

namespace vr410 {

std::unique_ptr<FtdiApi> CreateSystemFtdiApi() {
    return nullptr;
}

} // namespace vr410
