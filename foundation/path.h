#pragma once
// CtPath splits a path or a URL into drive, directory, file name and
// extension, hands each part back normalised, and joins them again.
// A URL of the schemes http, ftp and vaduvo keeps its scheme and host in the
// drive. Separator searches step over double-byte characters.

#include <string>

#include "platform/paths.h"

using PathStyle = platform::PathStyle;

class CtPath {
 public:
  explicit CtPath(const std::string& text, PathStyle style = platform::NativePathStyle());
  virtual ~CtPath() = default;

  // A one-letter drive gains ":".
  virtual std::string GetDrive();
  // A non-empty directory begins and ends with its separator: "\" if it holds
  // one (Windows style), "/" otherwise.
  virtual std::string GetDir();
  virtual std::string GetFileName();
  // A non-empty extension begins with ".".
  virtual std::string GetExt();
  virtual std::string GetExtNoDot();
  virtual CtPath& SetDrive(const std::string& drive);
  virtual CtPath& SetDir(const std::string& dir);
  virtual CtPath& SetFileName(const std::string& name);
  virtual CtPath& SetExt(const std::string& ext);
  // Drive, directory, file name and extension, each normalised, joined.
  virtual void GetPath(std::string& out);
  virtual std::string GetPath();
  // The joined path, kept in the object until the next call on it.
  virtual const char* GetPathText();
  virtual CtPath& Assign(const CtPath& other);

 private:
  void SplitLocal(std::string text);
  void SplitUrl(std::string text);

  PathStyle style_;
  std::string drive_;
  std::string dir_;
  std::string fileName_;
  std::string ext_;
  std::string fullPath_;
};

// Ends a directory text in a separator: an empty text or one that ends in a
// separator stays; otherwise "\" is appended if the text holds one (Windows
// style), else "/" if it holds one, else nothing (a bare name stays bare).
std::string NormalizeDirPath(const std::string& dir, PathStyle style = platform::NativePathStyle());
