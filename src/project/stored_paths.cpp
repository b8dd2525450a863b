#include "project/stored_paths.h"

#include <cctype>

#include <algorithm>

namespace tp {

namespace {

constexpr char kStoredSeparator = '\\';

std::string Replaced(std::string text, char from, char to)
{
    std::replace(text.begin(), text.end(), from, to);
    return text;
}

}  // namespace

std::string ToStoredPath(const std::string& native_path) { return Replaced(native_path, '/', kStoredSeparator); }

std::string FromStoredPath(const std::string& stored_path) { return Replaced(stored_path, kStoredSeparator, '/'); }

std::string FolderOf(const std::string& path, char separator)
{
    const std::size_t last = path.rfind(separator);
    return last == std::string::npos ? std::string() : path.substr(0, last);
}

std::string MakeRelativePath(const std::string& absolute_path, const std::string& folder)
{
    const std::string below = absolute_path + kStoredSeparator;
    std::string ancestor = folder;
    if (ancestor.empty() || ancestor.back() != kStoredSeparator) ancestor += kStoredSeparator;
    std::string prefix;

    // Walk up from the project's folder one component at a time until the image's path passes through it.
    // A rooted path ("\home\ann") reaches the empty ancestor last, which every rooted path shares.
    for (std::size_t cut = ancestor.rfind(kStoredSeparator); cut != std::string::npos;
         cut = ancestor.rfind(kStoredSeparator)) {
        ancestor.resize(cut);
        std::string candidate = below;
        for (std::size_t end = candidate.rfind(kStoredSeparator); end != std::string::npos;
             end = candidate.rfind(kStoredSeparator)) {
            candidate.resize(end);
            if (candidate == ancestor) {
                // `end` can be one past the path when the path is itself the common folder.
                std::string relative = prefix + (end < absolute_path.size() ? absolute_path.substr(end + 1) : "");
                if (relative.rfind("..", 0) != 0) relative = std::string(".") + kStoredSeparator + relative;
                return relative;
            }
        }
        prefix = std::string("..") + kStoredSeparator + prefix;
    }
    return absolute_path;  // nothing in common, e.g. another drive
}

bool StartsWithDrive(const std::string& stored_path)
{
    return stored_path.size() >= 2 && std::isalpha(static_cast<unsigned char>(stored_path[0])) && stored_path[1] == ':';
}

std::string MakeAbsolutePath(const std::string& stored_path, const std::string& folder)
{
    if (StartsWithDrive(stored_path)) return stored_path;

    // A folder given with its trailing separator ("C:\", or "\" for the root) must not double it.
    std::string base = folder;
    if (!base.empty() && base.back() == kStoredSeparator) base.pop_back();
    std::string rest = stored_path;
    for (std::size_t end = rest.find(kStoredSeparator); end != std::string::npos; end = rest.find(kStoredSeparator)) {
        const std::string component = rest.substr(0, end);
        rest.erase(0, end + 1);
        if (component.empty()) {
            // A leading separator means "the drive": the folder's drive letter and colon, or the root "" here.
            base = StartsWithDrive(base) ? base.substr(0, 2) : std::string();
        } else if (component == "..") {
            const std::size_t last = base.rfind(kStoredSeparator);
            if (last != std::string::npos) base.resize(last);
        } else if (component != ".") {
            base += kStoredSeparator + component;
        }
    }
    return base + kStoredSeparator + rest;
}

}  // namespace tp
