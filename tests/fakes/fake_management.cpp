#include <algorithm>
#include <optional>

#include "fake_services.h"
#include "wmistub/wql.h"

namespace orvane::fakes {
namespace {

// The stand-in's reader, which knows the class's properties as WMI does.
const std::vector<std::wstring> kProperties = {L"Name", L"CommandLine", L"Handle"};

// The fake's texts are ASCII: each byte a character.
std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

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

}  // namespace

ProcessCollection FakeManagement::ExecQuery(const std::string& query) {
  queries.push_back(query);
  if (onQuery) onQuery();
  if (unavailable) throw Failure(-2147217405, "Access denied");
  wmistub::Query parsed;
  if (const std::int32_t error = wmistub::ParseQuery(
          Wide(query), L"Win32_Process", kProperties, L"Handle", &parsed)) {
    throw Failure(error, "Invalid query");
  }
  const bool hasHandle = std::find(parsed.properties.begin(), parsed.properties.end(),
                                   L"Handle") != parsed.properties.end();

  ProcessCollection found;
  for (Process& p : processes) {
    const auto read = [&p](const std::wstring& name) -> std::optional<std::wstring> {
      return Wide(name == L"Name" ? p.name : name == L"CommandLine" ? p.commandLine : "");
    };
    if (!p.ended && wmistub::Matches(parsed, read)) {
      found.push_back(std::make_unique<FakeProcessObject>(p, hasHandle));
    }
  }
  return found;
}

}  // namespace orvane::fakes
