#include "expr/c_style_lexer.h"

#include <array>
#include <memory>

#include "expr/form_lexer_token.h"

namespace vozo {

namespace {

// The process-wide recogniser table, with, for every possible first byte,
// the recognisers (in table order) that can begin with it.
class RecogniserTable {
 public:
  RecogniserTable() {
    using Category = CategoryLexerToken::Category;
    const int none = kNoPrecedence;
    add<CategoryLexerToken>(Category::SpaceSeparator, TOKEN_SPACE, none);
    add<CStyleStringLiteralLexerToken>(TOKEN_STRING, none);
    using Form = FormLexerToken::Form;
    add<FormLexerToken>(Form::HexInteger, TOKEN_HEXINTEGER, none);
    add<FormLexerToken>(Form::BinaryInteger, TOKEN_BININTEGER, none);
    add<FormLexerToken>(Form::Float, TOKEN_FLOAT, none);
    add<FormLexerToken>(Form::Integer, TOKEN_INTEGER, none);
    add<FormLexerToken>(Form::Identifier, TOKEN_IDENT, none);
    add<FormLexerToken>(Form::Register, TOKEN_REGISTER, none);
    text(";", TOKEN_SEMICOLON, none);
    text("::", TOKEN_COLONCOLON, none);
    text(":", TOKEN_COLON, none);
    text("(", TOKEN_LPAREN, none);
    text(")", TOKEN_RPAREN, none);
    text("[", TOKEN_LBRACK, none);
    text("]", TOKEN_RBRACK, none);
    text("{", TOKEN_LCURLY, none);
    text("}", TOKEN_RCURLY, none);
    text(".", TOKEN_DOT, none);
    text("->", TOKEN_POINTSAT, none);
    text("++", TOKEN_INCREMENT, none);
    text("--", TOKEN_DECREMENT, none);
    text("!=", TOKEN_NE, 5);
    text("!", TOKEN_LOGNOT, none);
    text("~", TOKEN_BITNOT, none);
    text("*=", TOKEN_STAR_ASSIGN, -3);
    text("*", TOKEN_STAR, 9);
    text("/=", TOKEN_DIV_ASSIGN, -3);
    text("/", TOKEN_SLASH, 9);
    text("%=", TOKEN_MOD_ASSIGN, -3);
    text("%", TOKEN_MOD, 9);
    text("+=", TOKEN_PLUS_ASSIGN, -3);
    text("+", TOKEN_PLUS, 8);
    text("-=", TOKEN_MINUS_ASSIGN, -3);
    text("-", TOKEN_MINUS, 8);
    text("<<=", TOKEN_LSHIFT_ASSIGN, -3);
    text("<<", TOKEN_LSHIFT, 7);
    text(">>>=", TOKEN_ARSHIFT_ASSIGN, -3);
    text(">>>", TOKEN_ARSHIFT, 7);
    text(">>=", TOKEN_RSHIFT_ASSIGN, -3);
    text(">>", TOKEN_RSHIFT, 7);
    text("<=", TOKEN_LE, 6);
    text("<", TOKEN_LT, 6);
    text(">=", TOKEN_GE, 6);
    text(">", TOKEN_GT, 6);
    text("==", TOKEN_EQ, 5);
    text("^=", TOKEN_BITXOR_ASSIGN, -3);
    text("^", TOKEN_BITXOR, 3);
    text("&=", TOKEN_BITAND_ASSIGN, -3);
    text("&&", TOKEN_LOGAND, 1);
    text("&", TOKEN_BITAND, 4);
    text("|=", TOKEN_BITOR_ASSIGN, -3);
    text("||", TOKEN_LOGOR, 0);
    text("|", TOKEN_BITOR, 2);
    text("?", TOKEN_CONDITION, -1);
    text("=", TOKEN_ASSIGN, -2);
    text(",", TOKEN_COMMA, -4);

    // One flat list of candidates, grouped by first byte: counted first,
    // then filled, so the table costs two allocations instead of one per
    // byte that some recogniser can begin with.
    // Each recogniser's first bytes are asked for once (the space
    // separators' set takes a pass over all 256 bytes).
    ordered_.reserve(owned_.size());
    std::vector<ByteSet> firstBytes;
    firstBytes.reserve(owned_.size());
    for (const auto& recogniser : owned_) {
      ordered_.push_back(recogniser.get());
      firstBytes.push_back(recogniser->firstBytes());
      firstBytes.back().forEach([&](unsigned char byte) { ++groupStart_[byte + 1]; });
    }
    for (size_t byte = 0; byte < 256; ++byte) groupStart_[byte + 1] += groupStart_[byte];
    byFirstByte_.resize(groupStart_[256]);
    std::array<uint16_t, 256> filled{};
    for (size_t i = 0; i < ordered_.size(); ++i) {
      firstBytes[i].forEach([&](unsigned char byte) {
        byFirstByte_[groupStart_[byte] + filled[byte]++] = ordered_[i];
      });
    }
  }

  std::span<const LexerToken* const> all() const { return ordered_; }
  std::span<const LexerToken* const> candidates(unsigned char byte) const {
    return std::span<const LexerToken* const>(byFirstByte_)
        .subspan(groupStart_[byte], groupStart_[byte + 1] - groupStart_[byte]);
  }

 private:
  template <class T, class... Args>
  void add(Args&&... args) {
    owned_.push_back(std::make_unique<T>(std::forward<Args>(args)...));
  }

  void text(std::string_view text, TokenKind kind, int precedence) {
    if (text.size() == 1) {
      add<CharacterLexerToken>(text.front(), kind, precedence);
    } else {
      add<StringLexerToken>(text, kind, precedence);
    }
  }

  std::vector<std::unique_ptr<LexerToken>> owned_;
  std::vector<const LexerToken*> ordered_;
  // The candidates for byte b are byFirstByte_[groupStart_[b]] up to
  // byFirstByte_[groupStart_[b + 1]], in table order.
  std::array<uint16_t, 257> groupStart_{};
  std::vector<const LexerToken*> byFirstByte_;
};

const RecogniserTable& recogniserTable() {
  static const RecogniserTable table;
  return table;
}

}  // namespace

std::span<const LexerToken* const> CStyleLexer::recognisers() {
  return recogniserTable().all();
}

void CStyleLexer::reset(std::string_view text) {
  base_ = Input{text, 0};
  pushed_.clear();
  ownedTexts_.clear();
  current_ = Token{};
  unrecognised_ = {};
}

void CStyleLexer::pushInput(std::string text) {
  ownedTexts_.push_front(std::move(text));
  pushed_.push_back(Input{ownedTexts_.front(), 0});
}

const Token& CStyleLexer::next() {
  const RecogniserTable& table = recogniserTable();
  for (;;) {
    Input& input = pushed_.empty() ? base_ : pushed_.back();
    if (input.position >= input.text.size()) {
      if (pushed_.empty()) {
        current_ = Token{};
        return current_;
      }
      pushed_.pop_back();
      continue;
    }
    const std::string_view rest = input.text.substr(input.position);
    const LexerToken* found = nullptr;
    size_t length = 0;
    for (const LexerToken* recogniser : table.candidates(static_cast<unsigned char>(rest[0]))) {
      length = recogniser->match(rest);
      if (length != 0) {
        found = recogniser;
        break;
      }
    }
    if (found == nullptr) {
      unrecognised_ = rest;
      current_ = Token{};
      return current_;
    }
    input.position += length;
    if (found->kind() == TOKEN_SPACE) continue;
    current_ = Token{found->kind(), found->precedence(), rest.substr(0, length)};
    return current_;
  }
}

}  // namespace vozo
