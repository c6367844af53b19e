#include <cctype>

#include "fake_services.h"

namespace orvane::fakes {
namespace {

const std::int32_t kInvalidQuery = -2147217385;  // WBEM_E_INVALID_QUERY

struct Condition {
  std::string field;
  std::string value;
};

// Alternatives (Or) of conjunctions (And) of Field = 'literal'.
using Expression = std::vector<std::vector<Condition>>;

[[noreturn]] void Invalid() { throw Failure(kInvalidQuery, "Invalid query"); }

class Parser {
 public:
  explicit Parser(const std::string& text) : text_(text) {}

  Expression Parse() {
    Expression alternatives(1);
    for (;;) {
      alternatives.back().push_back(ParseCondition());
      SkipBlanks();
      if (at_ == text_.size()) return alternatives;
      std::string keyword = Word();
      if (keyword == "And") continue;
      if (keyword == "Or") {
        alternatives.emplace_back();
        continue;
      }
      Invalid();
    }
  }

 private:
  Condition ParseCondition() {
    SkipBlanks();
    Condition c;
    c.field = Word();
    SkipBlanks();
    if (Next() != '=') Invalid();
    SkipBlanks();
    if (Next() != '\'') Invalid();
    for (;;) {
      char ch = Next();
      if (ch == '\\') {
        c.value += Next();
      } else if (ch == '\'') {
        return c;
      } else {
        c.value += ch;
      }
    }
  }

  std::string Word() {
    std::string word;
    while (at_ < text_.size() &&
           std::isalnum(static_cast<unsigned char>(text_[at_]))) {
      word += text_[at_++];
    }
    if (word.empty()) Invalid();
    return word;
  }

  char Next() {
    if (at_ >= text_.size()) Invalid();
    return text_[at_++];
  }

  void SkipBlanks() {
    while (at_ < text_.size() && text_[at_] == ' ') ++at_;
  }

  const std::string& text_;
  std::size_t at_ = 0;
};

class FakeProcessObject : public ManagedProcess {
 public:
  FakeProcessObject(FakeManagement::Process& process, bool hasHandle)
      : process_(process), hasHandle_(hasHandle) {}

  void Terminate() override {
    if (!hasHandle_) throw Failure(-2147217406, "Not found");
    if (process_.refusesToEnd) throw Failure(-2147024891, "Access is denied.");
    FakeManagement::End(process_);
  }

 private:
  FakeManagement::Process& process_;
  bool hasHandle_;
};

bool Matches(const FakeManagement::Process& p, const Expression& e) {
  for (const auto& conjunction : e) {
    bool all = true;
    for (const Condition& c : conjunction) {
      const std::string& actual =
          c.field == "Name" ? p.name : c.field == "CommandLine" ? p.commandLine
                                                                 : "";
      all = all && actual == c.value;
    }
    if (all) return true;
  }
  return false;
}

}  // namespace

ProcessCollection FakeManagement::ExecQuery(const std::string& query) {
  queries.push_back(query);
  if (onQuery) onQuery();
  if (unavailable) throw Failure(-2147217405, "Access denied");
  const std::string kFrom = " from Win32_Process Where ";
  const std::size_t from = query.find(kFrom);
  if (query.rfind("Select ", 0) != 0 || from == std::string::npos) Invalid();
  const std::string selected = query.substr(7, from - 7);
  const bool hasHandle = selected.find("Handle") != std::string::npos;
  const Expression where = Parser(query.substr(from + kFrom.size())).Parse();

  ProcessCollection found;
  for (Process& p : processes) {
    if (!p.ended && Matches(p, where)) {
      found.push_back(std::make_unique<FakeProcessObject>(p, hasHandle));
    }
  }
  return found;
}

}  // namespace orvane::fakes
