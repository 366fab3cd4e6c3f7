// Storage of the bound lock-state addresses (see LockStateRefs.h).
#include "system/LockStateRefs.h"

namespace {
// Zero-initialised before any dynamic initialiser runs, so a binding made while another
// file's statics are being initialised is never overwritten.
LockStateRefs gRefs;
}

void BindLockState(const LockStateRefs& refs) { gRefs = refs; }

const LockStateRefs& BoundLockState() { return gRefs; }
