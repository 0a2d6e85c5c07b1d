#pragma once
// Profile (INI) files, read and written one value at a time.

namespace platform {

// Reads the text of key in section into buffer (at most size - 1 bytes and
// a terminating zero), or the default when the file, the section or the key
// is missing. Returns the number of bytes placed, without the zero.
// Section and key must be given; size 0 reads nothing.
int ReadProfileValue(const char* section, const char* key, const char* defaultText, char* buffer, int size,
                      const char* file);

// Writes key=text in section, creating the file and the section as needed.
// A null text deletes the key; a null key deletes the whole section; all
// three null flushes the file. Returns false when the file could not be written.
bool WriteProfileValue(const char* section, const char* key, const char* text, const char* file);

// While one exists, the writes to its file are gathered (natively in
// memory, on Windows in a copy of the file) and the file is replaced once,
// when it ends, by a file flushed to the disk first: a crash leaves the old
// file or the new one, never half of a list. Reads in the meantime see the
// gathered writes. A file that is a link is written through to its target
// (natively), and stays a link.
class ProfileWriteBatch {
 public:
  explicit ProfileWriteBatch(const char* file);
  ~ProfileWriteBatch();
  ProfileWriteBatch(const ProfileWriteBatch&) = delete;
  ProfileWriteBatch& operator=(const ProfileWriteBatch&) = delete;
  // Replaces the file now (the end does it otherwise); false when it could not.
  bool Finish();

 private:
  bool finished_ = false;
  bool gathering_ = false;  // this batch gathers the writes (none does for a file it cannot take)
};

}  // namespace platform
