#include "platform/sim/SimList.h"

#include "text/CodePage.h"

namespace qz::platform::sim {
namespace {

std::string Folded(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(UpperCp1250(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace

void SimList::AddString(const char* text) {
  items_.emplace_back(text);
  byText_.emplace(Folded(text), static_cast<int>(items_.size()) - 1);
}

std::vector<int> SimList::Matches(const char* prefix) const {
  std::string folded = Folded(prefix);
  std::vector<int> found;
  for (auto it = byText_.lower_bound(folded); it != byText_.end() && it->first.compare(0, folded.size(), folded) == 0;
       ++it) {
    found.push_back(it->second);
  }
  return found;
}

void SimList::SelectString(int start, const char* prefix) {
  int found = ChooseInSearchOrder(Matches(prefix), static_cast<int>(items_.size()), start);
  if (found >= 0) selected_ = found;
}

}  // namespace qz::platform::sim
