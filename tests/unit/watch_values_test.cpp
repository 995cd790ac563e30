// Watch texts read from a running script through the host: name lookup (locals first, any
// case) and the value text of each kind of variable.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>

#include "host/watch_values.h"
#include "test_support.h"

namespace quoll_test {
namespace {

using quoll::ScriptHost;
using Watches = std::map<std::string, std::optional<std::string>>;

// Runs the text and reads the named watches before the statement that follows each Writeln of a
// line in `stops`.
std::map<std::string, Watches> WatchesAt(const std::string& text, const std::vector<std::string>& stops,
                                         const std::vector<std::string>& names) {
  std::map<std::string, Watches> seen;
  RecordingUi ui;
  ui.onMessages = [&](ScriptHost& host) {
    if (ui.lines.empty()) return;
    const std::string& last = ui.lines.back();
    if (std::find(stops.begin(), stops.end(), last) == stops.end() || seen.count(last)) return;
    for (const std::string& name : names) seen[last][name] = quoll::WatchText(host.Engine(), name);
  };
  RunOutcome out = RunWith(ui, text);
  EXPECT_TRUE(out.ok) << (out.lines.empty() ? "" : out.lines.back());
  return seen;
}

const char* const kScript =
    "program W;\r\n"
    "// declared before the globals, so its parameter S may share a global's name\r\n"
    "procedure P(var Ref: Integer; S: string);\r\n"
    "var Loc: Byte;\r\n"
    "begin\r\n"
    "  Loc := 7;\r\n"
    "  Writeln('in routine');\r\n"
    "  Loc := 8;\r\n"
    "end;\r\n"
    "var\r\n"
    "  MixedCase: Integer;\r\n"
    "  B, NotSet: Boolean;\r\n"
    "  R: Real;\r\n"
    "  E: Extended;\r\n"
    "  C: Cardinal;\r\n"
    "  Ch: Char;\r\n"
    "  S: string;\r\n"
    "  A: array of Integer;\r\n"
    "  V: Variant;\r\n"

    "begin\r\n"
    "  MixedCase := -5;\r\n"
    "  B := True;\r\n"
    "  R := 2;\r\n"
    "  E := 1.5;\r\n"
    "  C := 4294967295;\r\n"
    "  Ch := 'z';\r\n"
    "  S := 'text';\r\n"
    "  SetArrayLength(A, 2);\r\n"
    "  V := 12;\r\n"
    "  Writeln('globals');\r\n"
    "  P(MixedCase, 'local');\r\n"
    "end.";

TEST(WatchText, GlobalsByNameInAnyCaseWithTheirValueTexts) {
  auto seen =
      WatchesAt(kScript, {"globals"},
                {"mixedcase", "MIXEDCASE", "b", "notset", "r", "e", "c", "ch", "s", "a", "v", "nosuch"});
  const Watches expected = {
      {"mixedcase", "-5"},
      {"MIXEDCASE", "-5"},
      {"b", "True"},
      {"notset", "False"},
      {"r", "2.000000000000"},
      {"e", "1.500000000000"},
      {"c", "-1"},  // a Cardinal above 2147483647 shows as a signed 32-bit number
      {"ch", "z"},
      {"s", "text"},
      {"a", ""},    // arrays have no value text
      {"v", "12"},  // a Variant shows the value it holds
      {"nosuch", std::nullopt},
  };
  EXPECT_EQ(seen["globals"], expected);
}

TEST(WatchText, InsideARoutineItsLocalsComeFirstThenTheGlobals) {
  auto seen = WatchesAt(kScript, {"in routine"}, {"loc", "s", "ref", "b"});
  const Watches expected = {
      {"loc", "7"},
      {"s", "local"},  // the parameter hides the global of the same name
      {"ref", "-5"},   // a var parameter shows the caller's variable
      {"b", "True"},
  };
  EXPECT_EQ(seen["in routine"], expected);
}

TEST(WatchText, WithoutAnEngineNothingIsFound) {
  EXPECT_EQ(quoll::WatchText(nullptr, "x"), std::nullopt);
}

}  // namespace
}  // namespace quoll_test
