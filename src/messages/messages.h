// The program's messages by id. A message is an id with named arguments; one
// catalogue per language turns it into the text the window, the sheet and the
// command line show, so no layer builds or re-parses a sentence of its own.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace phe {

enum class Lang { kZh, kEn };

// "zh" or "en"; false for anything else.
bool ParseLang(std::string_view text, Lang* lang);

struct Message {
  // An argument is verbatim text (a number as printed, a medium, a file name,
  // the user's own text) or, with `ref`, the id of another catalogue entry (a
  // box, a side, a stage of the run), formatted in the same language.
  struct Arg {
    std::string name;
    std::string value;
    bool ref = false;
    bool operator==(const Arg&) const = default;
  };

  Message() = default;
  explicit Message(std::string message_id) : id(std::move(message_id)) {}

  Message& With(std::string name, std::string value);
  Message& Ref(std::string name, std::string entry_id);

  bool operator==(const Message&) const = default;

  std::string id;
  std::vector<Arg> args;
};

struct CatalogueEntry {
  const char* id;
  const char* text;  // "{name}" stands for the argument of that name
};

// Every entry of a language, in the order written.
std::span<const CatalogueEntry> MessageCatalogue(Lang lang);

// The text of a message; throws std::logic_error for an id the catalogue does
// not hold or a placeholder without its argument (a fault of the program).
std::string Format(const Message& m, Lang lang);
std::string Format(std::string_view id, Lang lang);

// The names of the placeholders of a catalogue text, in order.
std::vector<std::string> Placeholders(std::string_view text);

}  // namespace phe
