// Feeds profile (INI) file texts to ini::Document, read as UTF-8 and as code page 932, and edits them.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/code_page.h"
#include "platform/posix/ini_document.h"

namespace {

void Check(bool holds) {
  if (!holds) __builtin_trap();
}

// The white space the profile functions drop around lines, names and values.
bool IsSpace(char c) { return (c >= 0x09 && c <= 0x0D) || c == 0x1A || c == ' '; }

std::string Trim(std::string_view text) {
  while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
  return std::string(text);
}

// A written document is read again before the next call (the profile
// functions reread the file), so its text must read back as itself.
void CheckReadsBack(const ini::Document& doc, cp::CodePage page) {
  const std::string text = doc.Text();
  Check(ini::Document::Parse(text, page).Text() == text);
}

struct Address {
  std::string section, key;
};

// Addresses taken from the text's own "[section]" and "key=" lines, so that
// lookups hit; a rough reading is enough here.
std::vector<Address> AddressesIn(std::string_view text) {
  std::vector<Address> found;
  std::string section;
  for (size_t pos = 0; pos < text.size() && found.size() < 8;) {
    size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = text.size();
    const std::string line = Trim(text.substr(pos, end - pos));
    pos = end + 1;
    if (!line.empty() && line.front() == '[' && line.find(']') != std::string::npos)
      section = Trim(std::string_view(line).substr(1, line.rfind(']') - 1));
    else if (const size_t equals = line.find('='); equals != std::string::npos)
      found.push_back({section, Trim(std::string_view(line).substr(0, equals))});
  }
  return found;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  for (const cp::CodePage page : {cp::CodePage::kUtf8, cp::CodePage::kShiftJis}) {
    ini::Document doc = ini::Document::Parse(text, page);
    CheckReadsBack(doc, page);
    const std::vector<Address> addresses = AddressesIn(text);
    for (size_t i = 0; i < addresses.size(); ++i) {
      const Address& at = addresses[i];
      const std::string old = doc.Read(at.section, at.key, "", size + 2);
      Check(old.size() <= size && doc.Read(at.section, at.key, "", 5).size() <= 4);
      Check(doc.Read(at.section, at.key, "x", 0).empty());
      // No name holds a line break, so this key is never there; the
      // default loses its trailing spaces.
      Check(doc.Read(at.section, at.key + "|\n|", "missing  ", 64) == "missing");
      // Matching quotes are dropped on reading, so the value comes back bare.
      const std::string quoted = "'" + old + "'";
      std::string before = doc.Text();
      const bool changed = doc.Set(at.section, at.key, quoted);
      Check(changed == (doc.Text() != before) && !doc.Set(at.section, at.key, quoted));
      Check(doc.Read(at.section, at.key, "", quoted.size() + 1) == old);
      if (i % 2 == 1) {
        before = doc.Text();
        Check(doc.DeleteKey(at.section, at.key) && doc.Text().size() < before.size());
      }
    }
    if (!addresses.empty()) {
      const std::string before = doc.Text();
      const bool deleted = doc.DeleteSection(addresses.front().section);
      Check(deleted ? doc.Text().size() <= before.size() : doc.Text() == before);
    }
    CheckReadsBack(ini::Document::Parse(doc.Text(), page), page);
  }
  return 0;
}
