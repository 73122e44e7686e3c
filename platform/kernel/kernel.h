// Everything the kernel layer offers.
#pragma once

#include "kernel/clock.h"
#include "kernel/errors.h"
#include "kernel/lasterror.h"
#include "kernel/machine_root.h"
#include "kernel/memory.h"
#include "kernel/misc.h"
#include "kernel/strings.h"
#include "kernel/sync.h"
#include "kernel/thread.h"
#include "kernel/types.h"
#include "kernel/version.h"
