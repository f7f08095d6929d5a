// The session of the host-mode tests is all in its header.
#include "host_test_support.h"
