#pragma once
// A profile (INI) file held in memory, read and changed the way the Windows
// profile functions do it, so that a file written on one platform reads the
// same on the other:
// - lines end at any run of CR and LF; blank lines are dropped;
// - white space (tab, LF, VT, FF, CR, space, ^Z) around lines, names and
//   values is dropped; a line starting with "[" and holding a "]" opens a
//   section named by what lies between the "[" and the last "]";
// - "name=value" lines are keys; a line without "=" is a key without a value
//   (comments are such lines: they are kept and never match a lookup);
// - section and key names are compared without regard to letter case and
//   the first match wins; values in matching quotes lose their quotes;
// - the file is written back in CR LF lines, one "[name]" line a section.
// The profile functions read the file again for every call, so a document
// changed by a write is to be taken as Parse(Text()) afterwards.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/code_page.h"

namespace ini {

class Document {
 public:
  explicit Document(cp::CodePage page = cp::System()) : page_(page) {}

  static Document Parse(std::string_view fileText, cp::CodePage page = cp::System());

  // The file text: what Parse would read back as this document.
  std::string Text() const;

  // The value of key in section, or defaultText when the section or the key
  // is missing or the key has no "="; cut to bufferSize - 1 bytes.
  std::string Read(std::string_view section, std::string_view key, std::string_view defaultText,
                   size_t bufferSize) const;

  // Each returns true when the document changed.
  bool Set(std::string_view section, std::string_view key, std::string_view value);
  bool DeleteKey(std::string_view section, std::string_view key);
  bool DeleteSection(std::string_view section);

 private:
  struct Key {
    std::string name;
    std::optional<std::string> value;
  };
  struct Section {
    std::string name;
    std::vector<Key> keys;
    bool header = true;  // written as "[name]"; the lines before any header have none
  };

  Section* FindSection(std::string_view trimmedName);
  const Section* FindSection(std::string_view trimmedName) const;
  void AddLine(std::string_view line);

  cp::CodePage page_;
  std::string byteOrderMark_;
  std::vector<Section> sections_;  // the first holds the lines before any header
};

}  // namespace ini
