// SPDX-License-Identifier: MIT

#include "closed_port.h"

#include "loopback.h"

namespace testing_support {

ClosedPort::ClosedPort() : holder_(BindLoopback(port_, kDoNotListen, "closed port")) {}

}  // namespace testing_support
