#pragma once

namespace platform {

// A descriptor that becomes readable when the system asks the process to end
// (SIGINT, SIGTERM or SIGHUP on POSIX), so that the event loop can quit in an
// orderly way instead of being killed mid-write. Installs the handlers on the
// first call. Returns -1 where no such request exists (a Windows GUI process
// ends through its tray menu).
int terminationRequestDescriptor();

} // namespace platform
