#pragma once
// Item names read from an archive are untrusted: these turn them into paths
// below the destination folder, or refuse them.
#include <set>
#include <string>

namespace SevenZCore {

// Relative path ("a\b\c") for an item name with "/" or "\" separators. False
// for anything that could leave the destination or that Windows would read
// differently from the archive: absolute or rooted names, drive letters and
// stream names (any ":"), ".." components, characters Windows forbids, names
// ending in a dot or space, device names (CON, NUL, COM1...), and names that
// reduce to nothing. "." components and doubled separators are dropped.
bool MakeSafeRelativePath(const wchar_t* name, std::wstring* relative);

// Folds a relative path for case-insensitive comparison, as Windows compares names.
std::wstring FoldCase(const std::wstring& path);

// True when a symbolic link stored at linkRelative (a result of
// MakeSafeRelativePath) with the given target stays inside the destination:
// the target is relative, its ".." steps never climb above the root, and
// neither the link's own folder nor any step on the way to its target is
// another link of the archive (links holds FoldCase of every link's path),
// since a link met on the way would move the walk somewhere else.
bool IsLinkTargetInside(const std::wstring& linkRelative, const wchar_t* target, const std::set<std::wstring>& links);

// Where a link's target lies, relative to the destination ("a\b"; empty for
// the destination itself). False when it would lie outside.
bool ResolveLinkTarget(const std::wstring& linkRelative, const wchar_t* target, std::wstring* resolved);

} // namespace SevenZCore
