#include "app/engine/answer_check.h"

#include <algorithm>
#include <string>

#include "app/engine/expression.h"

namespace quadrivo {
namespace {

constexpr std::size_t kMaxDigits = 18;  // 10^18 - 1 fits 64 bits with room for a sign
constexpr std::size_t kMaxTokens = 256;  // keeps every recursion over the expression shallow
constexpr std::int64_t kTarget = 24;

enum class Kind { number, plus, minus, times, divided_by, open, close, end };

struct Token {
  Kind kind = Kind::end;
  std::string text;    // as typed (GBK), for messages
  std::string digits;  // a number's digits in ASCII
};

// What a malformed input reports; thrown nowhere, carried back by value.
struct Failure {
  Malformation malformation;
  std::string symbol;
};

// One character of the input: its meaning and its bytes.
struct Symbol {
  enum class Meaning { digit, blank, plus, minus, times, divided_by, open, close, power, other } meaning;
  char digit = 0;
  std::string text;
};

struct FullWidth {
  unsigned char lead, trail;
  Symbol::Meaning meaning;
};

// Two-byte GBK characters that are read; A3 B0..B9 (the full-width digits) are handled apart.
constexpr FullWidth kFullWidth[] = {
    {0xA3, 0xAB, Symbol::Meaning::plus},        // ＋
    {0xA3, 0xAD, Symbol::Meaning::minus},       // －
    {0xA3, 0xAA, Symbol::Meaning::times},       // ＊
    {0xA3, 0xAF, Symbol::Meaning::divided_by},  // ／
    {0xA3, 0xA8, Symbol::Meaning::open},        // （
    {0xA3, 0xA9, Symbol::Meaning::close},       // ）
    {0xA3, 0xDE, Symbol::Meaning::power},       // ＾
    {0xA1, 0xC1, Symbol::Meaning::times},       // ×
    {0xA1, 0xC2, Symbol::Meaning::divided_by},  // ÷
    {0xA1, 0xA1, Symbol::Meaning::blank},       // ideographic space
};

Symbol::Meaning ascii_meaning(char c) {
  switch (c) {
    case ' ': case '\t': case '\r': case '\n': return Symbol::Meaning::blank;
    case '+': return Symbol::Meaning::plus;
    case '-': return Symbol::Meaning::minus;
    case '*': case 'x': case 'X': return Symbol::Meaning::times;
    case '/': return Symbol::Meaning::divided_by;
    case '(': return Symbol::Meaning::open;
    case ')': return Symbol::Meaning::close;
    case '^': return Symbol::Meaning::power;
    default: return c >= '0' && c <= '9' ? Symbol::Meaning::digit : Symbol::Meaning::other;
  }
}

// The next character of GBK text at position, one or two bytes.
Symbol read_symbol(std::string_view text, std::size_t& position) {
  const auto lead = static_cast<unsigned char>(text[position]);
  if (lead < 0x80 || position + 1 >= text.size()) {
    Symbol symbol{ascii_meaning(text[position]), text[position], std::string(1, text[position])};
    ++position;
    if (lead >= 0x80) symbol.meaning = Symbol::Meaning::other;  // a lead byte cut off
    return symbol;
  }
  const auto trail = static_cast<unsigned char>(text[position + 1]);
  Symbol symbol{Symbol::Meaning::other, 0, std::string(text.substr(position, 2))};
  position += 2;
  if (lead == 0xA3 && trail >= 0xB0 && trail <= 0xB9) {
    symbol.meaning = Symbol::Meaning::digit;
    symbol.digit = static_cast<char>('0' + (trail - 0xB0));
    return symbol;
  }
  for (const FullWidth& known : kFullWidth) {
    if (known.lead == lead && known.trail == trail) symbol.meaning = known.meaning;
  }
  return symbol;
}

Kind kind_of(Symbol::Meaning meaning) {
  switch (meaning) {
    case Symbol::Meaning::plus: return Kind::plus;
    case Symbol::Meaning::minus: return Kind::minus;
    case Symbol::Meaning::times: return Kind::times;
    case Symbol::Meaning::divided_by: return Kind::divided_by;
    case Symbol::Meaning::open: return Kind::open;
    default: return Kind::close;
  }
}

bool is_star(const Symbol& symbol) { return symbol.text == "*" || symbol.text == "\xA3\xAA"; }

// Splits the text into tokens; a blank only separates. Fails on a character that is not read and
// on a power.
std::optional<Failure> tokenize(std::string_view text, std::vector<Token>& tokens) {
  std::size_t position = 0;
  bool after_blank = true;
  std::optional<Symbol> previous;
  while (position < text.size()) {
    Symbol symbol = read_symbol(text, position);
    switch (symbol.meaning) {
      case Symbol::Meaning::other: return Failure{Malformation::unknown_symbol, symbol.text};
      case Symbol::Meaning::power: return Failure{Malformation::power, symbol.text};
      case Symbol::Meaning::blank: after_blank = true; previous.reset(); continue;
      case Symbol::Meaning::digit:
        if (after_blank || tokens.empty() || tokens.back().kind != Kind::number) tokens.push_back({Kind::number, {}, {}});
        tokens.back().text += symbol.text;
        tokens.back().digits += symbol.digit;
        break;
      default:
        if (previous && is_star(*previous) && is_star(symbol)) {
          return Failure{Malformation::power, previous->text + symbol.text};
        }
        tokens.push_back({kind_of(symbol.meaning), symbol.text, {}});
        break;
    }
    after_blank = false;
    previous = std::move(symbol);
    if (tokens.size() > kMaxTokens) return Failure{Malformation::too_long, {}};
  }
  tokens.push_back({Kind::end, {}, {}});
  return std::nullopt;
}

// Recursive descent over the tokens: expression = term {(+|-) term}, term = factor {(×|÷) factor},
// factor = number | - number | ( expression ).
class Parser {
 public:
  explicit Parser(const std::vector<Token>& tokens) : tokens_(tokens) {}

