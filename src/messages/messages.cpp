#include "messages/messages.h"

#include <map>
#include <stdexcept>

namespace phe {

std::span<const CatalogueEntry> ChineseCatalogue();
std::span<const CatalogueEntry> EnglishCatalogue();

namespace {

using Index = std::map<std::string_view, std::string_view, std::less<>>;

Index MakeIndex(std::span<const CatalogueEntry> entries) {
  Index index;
  for (const CatalogueEntry& e : entries)
    if (!index.emplace(e.id, e.text).second)
      throw std::logic_error("message id " + std::string(e.id) + " appears twice");
  return index;
}

const Index& IndexOf(Lang lang) {
  static const Index zh = MakeIndex(ChineseCatalogue());
  static const Index en = MakeIndex(EnglishCatalogue());
  return lang == Lang::kEn ? en : zh;
}

std::string_view Lookup(std::string_view id, Lang lang) {
  const Index& index = IndexOf(lang);
  const auto it = index.find(id);
  if (it == index.end())
    throw std::logic_error("no message " + std::string(id) + " in the " +
                           (lang == Lang::kEn ? "English" : "Chinese") + " catalogue");
  return it->second;
}

}  // namespace

bool ParseLang(std::string_view text, Lang* lang) {
  if (text == "zh") *lang = Lang::kZh;
  else if (text == "en") *lang = Lang::kEn;
  else return false;
  return true;
}

Message& Message::With(std::string name, std::string value) {
  args.push_back({std::move(name), std::move(value), false});
  return *this;
}

Message& Message::Ref(std::string name, std::string entry_id) {
  args.push_back({std::move(name), std::move(entry_id), true});
  return *this;
}

std::span<const CatalogueEntry> MessageCatalogue(Lang lang) {
  return lang == Lang::kEn ? EnglishCatalogue() : ChineseCatalogue();
}

std::vector<std::string> Placeholders(std::string_view text) {
  std::vector<std::string> out;
  for (size_t at = text.find('{'); at != std::string_view::npos; at = text.find('{', at + 1)) {
    const size_t end = text.find('}', at);
    if (end == std::string_view::npos) break;
    out.emplace_back(text.substr(at + 1, end - at - 1));
  }
  return out;
}

std::string Format(const Message& m, Lang lang) {
  const std::string_view text = Lookup(m.id, lang);
  std::string out;
  size_t at = 0;
  for (size_t open = text.find('{'); open != std::string_view::npos; open = text.find('{', at)) {
    const size_t close = text.find('}', open);
    if (close == std::string_view::npos) break;
    out.append(text.substr(at, open - at));
    const std::string_view name = text.substr(open + 1, close - open - 1);
    const Message::Arg* arg = nullptr;
    for (const Message::Arg& a : m.args)
      if (a.name == name) arg = &a;
    if (!arg)
      throw std::logic_error("message " + m.id + " lacks its argument " + std::string(name));
    out += arg->ref ? std::string(Lookup(arg->value, lang)) : arg->value;
    at = close + 1;
  }
  out.append(text.substr(at));
  return out;
}

std::string Format(std::string_view id, Lang lang) { return Format(Message(std::string(id)), lang); }

}  // namespace phe
