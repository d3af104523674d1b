#include "btrieve/LineForms.h"

namespace qz::lineforms {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

void SkipBlanks(std::string_view& rest) {
  while (!rest.empty() && IsBlank(rest.front())) rest.remove_prefix(1);
}

}  // namespace

bool AfterKeyword(std::string_view line, std::string_view keyword, std::string_view& rest) {
  if (line.substr(0, keyword.size()) != keyword) return false;
  rest = line.substr(keyword.size());
  return true;
}

bool TakeToken(std::string_view& rest, std::string_view& token) {
  SkipBlanks(rest);
  std::size_t n = 0;
  while (n < rest.size() && !IsBlank(rest[n])) ++n;
  if (n == 0) return false;
  token = rest.substr(0, n);
  rest.remove_prefix(n);
  return true;
}

bool TakeNumber(std::string_view& rest, std::uint32_t& value) {
  SkipBlanks(rest);
  std::size_t n = 0;
  std::uint32_t result = 0;
  while (n < rest.size() && rest[n] >= '0' && rest[n] <= '9') {
    result = result * 10u + static_cast<std::uint32_t>(rest[n] - '0');
    ++n;
  }
  if (n == 0) return false;
  value = result;
  rest.remove_prefix(n);
  return true;
}

bool TakeChar(std::string_view& rest, char c) {
  if (rest.empty() || rest.front() != c) return false;
  rest.remove_prefix(1);
  return true;
}

}  // namespace qz::lineforms