  // The root node, or the first fault.
  std::optional<Failure> parse(ExpressionNodes& nodes, int& root) {
    nodes_ = &nodes;
    root = expression();
    if (!failure_ && peek().kind != Kind::end) fail_after_operand();
    return failure_;
  }

 private:
  const Token& peek() const { return tokens_[next_]; }
  const Token& take() { return tokens_[next_ < tokens_.size() - 1 ? next_++ : next_]; }

  int fail(Malformation malformation, std::string symbol) {
    if (!failure_) failure_ = Failure{malformation, std::move(symbol)};
    return -1;
  }

  // An operand was read and what follows is neither an operator nor the end of its level.
  void fail_after_operand() {
    const Token& token = peek();
    if (token.kind == Kind::close) {
      fail(Malformation::unbalanced, token.text);
    } else {
      fail(Malformation::missing_operator, token.text);
    }
  }

  int combine(Operator op, int left, int right) {
    nodes_->push_back(ExpressionNode{0, op, left, right});
    return static_cast<int>(nodes_->size()) - 1;
  }

  int expression() {
    int left = term();
    while (!failure_ && (peek().kind == Kind::plus || peek().kind == Kind::minus)) {
      const Operator op = take().kind == Kind::plus ? Operator::add : Operator::subtract;
      const int right = term();
      if (failure_) break;
      left = combine(op, left, right);
    }
    return left;
  }

  int term() {
    int left = factor();
    while (!failure_ && (peek().kind == Kind::times || peek().kind == Kind::divided_by)) {
      const Operator op = take().kind == Kind::times ? Operator::multiply : Operator::divide;
      const int right = factor();
      if (failure_) break;
      left = combine(op, left, right);
    }
    return left;
  }

  int factor() {
    const Token& token = take();
    switch (token.kind) {
      case Kind::number: return number(token, false);
      case Kind::minus:
        if (peek().kind == Kind::number) return number(take(), true);
        return fail(Malformation::sign_not_before_number, token.text);
      case Kind::open: {
        const int inner = expression();
        if (failure_) return -1;
        if (peek().kind == Kind::close) {
          take();
          return inner;
        }
        if (peek().kind == Kind::end) return fail(Malformation::unbalanced, token.text);
        fail_after_operand();
        return -1;
      }
      case Kind::close:
        // ")" where an operand should be: "()" or "1+)". A ")" with no "(" at all is unbalanced.
        return fail(opened_before() ? Malformation::missing_operand : Malformation::unbalanced, token.text);
      default:
        return fail(Malformation::missing_operand, token.text);
    }
  }

  bool opened_before() const {
    int depth = 0;
    for (std::size_t i = 0; i + 1 < next_; ++i) {
      if (tokens_[i].kind == Kind::open) ++depth;
      if (tokens_[i].kind == Kind::close) --depth;
    }
    return depth > 0;
  }

  int number(const Token& token, bool negative) {
    if (token.digits.size() > 1 && token.digits.front() == '0') return fail(Malformation::leading_zero, token.text);
    if (token.digits.size() > kMaxDigits) return fail(Malformation::number_too_long, token.text);
    const std::int64_t magnitude = std::stoll(token.digits);
    nodes_->push_back(ExpressionNode{negative ? -magnitude : magnitude});
    return static_cast<int>(nodes_->size()) - 1;
  }

