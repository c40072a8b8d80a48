// The names of a program source (labels and EQU names) and the values of
// its expressions: hex numbers and names joined by '+' and '-'.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "asm/asm_error.h"
#include "asm/source_text.h"

namespace vesk {

class ProgramSymbols {
 public:
  explicit ProgramSymbols(AsmErrorList& errors) : errors_(errors) {}

  // A label (or EQU name) at byte `at` of its line. A name defined before
  // gets an error and keeps its first meaning.
  void DefineLabel(std::string_view name, int value, const SourceSpan& at);
  void DefineEqu(std::string_view name, const SourceSpan& at, const SourceSpan& expression);

  // The value of an expression, or nothing after an error was reported.
  // what names the statement for "operand missing".
  std::optional<long long> Evaluate(const SourceSpan& expression, std::string_view what);

  // While addresses are still being given out (ORG), a name that is not yet
  // defined is kept aside: ReportUndefined() later says whether it was
  // defined further down or nowhere.
  void setDeferUndefined(bool defer) { deferUndefined_ = defer; }
  void ReportUndefined();

  // Works out every EQU not used so far, so that its errors show too.
  void EvaluateAll();

  // Every name with a known value.
  std::map<std::string, int> Values() const;

 private:
  enum class State { kKnown, kPending, kBusy, kFailed };
  struct Symbol {
    SourceSpan at;
    SourceSpan expression;  // EQU only
    State state = State::kKnown;
    long long value = 0;
  };
  struct Undefined {
    std::string name;
    SourceSpan at;
  };

  std::optional<long long> evaluate(const SourceSpan& expression, std::string_view what, int depth);
  std::optional<long long> resolve(const std::string& name, Symbol& symbol, int depth);
  void error(const SourceSpan& at, std::size_t byte, AsmErrorCode code, std::vector<std::string> args = {});
  bool define(std::string_view name, const SourceSpan& at, Symbol symbol);

  AsmErrorList& errors_;
  std::map<std::string, Symbol, std::less<>> symbols_;
  bool deferUndefined_ = false;
  std::vector<Undefined> undefined_;
};

// Text of a value for messages: hex, with '-' for negative values.
std::string ValueText(long long value);

}  // namespace vesk
