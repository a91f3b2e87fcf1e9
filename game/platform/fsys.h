#pragma once
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

enum class PathError { None, Empty, LeavesFolder, NotFound };

struct ResolvedPath {
    std::filesystem::path path;
    PathError error = PathError::None;
};

// Turns the game's names (GBK, '\' separators, any letter case) into real
// paths under the game folder. Names from data files may not leave the folder.
class PathResolver {
public:
    explicit PathResolver(std::filesystem::path root = std::filesystem::current_path());

    const std::filesystem::path& Root() const { return root_; }
    void SetRoot(std::filesystem::path root);

    // Splits a GBK name into UTF-8 components: decoded first (a GBK trail
    // byte may be 0x5C), then '\' -> '/', empty and "." components dropped.
    // Returns nullopt when the name is absolute, has a drive letter or "..".
    static std::optional<std::vector<std::string>> Split(std::string_view gbkName);

    // An existing file or folder, matching each component without regard to
    // ASCII letter case.
    ResolvedPath Resolve(std::string_view gbkName);
    // A path to write: folders must exist; the last component reuses an
    // existing case variant, else keeps the spelling given.
    ResolvedPath ResolveForWrite(std::string_view gbkName);

    // Whether an existing file or folder, every link on the way to it
    // followed, lies outside the game folder (also when that can't be told).
    bool LeadsOut(const std::filesystem::path& path) const;

    FILE* Open(std::string_view gbkName, const char* mode, PathError* error = nullptr);
    bool Exists(std::string_view gbkName);

    // Forget cached folder listings (called after the game writes files).
    void Invalidate();

private:
    const std::vector<std::string>& Listing(const std::filesystem::path& dir);
    std::optional<std::string> Match(const std::filesystem::path& dir, const std::string& name);
    ResolvedPath Walk(std::string_view gbkName, bool forWrite);

    struct CachedDir {
        std::filesystem::file_time_type mtime;
        std::vector<std::string> names;
    };
    std::filesystem::path root_;
    std::map<std::string, CachedDir> cache_;
};

// The system's reason for a failed file operation (an errno value), in
// Chinese where the game has words for it, in GBK.
std::string SystemReasonGbk(int err);

// Writes a file's data and its place in its folder through to the disk:
// fsync of the open file, then of its folder after a rename. 0 or an errno.
int SyncFile(FILE* f);
// Opens a new, empty file at `path` for writing ("wb+"): whatever stands
// there (a stale file, a link) is removed first, and the file is created
// exclusively without following a link, so nothing outside is written
// through it. nullptr with the errno in *err on failure.
FILE* CreateFresh(const std::filesystem::path& path, int* err);
int SyncFolderOf(const std::filesystem::path& file);

// The rest of an open file from its start, in one read when its size is
// known; a short read keeps what was read. Reading stops after `limit`
// bytes, so a file that has no size (or grows) can't outrun its reader.
std::string ReadWholeFile(FILE* f, size_t limit = SIZE_MAX);

} // namespace plat
