#pragma once

// The Mixer and Meter blocks are handed to the driver as they lie in memory,
// and the driver reads them as little-endian values.
#if defined(__BYTE_ORDER__) && defined(__ORDER_LITTLE_ENDIAN__)
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__,
              "the driver's blocks are little-endian; this host is not");
#endif
