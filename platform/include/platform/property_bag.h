// Property bags: where a control saves its persisted properties and reads
// them back when its form is loaded again.
//
// A bag maps property names to Variants. Writers pass a default with every
// value; readers pass a default that is returned when the name is absent.
// A bag may leave out a value that equals its default, so a reader must
// give the same default the writer gave.

#ifndef PLATFORM_PROPERTY_BAG_H_
#define PLATFORM_PROPERTY_BAG_H_

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/component.h"
#include "platform/export.h"
#include "platform/variant.h"

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

// True when `value` equals `default_value` once the default is converted to
// the value's type (so the Long 1 equals the Boolean true). Never raises.
PLATFORM_EXPORT bool EqualsDefault(const Variant& value, const Variant& default_value);

// A bag in memory that keeps every write, defaults included, in the order
// of writing. For tests and for hosts that copy properties between objects.
class PLATFORM_EXPORT MemoryPropertyBag : public PropertyBag {
 public:
  struct Entry {
    std::string name;
    Variant value;
    Variant default_value;
  };

  Variant ReadProperty(std::string_view name, const Variant& default_value) override;
  // Keeps the value even when it equals its default; a rewritten name moves
  // to the end of Entries().
  void WriteProperty(std::string_view name, const Variant& value,
                     const Variant& default_value) override;

  // Stores a value without a default, as a form file that holds it would.
  void Set(std::string_view name, Variant value);

  // Every stored property in the order written.
  const std::vector<Entry>& Entries() const { return entries_; }

 private:
  std::vector<Entry> entries_;
};

// A bag kept in a text file, one property a line:
//
//   # comment
//   ForeColor=Long:-2147483640
//   Border3D=Boolean:False
//   Pos1=Single:192
//   Caption=String:"two \"words\"\n"
//
// Types are Integer, Long, Single, Boolean (True, False or a number) and
// String (quoted, with the escapes \\ \" \n \r \t). Values equal to their
// default are left out. The file is UTF-8.
class PLATFORM_EXPORT FilePropertyBag : public PropertyBag {
 public:
  // An empty bag that Save() writes to `path`.
  explicit FilePropertyBag(std::string path);

  // A bag holding what the file at `path` stores. A missing file gives an
  // empty bag; lines that cannot be read are skipped (the property then
  // takes its default) and counted in SkippedLines(). Raises the file error
  // when the file exists but cannot be read.
  static FilePropertyBag Load(const std::string& path);

  Variant ReadProperty(std::string_view name, const Variant& default_value) override;
  // Raises PlatformError 5 for a name that is empty or holds '=', a line
  // end or a leading '#', and 13 for an object, a record or an empty value.
  void WriteProperty(std::string_view name, const Variant& value,
                     const Variant& default_value) override;

  // Writes the bag to its file, replacing the file only once the new
  // content is complete. Raises the file error when that fails.
  void Save() const;

  // The bag's content as the file holds it.
  std::string ToText() const;

  const std::string& path() const { return path_; }
  int SkippedLines() const { return skipped_lines_; }

 private:
  std::string path_;
  std::vector<std::pair<std::string, Variant>> values_;
  int skipped_lines_ = 0;
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

#endif  // PLATFORM_PROPERTY_BAG_H_
