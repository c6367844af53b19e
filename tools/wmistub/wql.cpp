#include "wql.h"

#include <cwchar>
#include <cwctype>

namespace wmistub {

struct Condition {
  enum class Op { kAnd, kOr, kNot, kEqual, kNotEqual, kIsNull, kIsNotNull };
  Op op = Op::kAnd;
  std::shared_ptr<const Condition> left, right;
  std::wstring property, literal;
};

namespace {

using Op = Condition::Op;
using ConditionPtr = std::shared_ptr<const Condition>;

enum class Kind { kWord, kString, kNumber, kSymbol, kEnd, kBad };

struct Token {
  Kind kind = Kind::kEnd;
  std::wstring text;  // a string literal without quotes and escapes
};

class Lexer {
 public:
  explicit Lexer(const std::wstring& text) : text_(text) {}

  Token Next() {
    while (pos_ < text_.size() && std::iswspace(text_[pos_])) ++pos_;
    if (pos_ == text_.size()) return {Kind::kEnd, L""};
    const wchar_t c = text_[pos_];
    const size_t start = pos_;
    if (std::iswalpha(c) || c == L'_') {
      while (pos_ < text_.size() &&
             (std::iswalnum(text_[pos_]) || text_[pos_] == L'_'))
        ++pos_;
      return {Kind::kWord, text_.substr(start, pos_ - start)};
    }
    if (std::iswdigit(c)) {
      while (pos_ < text_.size() && std::iswdigit(text_[pos_])) ++pos_;
      return {Kind::kNumber, text_.substr(start, pos_ - start)};
    }
    if (c == L'\'' || c == L'"') return Literal(c);
    if (text_.compare(pos_, 2, L"<>") == 0 ||
        text_.compare(pos_, 2, L"!=") == 0) {
      pos_ += 2;
      return {Kind::kSymbol, L"<>"};
    }
    if (std::wcschr(L"*,()=", c) != nullptr) {
      ++pos_;
      return {Kind::kSymbol, std::wstring(1, c)};
    }
    return {Kind::kBad, L""};
  }

 private:
  Token Literal(wchar_t quote) {
    std::wstring value;
    for (++pos_; pos_ < text_.size(); ++pos_) {
      wchar_t c = text_[pos_];
      if (c == quote) {
        ++pos_;
        return {Kind::kString, value};
      }
      if (c == L'\\') {
        if (++pos_ == text_.size()) break;
        c = text_[pos_];
        if (c != L'\\' && c != L'\'' && c != L'"') break;
      }
      value += c;
    }
    return {Kind::kBad, L""};
  }

  const std::wstring& text_;
  size_t pos_ = 0;
};

class Parser {
 public:
  Parser(const std::wstring& text, const std::vector<std::wstring>& known)
      : lexer_(text), known_(known) {
    token_ = lexer_.Next();
  }

  bool ok() const { return ok_; }
  bool AtEnd() const { return token_.kind == Kind::kEnd; }

  bool Keyword(const wchar_t* word) {
    if (token_.kind != Kind::kWord || !EqualNoCase(token_.text, word))
      return false;
    token_ = lexer_.Next();
    return true;
  }

  bool Symbol(const wchar_t* symbol) {
    if (token_.kind != Kind::kSymbol || token_.text != symbol) return false;
    token_ = lexer_.Next();
    return true;
  }

  // A word as it came, "" (and the parse failed) when there is none.
  std::wstring Word() {
    if (token_.kind != Kind::kWord) return Fail(), L"";
    std::wstring word = token_.text;
    token_ = lexer_.Next();
    return word;
  }

  // A property of the class, as the class spells it.
  std::wstring Property() {
    const std::wstring word = Word();
    for (const std::wstring& name : known_)
      if (EqualNoCase(word, name)) return name;
    Fail();
    return word;
  }

  ConditionPtr Or() {
    ConditionPtr left = And();
    while (ok_ && Keyword(L"OR")) left = Join(Op::kOr, left, And());
    return left;
  }

  void Fail() { ok_ = false; }

 private:
  ConditionPtr And() {
    ConditionPtr left = Unary();
    while (ok_ && Keyword(L"AND")) left = Join(Op::kAnd, left, Unary());
    return left;
  }

