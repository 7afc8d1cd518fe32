// The message catalogues: one entry per id in each language with the same
// arguments, and English without Chinese.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "messages/messages.h"

namespace phe {
namespace {

bool HasChinese(const std::string& utf8) {
  // U+4E00..U+9FFF and the full-width punctuation are three bytes from E4..E9 / EF BC.
  for (size_t i = 0; i + 2 < utf8.size(); ++i) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    if (c >= 0xE4 && c <= 0xE9) return true;
    if (c == 0xEF && static_cast<unsigned char>(utf8[i + 1]) == 0xBC) return true;
  }
  return false;
}

// Guards against an id the English window cannot show (it fell back to the
// Chinese sentence), an English text that drops or invents an argument, and
// Chinese left in an English text.
TEST(MessageCatalogue, BothLanguagesHoldTheSameIdsWithTheSameArguments) {
  std::set<std::string> zh_ids;
  for (const CatalogueEntry& zh : MessageCatalogue(Lang::kZh)) {
    SCOPED_TRACE(zh.id);
    EXPECT_TRUE(zh_ids.insert(zh.id).second) << "twice";
    bool found = false;
    for (const CatalogueEntry& en : MessageCatalogue(Lang::kEn)) {
      if (std::string(en.id) != zh.id) continue;
      found = true;
      std::multiset<std::string> a, b;
      for (auto& p : Placeholders(zh.text)) a.insert(p);
      for (auto& p : Placeholders(en.text)) b.insert(p);
      EXPECT_EQ(a, b);
      EXPECT_FALSE(HasChinese(en.text)) << en.text;
    }
    EXPECT_TRUE(found) << "no English text";
  }
  EXPECT_EQ(MessageCatalogue(Lang::kEn).size(), zh_ids.size());
}

// Guards against a box named in Chinese inside an English message and a
// missing argument passing silently.
TEST(MessageCatalogue, FormatsArgumentsAndReferencesInTheLanguage) {
  Message m("input.margin");
  m.Ref("box", "box.Txt_GF1").With("max", "100");
  EXPECT_EQ(Format(m, Lang::kZh), "“设计裕量”必须介于0和100 %之间，请重新输入！");
  EXPECT_EQ(Format(m, Lang::kEn), "“Design margin” must lie between 0 and 100 %; please enter it again!");
  EXPECT_THROW(Format(Message("input.margin"), Lang::kZh), std::logic_error);
  EXPECT_THROW(Format(Message("no.such.id"), Lang::kEn), std::logic_error);
}

}  // namespace
}  // namespace phe
