#include "foundation/directory.h"

#include "platform/code_page.h"
#include "foundation/path.h"

namespace {

using platform::CreateDirResult;

std::string_view Separators(PathStyle style) { return style == PathStyle::kWindows ? "\\/" : "/"; }

// Splits off where the walk starts. Windows: "\\server\" of a network path,
// else the first three characters (a drive root such as C:\); POSIX: "/" of
// an absolute path, nothing of a relative one.
std::string WalkRoot(std::string& rest, PathStyle style) {
  std::string root;
  const std::string_view separators = Separators(style);
  const bool leadingSeparator = !rest.empty() && separators.find(rest.front()) != std::string_view::npos;
  if (style == PathStyle::kPosix) {
    root = leadingSeparator ? "/" : "";
  } else if (leadingSeparator) {
    root = rest.substr(0, 2);
    const size_t server = cp::FindFirstOf(std::string_view(rest).substr(root.size()), separators);
    if (server != std::string::npos) root = rest.substr(0, root.size() + server + 1);
  } else {
    root = rest.substr(0, 3);
  }
  rest.erase(0, root.size());
  return root;
}

}  // namespace

int CreateDirectoryPath(const std::string& path, PathStyle style) {
  const std::string target = NormalizeDirPath(path, style);
  if (target.empty()) return 0;
  const CreateDirResult once = platform::CreateDirectoryOnce(target);
  if (once == CreateDirResult::kCreated) return 1;
  if (once == CreateDirResult::kAlreadyExists) return platform::IsDirectory(target);

  std::string rest = target;
  std::string level = WalkRoot(rest, style);
  for (size_t separator; (separator = cp::FindFirstOf(rest, Separators(style))) != std::string::npos;) {
    level += rest.substr(0, separator + 1);
    rest.erase(0, separator + 1);
    // Failures above the last level do not end the walk: a level may exist
    // without being creatable (a share root, a directory without rights).
    (void)platform::CreateDirectoryOnce(level);
  }
  return platform::IsDirectory(target);
}

std::string GetModuleDirectory(PathStyle style) {
  const std::string program = platform::ModuleFilePath();
  const size_t last = cp::FindLastOf(program, style == PathStyle::kWindows ? "\\" : "/");
  return last == std::string::npos ? std::string() : program.substr(0, last + 1);
}
