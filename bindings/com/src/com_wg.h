// SPDX-License-Identifier: MIT

// The class Morvane.WG as an automation object: the interface _WG over the
// gateway's WG. Each method of _WG (declared in wg_members.inc, which the
// build writes from WG's member table) forwards to WG::Invoke by dispatch
// identifier; this class only converts the values on the way.

#ifndef MORVANE_COM_COM_WG_H_
#define MORVANE_COM_COM_WG_H_

#include <array>
#include <type_traits>
#include <utility>

#include "automation_object.h"
#include "com_values.h"
#include "morvane.h"
#include "tessaly/morvane/wg.h"
#include "tessaly/platform/dispatch.h"

namespace morvane::com {

class ComWG final : public AutomationObject<_WG> {
 public:
  ComWG() = default;

#include "wg_members.inc"

  // Members with a record result go to CallWithRecordResult (see there);
  // every other call goes through the type library.
  STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                      VARIANT* result, EXCEPINFO* exception, UINT* bad_argument) override;

 private:
  // Wine's ITypeInfo::Invoke cannot pass records, so a command called late
  // is run here from WG's member table: the arguments converted to the
  // parameters' types, the command run as its method would, and the
  // CommandReturn handed back as a record of the type library.
  HRESULT CallWithRecordResult(const platform::MemberInfo& member, DISPPARAMS* params,
                               VARIANT* result, EXCEPINFO* exception, UINT* bad_argument);

  // Calls member `id` of the gateway's WG with `arguments`, stores its
  // result in `result` (nullptr for a member without one) and writes the
  // arguments the member replaces back to the caller, also when the member
  // raises after replacing them.
  template <class ResultPtr, class... Params>
  HRESULT Forward(platform::DispId id, platform::InvokeKind kind, ResultPtr result,
                  Params*... arguments) {
    if constexpr (!std::is_null_pointer_v<ResultPtr>) {
      if (result == nullptr) return E_POINTER;
    }
    return Guard(L"Morvane.WG", [&] {
      std::array<platform::Variant, sizeof...(Params)> values = {FromCom(arguments)...};
      platform::Variant value;
      try {
        value = wg_.Invoke(id, kind, values);
      } catch (...) {
        WriteBackReplaced(id, values, arguments...);
        throw;
      }
      WriteBackReplaced(id, values, arguments...);
      if constexpr (!std::is_null_pointer_v<ResultPtr>) StoreResult(value, result);
    });
  }

  template <size_t N, class... Params>
  void WriteBackReplaced(platform::DispId id, const std::array<platform::Variant, N>& values,
                         Params*... arguments) {
    const platform::MemberInfo* member = platform::FindMember(wg_.Members(), id);
    if (member == nullptr) return;
    [[maybe_unused]] size_t index = 0;
    (
        [&] {
          if (index < member->params.size() && member->params[index].written) {
            WriteBack(values[index], arguments);
          }
          ++index;
        }(),
        ...);
  }

  WG wg_;
};

}  // namespace morvane::com

#endif  // MORVANE_COM_COM_WG_H_
