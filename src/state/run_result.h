// The result of a run that ended with its results: the one record every
// reader takes them from (the window's result boxes and status line, the
// sheet, the alternatives, the batch rows), so that none of them reads
// another's rounded or rearranged texts back.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "state/selection_state.h"

namespace phe {

struct RunResult {
  SelectionState record;         // the calculation record as the run ended
  std::string sized_plate_type;  // the plate type the engines sized (e.g. PX100B-HM)
  // Channels per pass as the boxes 流道数H/M and 流道数M/L hold them: a
  // designed pure L pack's count is in the second, whichever field of the
  // record the engine kept it in.
  double channels_1 = 0, channels_2 = 0;
  // Beyond the model's largest pack its area, weight, size and price mean
  // nothing and are not shown.
  bool beyond_largest_pack = false;
  // The media as their lists showed them, and the plate material's place in
  // its list (the plate conductivity is looked up by it).
  std::string medium_h, medium_c;
  int plate_material_index = -1;
  // The text of each result box, formatted once from the record.
  std::map<std::string, std::string, std::less<>> texts;
  // The completed heat balance of one unit, formatted as its boxes show a
  // computed value (a split keeps the plant's given values in the boxes).
  std::map<std::string, std::string, std::less<>> balance_texts;

  const std::string& Text(std::string_view box) const { return Find(texts, box); }
  const std::string& Balance(std::string_view box) const { return Find(balance_texts, box); }

 private:
  static const std::string& Find(const std::map<std::string, std::string, std::less<>>& m,
                                 std::string_view box) {
    static const std::string kNone;
    const auto it = m.find(box);
    return it == m.end() ? kNone : it->second;
  }
};

}  // namespace phe
