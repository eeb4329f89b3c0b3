// Values that change by themselves between two reads of an unchanged machine (free space, the
// battery's charge, cycles and full capacity, a disk's hours, wear, errors and verdict until it
// says failing, temperatures, the last boot, the current clock, a printer's state, the memory in
// use, a network's addresses and link), held still, so a comparison can tell them from changes
// of the hardware.
#pragma once

#include "query/backend.h"

namespace moravel {

// A view of a backend that stays where it is and must outlive the result: each value that
// changes by itself reads as a value-less one and the memory status as zero, the same on
// every machine; every other answer passes unchanged.
Backend makeSteadyView(WmiProvider& provider, SystemProbes& probes);

}  // namespace moravel
