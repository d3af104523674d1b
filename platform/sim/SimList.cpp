#include "platform/sim/SimList.h"

#include "common/CodePage.h"

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

void SimList::SelectString(int start, const char* prefix) {
  std::string folded = Folded(prefix);
  std::vector<int> candidates;
  for (auto it = byText_.lower_bound(folded); it != byText_.end() && it->first.compare(0, folded.size(), folded) == 0;
       ++it) {
    candidates.push_back(it->second);
  }
  int found = ChooseInSearchOrder(candidates, static_cast<int>(items_.size()), start);
  if (found >= 0) selected_ = found;
}

}  // namespace qz::platform::sim
