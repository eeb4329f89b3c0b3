// The two ways to read udev's records: through libudev on the running machine, and from the
// record files of a fixture tree (tests/data/linux/*/run/udev/data) with the byte parser.
#pragma once

#include <memory>

#include "providers/linux/system/linux_context.h"

namespace moravel::lx {

// libudev's records when `fs` is the live machine ("/"), else the record files below its root.
std::unique_ptr<UdevRecords> makeUdevRecords(const RootFs& fs);

// The record files alone, for the test that holds them to libudev's records.
std::unique_ptr<UdevRecords> makeUdevRecordFiles(RootFs fs);

}  // namespace moravel::lx
