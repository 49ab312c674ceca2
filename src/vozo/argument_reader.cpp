#include "vozo/argument_reader.h"

#include "expr/h_exception.h"

namespace vozo {

std::optional<std::string> ArgumentReader::next(std::string_view missingMessage) {
  if (position_ < arguments_.size()) return std::move(arguments_[position_++]);
  if (!missingMessage.empty()) throw HException(std::string(missingMessage));
  return std::nullopt;
}

}  // namespace vozo
