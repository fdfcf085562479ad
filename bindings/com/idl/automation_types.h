// SPDX-License-Identifier: MIT

// What the header widl writes from morvane.idl includes for the automation
// types that automation_types.idl declares: the system's own.

#ifndef MORVANE_COM_AUTOMATION_TYPES_H_
#define MORVANE_COM_AUTOMATION_TYPES_H_

#include <oaidl.h>

#endif  // MORVANE_COM_AUTOMATION_TYPES_H_