  ConditionPtr Unary() {
    if (Keyword(L"NOT")) return Join(Op::kNot, Unary(), nullptr);
    if (Symbol(L"(")) {
      ConditionPtr inner = Or();
      if (!Symbol(L")")) Fail();
      return inner;
    }
    return Comparison();
  }

  ConditionPtr Comparison() {
    auto comparison = std::make_shared<Condition>();
    const bool literalFirst = IsLiteral();
    if (literalFirst) comparison->literal = TakeLiteral();
    if (!literalFirst) comparison->property = Property();
    if (!literalFirst && Keyword(L"IS")) {
      comparison->op = Keyword(L"NOT") ? Op::kIsNotNull : Op::kIsNull;
      if (!Keyword(L"NULL")) Fail();
      return comparison;
    }
    if (Symbol(L"=")) {
      comparison->op = Op::kEqual;
    } else if (Symbol(L"<>")) {
      comparison->op = Op::kNotEqual;
    } else {
      Fail();
    }
    if (literalFirst) comparison->property = Property();
    if (!literalFirst) {
      if (!IsLiteral()) Fail();
      comparison->literal = TakeLiteral();
    }
    return comparison;
  }

  bool IsLiteral() const {
    return token_.kind == Kind::kString || token_.kind == Kind::kNumber;
  }

  std::wstring TakeLiteral() {
    std::wstring literal = token_.text;
    token_ = lexer_.Next();
    return literal;
  }

  ConditionPtr Join(Op op, ConditionPtr left, ConditionPtr right) {
    auto joined = std::make_shared<Condition>();
    joined->op = op;
    joined->left = std::move(left);
    joined->right = std::move(right);
    return joined;
  }

  Lexer lexer_;
  const std::vector<std::wstring>& known_;
  Token token_;
  bool ok_ = true;
};

bool Holds(const Condition& c, const PropertyReader& read) {
  switch (c.op) {
    case Op::kAnd: return Holds(*c.left, read) && Holds(*c.right, read);
    case Op::kOr: return Holds(*c.left, read) || Holds(*c.right, read);
    case Op::kNot: return !Holds(*c.left, read);
    default: break;
  }
  const std::optional<std::wstring> value = read(c.property);
  switch (c.op) {
    case Op::kEqual: return value && EqualNoCase(*value, c.literal);
    case Op::kNotEqual: return value && !EqualNoCase(*value, c.literal);
    case Op::kIsNull: return !value;
    default: return value.has_value();  // kIsNotNull
  }
}

}  // namespace

std::int32_t ParseQuery(const std::wstring& text, const std::wstring& className,
                        const std::vector<std::wstring>& known,
                        const std::wstring& key, Query* query) {
  Parser parser(text, known);
  if (!parser.Keyword(L"SELECT")) return kInvalidQuery;
  std::vector<std::wstring> selected;
  if (!parser.Symbol(L"*")) {
    do {
      selected.push_back(parser.Word());
    } while (parser.ok() && parser.Symbol(L","));
  }
  if (!parser.ok() || !parser.Keyword(L"FROM")) return kInvalidQuery;
  const std::wstring queried = parser.Word();
  if (!parser.ok()) return kInvalidQuery;
  if (!EqualNoCase(queried, className))
    return kInvalidClass;

  Query parsed;
  for (const std::wstring& word : selected) {
    std::wstring name;
    if (EqualNoCase(word, L"__PATH") || EqualNoCase(word, L"__RELPATH"))
      name = key;
    for (const std::wstring& property : known)
      if (EqualNoCase(word, property)) name = property;
    if (name.empty()) return kInvalidQuery;
    parsed.properties.push_back(name);
  }
  if (parser.Keyword(L"WHERE")) parsed.where = parser.Or();
  if (!parser.ok() || !parser.AtEnd()) return kInvalidQuery;
  *query = std::move(parsed);
  return 0;
}

bool Matches(const Query& query, const PropertyReader& read) {
  return query.where == nullptr || Holds(*query.where, read);
}

bool EqualNoCase(const std::wstring& a, const std::wstring& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::towupper(a[i]) != std::towupper(b[i])) return false;
  return true;
}

}  // namespace wmistub
