// Paths as the project file stores them: backslash-separated, relative to the project's folder where
// possible, so that projects move between machines. On this platform an absolute path without a drive letter
// is rooted at "/" ("/home/ann/a.jpg" is stored as "\home\ann\a.jpg" before it is made relative).
#pragma once

#include <string>

namespace tp {

// "/" <-> "\" at the boundary between native paths and the stored form. A native name holding a backslash has
// no stored form (it would read back as two names); see IsStorable.
std::string ToStoredPath(const std::string& native_path);
std::string FromStoredPath(const std::string& stored_path);

// Whether a native path can be stored: false when it holds a backslash.
inline bool IsStorable(const std::string& native_path) { return native_path.find('\\') == std::string::npos; }

// The folder part of a path, up to (not including) its last separator; empty when there is none.
std::string FolderOf(const std::string& path, char separator);

// Both work on the stored form. MakeRelativePath gives ".\img\a.jpg", "..\other\a.jpg", or the path unchanged
// when it shares no folder with `folder` (another drive). MakeAbsolutePath resolves "." and ".." components
// against `folder`; a path that starts with a drive ("C:") is returned as it is, and a leading separator stands
// for the folder's drive, or for the root when the folder has no drive. A colon anywhere else is part of a
// name ("a:1.jpg" is a legal name here). A folder given with a trailing separator ("C:\", "\")
// is the same folder without it.
std::string MakeRelativePath(const std::string& absolute_path, const std::string& folder);
// Whether a stored path begins with a drive letter and a colon.
bool StartsWithDrive(const std::string& stored_path);
std::string MakeAbsolutePath(const std::string& stored_path, const std::string& folder);

}  // namespace tp
