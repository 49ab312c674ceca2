#include "linkscript/script_size_limit.h"

#include "expr/h_exception.h"

namespace vozo {

void checkScriptSize(const std::string& text) {
  if (text.size() > kMaxScriptBytes) {
    throw HException("the linker script is larger than " + std::to_string(kMaxScriptBytes >> 20) +
                     " MiB, the limit for the output");
  }
}

}  // namespace vozo
