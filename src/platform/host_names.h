#pragma once
// How the preprocessor's host macros name the system vozo runs on.

#include <string_view>

namespace vozo::platform {

struct HostNames {
  std::string_view arch;              // HostArch
  std::string_view archClass;         // HostArchClass
  std::string_view os;                // HostOS
  std::string_view executable;        // HostEXE: an executable's file extension
  std::string_view libraryExtension;  // HostDLLExt
  std::string_view library;           // HostDLL
};

HostNames hostNames();

}  // namespace vozo::platform
