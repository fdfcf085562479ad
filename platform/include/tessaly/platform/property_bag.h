// SPDX-License-Identifier: MIT

// Property bags: where a control saves its persisted properties and reads
// them back when its form is loaded again.
//
// A bag maps property names to Variants. Writers pass a default with every
// value; readers pass a default that is returned when the name is absent.
// A bag may leave out a value that equals its default, so a reader must
// give the same default the writer gave.

#ifndef TESSALY_PLATFORM_PROPERTY_BAG_H_
#define TESSALY_PLATFORM_PROPERTY_BAG_H_

#include <string_view>

#include "tessaly/platform/component.h"
#include "tessaly/platform/export.h"
#include "tessaly/platform/variant.h"

namespace platform {

class PLATFORM_EXPORT PropertyBag {
 public:
  virtual ~PropertyBag() = default;

  // The value stored under `name` (names are matched exactly), or
  // `default_value` when the bag holds none.
  virtual Variant ReadProperty(std::string_view name, const Variant& default_value) = 0;

  // Stores `value` under `name`, replacing any earlier value of that name.
  // `default_value` is the value a reader gets when the name is absent; the
  // bag may leave `value` out when it equals that default. Raises
  // PlatformError 13 for a value the bag cannot hold.
  virtual void WriteProperty(std::string_view name, const Variant& value,
                             const Variant& default_value) = 0;
};

// An object that saves its properties to a bag and loads them back
// (implemented by controls for the hosts that keep forms).
class PLATFORM_EXPORT PersistPropertyBag : public virtual Component {
 public:
  // Gives the object the properties of a new instance.
  virtual void InitNew() = 0;
  // Loads the object's properties from `bag`; raises what reading raises.
  virtual void Load(PropertyBag& bag) = 0;
  // Writes the object's properties to `bag`.
  virtual void Save(PropertyBag& bag) = 0;
};

}  // namespace platform

#endif  // TESSALY_PLATFORM_PROPERTY_BAG_H_
