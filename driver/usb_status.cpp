#include "driver/usb_status.h"

#include "platform/little_endian.h"

UsbStatus UsbStatus::unpack(const Reply& reply)
{
    UsbStatus status;
    status.field0 = platform::le::getU16(&reply[0]);
    status.field1 = reply[2];
    status.errorCount = platform::le::getU32(&reply[3]);
    return status;
}
