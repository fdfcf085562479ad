// SPDX-License-Identifier: MIT

// The plain-text file an AccountBook is kept in (docs/wgsim-accounts.md).
//
// UTF-8 text in sections: [classes] lists class names one per line,
// [system] holds "NUMBER = VALUE" lines, and each [user ID] section holds
// "name = value" lines for one account. Blank lines and lines starting
// with '#' are ignored. A value is taken as it stands, blanks around it
// removed, unless it is written in double quotes with backslash escapes;
// the writer quotes exactly the values that need it, so every book it
// writes reads back equal.

#ifndef WGSIM_SRC_ACCOUNT_FILE_H_
#define WGSIM_SRC_ACCOUNT_FILE_H_

#include <stdexcept>
#include <string>
#include <string_view>

#include "account_book.h"

namespace wgsim {

// A file that does not follow the format. what() is "SOURCE:LINE: reason".
class AccountFileError : public std::runtime_error {
 public:
  AccountFileError(const std::string& source, int line, const std::string& reason);
  // The line of the fault, counting from 1; 0 for a fault of the whole file.
  int line() const { return line_; }

 private:
  int line_;
};

// The book written in `text`. `source` names the text in error messages
// (normally the file's path). Raises AccountFileError at the first fault:
// an unknown section or attribute, a number that is not a 32-bit whole
// number, negative credits or days, a class that [classes] does not list,
// a user ID, class or key name the protocol could not carry, a user listed
// twice, text that is not UTF-8.
AccountBook ParseAccountFile(std::string_view text, const std::string& source);

// `book` as the text of an account file. Comments are not kept.
std::string FormatAccountFile(const AccountBook& book);

}  // namespace wgsim

#endif  // WGSIM_SRC_ACCOUNT_FILE_H_