  const std::vector<Token>& tokens_;
  std::size_t next_ = 0;
  ExpressionNodes* nodes_ = nullptr;
  std::optional<Failure> failure_;
};

// Whether digits are the texts of two or more of the dealt numbers one after the other, each dealt
// number used at most once.
bool joins_dealt(std::string_view digits, std::vector<std::string>& unused, int pieces) {
  if (digits.empty()) return pieces >= 2;
  for (std::size_t i = 0; i < unused.size(); ++i) {
    const std::string piece = unused[i];
    if (piece.empty() || digits.substr(0, piece.size()) != piece) continue;
    unused[i].clear();
    const bool joined = joins_dealt(digits.substr(piece.size()), unused, pieces + 1);
    unused[i] = piece;
    if (joined) return true;
  }
  return false;
}

// A number of the expression that is not dealt but spells dealt numbers side by side. Numbers are
// read without leading zeros, so a number's decimal text is its digits as typed.
std::optional<Failure> find_joined_digits(const ExpressionNodes& nodes, const FourNumbers& dealt) {
  std::vector<std::string> dealt_texts;
  for (const std::int32_t number : dealt) {
    if (number >= 0) dealt_texts.push_back(std::to_string(number));
  }
  for (const ExpressionNode& node : nodes) {
    if (!node.is_number()) continue;
    const std::string digits = std::to_string(node.number < 0 ? -node.number : node.number);
    if (std::find(dealt_texts.begin(), dealt_texts.end(), digits) != dealt_texts.end()) continue;
    std::vector<std::string> unused = dealt_texts;
    if (joins_dealt(digits, unused, 0)) return Failure{Malformation::joined_digits, std::to_string(node.number)};
  }
  return std::nullopt;
}

// Evaluates the nodes in order (operands stand before their operation), noting the first zero
// divisor. A failed operand makes its operation fail too.
void evaluate(const ExpressionNodes& nodes, int root, AnswerCheck& check, bool& division_by_zero) {
  std::vector<std::optional<Fraction>> values(nodes.size());
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    const ExpressionNode& node = nodes[i];
    if (node.is_number()) {
      values[i] = Fraction(node.number);
      continue;
    }
    const auto& left = values[static_cast<std::size_t>(node.left)];
    const auto& right = values[static_cast<std::size_t>(node.right)];
    if (!left || !right) continue;
    if (node.op == Operator::divide && right->is_zero()) {
      if (!division_by_zero) check.zero_divisor = written_text(nodes, node.right);
      division_by_zero = true;
      continue;
    }
    values[i] = apply(node.op, *left, *right);
  }
  check.value = values[static_cast<std::size_t>(root)];
}

std::vector<std::int64_t> sorted_numbers(const ExpressionNodes& nodes) {
  std::vector<std::int64_t> numbers;
  for (const ExpressionNode& node : nodes) {
    if (node.is_number()) numbers.push_back(node.number);
  }
  std::sort(numbers.begin(), numbers.end());
  return numbers;
}

}  // namespace

ParsedExpression parse_expression(std::string_view gbk) {
  ParsedExpression parsed;
  std::vector<Token> tokens;
  std::optional<Failure> failure = tokenize(gbk, tokens);
  if (!failure && tokens.size() == 1) failure = Failure{Malformation::empty, {}};
  if (!failure) failure = Parser(tokens).parse(parsed.nodes, parsed.root);
  if (failure) {
    parsed.nodes.clear();
    parsed.root = -1;
    parsed.malformation = failure->malformation;
    parsed.symbol = std::move(failure->symbol);
  }
  return parsed;
}

AnswerCheck check_answer(std::string_view expression_gbk, const FourNumbers& dealt) {
  AnswerCheck check;
  check.dealt.assign(dealt.begin(), dealt.end());
  std::sort(check.dealt.begin(), check.dealt.end());

  ParsedExpression parsed = parse_expression(expression_gbk);
  if (parsed.malformation == Malformation::none) {
    if (const auto joined = find_joined_digits(parsed.nodes, dealt)) {
      parsed.malformation = joined->malformation;
      parsed.symbol = joined->symbol;
    }
  }
  if (parsed.malformation != Malformation::none) {
    check.malformation = parsed.malformation;
    check.symbol = std::move(parsed.symbol);
    return check;
  }

  const ExpressionNodes& nodes = parsed.nodes;
  const int root = parsed.root;
  check.written = written_text(nodes, root);
  check.used = sorted_numbers(nodes);
  bool division_by_zero = false;
  evaluate(nodes, root, check, division_by_zero);
  if (check.used != check.dealt) {
    check.verdict = Verdict::numbers_differ;
  } else if (division_by_zero) {
    check.verdict = Verdict::division_by_zero;
  } else if (!check.value) {
    check.verdict = Verdict::out_of_range;
  } else {
    check.verdict = *check.value == Fraction(kTarget) ? Verdict::valid : Verdict::not_24;
  }
  return check;
}

}  // namespace quadrivo
