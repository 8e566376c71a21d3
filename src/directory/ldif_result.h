#pragma once
// Result codes of our LDIF-backed directory client. The client calls answer 0 on success
// and one of these on failure; each failure has its own code, so that the start-up's
// "<call> Failed (<code>)" box tells which one it was. LdifDirectory::LastError() gives
// the full text (file, line, what is wrong) for the load failures.
#include <cstdint>

namespace zeb::dirresult {

constexpr std::int32_t kOk = 0;

// Loading the directory file; DXCallsInit answers with these.
constexpr std::int32_t kFileMissing = -1001;     // the file cannot be opened or read
constexpr std::int32_t kMalformedLdif = -1002;   // a line, a value or a DN is not valid
constexpr std::int32_t kDuplicateEntry = -1003;  // a DN twice, or two same-named entries
                                                 // in one container
constexpr std::int32_t kMisplacedEntry = -1004;  // placed under an alias, or a "t=" record
                                                 // with more than the tree's name
constexpr std::int32_t kAliasToNothing = -1005;  // no aliasedObjectName; in a look-up: the
                                                 // alias leads to no entry of the file
constexpr std::int32_t kAliasLoop = -1006;       // following aliases comes back to one
constexpr std::int32_t kNothingBelowBase = -1007;  // no entry lies below the base DN

// Calls made in the wrong state or with bad arguments.
constexpr std::int32_t kNotInitialised = -1010;    // DXCallsInit has not succeeded
constexpr std::int32_t kUnknownContext = -1011;    // no such context handle
constexpr std::int32_t kUnknownContextKey = -1012; // a context key other than flags or name
constexpr std::int32_t kNameTooLong = -1013;       // a name context over 256 characters

// Name look-ups.
constexpr std::int32_t kNoSuchEntry = -1020;  // the name denotes no entry
// The object's name cannot be written in the program's byte strings: a character outside
// the code page, or a "." or "\" inside one of its names.
constexpr std::int32_t kNameNotWritable = -1021;

}  // namespace zeb::dirresult
