#include "platform/termination_request.h"

namespace platform {

int terminationRequestDescriptor()
{
    return -1;
}

} // namespace platform
