#pragma once
// The expression lexer: C-like tokens read one at a time from a stack of
// input texts. The recognisers are tried in a fixed order and the first one
// that matches at the read position wins (not the longest match); space
// separators between tokens are skipped. The recognisers hold no state and
// are built once per process and shared by all lexers, so a lexer is cheap to
// create.

#include <forward_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "expr/lexer_token.h"
#include "expr/token_kind.h"

namespace vozo {

struct Token {
  TokenKind kind = TOKEN_EOL;
  int precedence = kNoPrecedence;
  std::string_view text;  // valid until the lexer is reset
};

class CStyleLexer {
 public:
  CStyleLexer() = default;

  // The recognisers in the order in which they are tried.
  static std::span<const LexerToken* const> recognisers();

  // Starts reading `text`, which must outlive the tokens read from it. Drops
  // all other inputs. The current token becomes TOKEN_EOL until next().
  void reset(std::string_view text);

  // Continues reading in `text` (a copy kept until the next reset); when it
  // is used up, reading goes on in the input below it.
  void pushInput(std::string text);

  // Number of inputs pushed on top of the one given to reset().
  size_t pushedInputCount() const { return pushed_.size(); }

  // Reads the next token. At the end of the last input it is TOKEN_EOL. When
  // no recogniser matches, reading stops: the token is TOKEN_EOL and
  // unrecognised() holds the rest of the current input.
  const Token& next();

  // The text at which no recogniser matched; empty while reading goes on.
  std::string_view unrecognised() const { return unrecognised_; }

  const Token& current() const { return current_; }

 private:
  struct Input {
    std::string_view text;
    size_t position = 0;
  };

  Input base_;
  std::vector<Input> pushed_;
  std::forward_list<std::string> ownedTexts_;  // stable storage for pushed inputs
  Token current_;
  std::string_view unrecognised_;
};

}  // namespace vozo
