#include "xml/split_list.h"

namespace vozo {

std::vector<std::string> splitEscapedList(std::string_view text, char separator, char escape,
                                          bool keepEmpty) {
  std::vector<std::string> items;
  std::string current;
  auto finishItem = [&] {
    if (!current.empty() || keepEmpty) items.push_back(std::move(current));
    current.clear();
  };
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == escape && i + 1 < text.size()) {
      current += text[++i];
    } else if (c == separator) {
      finishItem();
    } else {
      current += c;
    }
  }
  finishItem();
  return items;
}

std::vector<std::string_view> splitPlain(std::string_view text, char separator, bool keepEmpty) {
  std::vector<std::string_view> items;
  size_t begin = 0;
  while (true) {
    size_t end = text.find(separator, begin);
    std::string_view item =
        text.substr(begin, end == std::string_view::npos ? text.npos : end - begin);
    if (!item.empty() || keepEmpty) items.push_back(item);
    if (end == std::string_view::npos) break;
    begin = end + 1;
  }
  return items;
}

}  // namespace vozo
