// SPDX-License-Identifier: MIT

// WG: administration of the user accounts of a bulletin-board host from
// server-side script pages.
//
// Every command method opens a TCP connection of its own to the host's
// server module, proves the caller's secret phrase, sends one command line,
// reads one reply and classifies it. The outcome comes back as a
// CommandReturn and is also kept in the four result properties until the
// next command. Nothing else survives between calls: no connection, no
// cached settings.
//
// Expected failures (the server refused, an error reply, a key that is too
// long) are never raised: they come back as a negative error_number with a
// fixed error_description (see result_codes.h). Unexpected platform errors
// raise platform::PlatformError and leave the result properties as they
// were: a settings file whose port is not a number (13 or 6), a file that
// cannot be read, a reply value that cannot be read as a number (5, 13, 6).
//
// Where the server lives comes from the settings file (settings_file.h),
// read afresh for every connection.
//
// A WG object is used by one thread at a time; separate objects may run
// sessions at the same time on separate threads.
//
// Script hosts create the class by its programmatic identifier "Morvane.WG"
// and call it by dispatch identifier through the platform::Dispatch
// interface; C++ callers may use the methods directly.

#ifndef TESSALY_MORVANE_WG_H_
#define TESSALY_MORVANE_WG_H_

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "tessaly/morvane/export.h"
#include "tessaly/morvane/records.h"
#include "tessaly/platform/dispatch.h"
#include "tessaly/platform/tcp_socket.h"

namespace morvane {

inline constexpr const char* kWGProgId = "Morvane.WG";

struct Command;

class MORVANE_EXPORT WG : public platform::Dispatch {
 public:
  // A new object: result properties 0, empty, 0, empty.
  WG();

  // Result properties of the last command that completed.
  int32_t error_number() const { return last_.error_object.number; }
  const std::string& error_description() const { return last_.error_object.description; }
  int32_t answer_long() const { return last_.long_value; }
  const std::string& answer_string() const { return last_.string_value; }

  // Identity. UserIDExists answers 1 when the account exists; AuthUser 1
  // when `password` is the account's password.
  CommandReturn UserIDExists(const std::string& secret, const std::string& userid);
  CommandReturn AuthUser(const std::string& secret, const std::string& userid,
                         const std::string& password);

  // Value queries. The number goes to answer_long (the classes to
  // answer_string); a reply value that is no number raises.
  CommandReturn NumberofCredits(const std::string& secret, const std::string& userid);
  CommandReturn NumberOfDays(const std::string& secret, const std::string& userid);
  CommandReturn LastLogin(const std::string& secret, const std::string& userid);
  CommandReturn CreationDate(const std::string& secret, const std::string& userid);
  CommandReturn PrimaryClass(const std::string& secret, const std::string& userid);
  CommandReturn CurrentClass(const std::string& secret, const std::string& userid);
  CommandReturn SystemVariable(const std::string& secret, int32_t sysvar);

  // Confirmed changes: done when answer_long is 1. An unrecognised reply
  // gives error_number 0 with answer_long 0.
  CommandReturn GiveCredits(const std::string& secret, const std::string& userid, int32_t creds);
  CommandReturn GiveDays(const std::string& secret, const std::string& userid, int32_t days);
  CommandReturn SwitchClass(const std::string& secret, const std::string& userid,
                            const std::string& newclass);
  CommandReturn DeleteUser(const std::string& secret, const std::string& userid);
  CommandReturn UnDeleteUser(const std::string& secret, const std::string& userid);
  CommandReturn SuspendUser(const std::string& secret, const std::string& userid);
  CommandReturn UnSuspendUser(const std::string& secret, const std::string& userid);

  // Default-yes commands: answer_long is 1 unless the reply is an error or
  // carries the command's negative marker. Keys longer than 15 characters
  // give -102 without a connection.
  CommandReturn GiveKey(const std::string& secret, const std::string& userid,
                        const std::string& key);
  CommandReturn TakeKey(const std::string& secret, const std::string& userid,
                        const std::string& key);
  CommandReturn HasKey(const std::string& secret, const std::string& userid,
                       const std::string& key);
  CommandReturn HasMaster(const std::string& secret, const std::string& userid);
  CommandReturn IsSuspended(const std::string& secret, const std::string& userid);
  CommandReturn UserOnline(const std::string& secret, const std::string& userid);
  CommandReturn UpdateUserField(const std::string& secret, const std::string& userid, int16_t field,
                                const std::string& newdata);
  CommandReturn AuditMessage(const std::string& secret, const std::string& themessage);

  // Settings, read from the settings file on every call; the defaults
  // (192.168.0.2, 192.168.0.2, 3425) when it is absent from an existing
  // directory. A file that is there but cannot be read (permissions, a
  // dangling link, a directory or FIFO at the path, a missing directory)
  // raises a file PlatformError. GetLocalPort is the port of the server
  // module, the port the connection goes to; it raises 13 or 6 when the
  // stored port is not a 32-bit number.
  std::string GetLocalHost() const;
  int32_t GetLocalPort() const;
  std::string GetRemoteHost() const;

  // A new socket object, configured from the settings and not connected.
  // The three values come from one read of the settings file, so they
  // always belong together. Raises 429 when the socket component is
  // missing, and what the readers above raise.
  std::shared_ptr<platform::TcpSocket> InitWinsock() const;

  // Appends one line to "tarnel.log" in the current directory: the date in
  // the locale's short form, the time as HH:MM, " - " and `data`, written
  // in double quotes and ended with CR LF, in one write. CR and LF in
  // `data` become blanks, so one call is always one record. Replaces
  // `data` with the line (without the quotes) before writing; raises a file PlatformError when
  // the log cannot be written.
  void Logit(std::string& data);

  // platform::Dispatch: the members of the interface _WG by dispatch
  // identifier. Commands return a "CommandReturn" record.
  std::span<const platform::MemberInfo> Members() const override;
  platform::Variant Invoke(platform::DispId id, platform::InvokeKind kind,
                           std::span<platform::Variant> args) override;

 private:
  // Connects, waits for the greeting and proves `secret`.
  ConnectObject OpenSession(const std::string& secret);
  // The frame every command method runs: `args` are the command's
  // arguments after the secret phrase, as the text they are sent as.
  CommandReturn Run(const Command& command, const std::string& secret,
                    std::initializer_list<std::string_view> args);
  CommandReturn Run(const Command& command, const std::string& secret,
                    std::span<const std::string_view> args);

  CommandReturn last_;
};

// The path of the log file Logit appends to.
inline constexpr const char* kLogFileName = "tarnel.log";

}  // namespace morvane

#endif  // TESSALY_MORVANE_WG_H_
