// SPDX-License-Identifier: MIT

// Step-tolerant execution: the user-interface handlers of the control skip
// a step that fails and go on with the next one, reporting nothing.

#ifndef LATTIX_SRC_TOLERANT_H_
#define LATTIX_SRC_TOLERANT_H_

#include <exception>

namespace lattix {

// Runs `step`; an exception it raises is dropped.
template <class Step>
void Tolerant(Step&& step) {
  try {
    step();
  } catch (const std::exception&) {
    // Skipped on purpose: a handler goes on with its next step.
  }
}

}  // namespace lattix

#endif  // LATTIX_SRC_TOLERANT_H_
