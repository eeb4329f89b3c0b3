// Win32_Printer: the queues of the local CUPS scheduler.
#include "providers/linux/classes/readers.h"

namespace moravel::lx {

ObjectList readPrinters(const LinuxContext& context) {
    ObjectList objects;
    for (const PrinterInfo& printer : context.host.printers()) {
        newObject(objects)
            .add("Caption", [printer] { return WmiValue::string(printer.name); })
            .add("Name", [printer] { return WmiValue::string(printer.name); })
            .add("DeviceID", [printer] { return WmiValue::string(printer.name); })
            .add("HorizontalResolution", [printer] { return uint32OrNull(printer.horizontalResolution); })
            .add("VerticalResolution", [printer] { return uint32OrNull(printer.verticalResolution); })
            .add("PrinterStatus", [printer] { return uint32OrNull(printer.status); });
    }
    return objects;
}

}  // namespace moravel::lx
