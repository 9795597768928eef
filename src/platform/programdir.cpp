#include "platform/programdir.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace tervasko {
namespace {

std::string withSlash(std::string dir) {
    if (!dir.empty() && dir.back() != '/') dir.push_back('/');
    return dir;
}

bool isFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Creates `dir` and the parents it lacks; the new folders get `mode`.
bool makeFolders(const std::string& dir, mode_t mode) {
    if (dir.empty() || isFolder(dir)) return !dir.empty();
    std::string path;
    std::size_t pos = 0;
    while (pos != std::string::npos) {
        pos = dir.find('/', pos + 1);
        path = dir.substr(0, pos);
        if (path.empty() || isFolder(path)) continue;
        if (::mkdir(path.c_str(), mode) != 0 && !isFolder(path)) return false;
    }
    return isFolder(dir);
}

}  // namespace

std::string ProgramDir() {
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    std::string dir = ec ? std::filesystem::current_path(ec).string() : exe.parent_path().string();
    if (dir.empty() || dir.back() != '/') dir.push_back('/');
    return dir;
}

std::string SharedDataDir(const std::string& programDir) {
    const std::string dir = withSlash(programDir) + "../share/tervasko";
    if (!isFolder(dir)) return {};
    std::error_code ec;
    const std::filesystem::path clean = std::filesystem::weakly_canonical(dir, ec);
    return withSlash(ec ? dir : clean.string());
}

std::string UserConfigDir() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && xdg[0] == '/') return withSlash(xdg) + "tervasko/";
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return withSlash(home) + ".config/tervasko/";
    return {};
}

std::string ChooseDataDir(const std::string& programDir, bool programDirWritable, bool installed,
                          const std::string& userConfigDir) {
    if ((installed || !programDirWritable) && !userConfigDir.empty())
        return withSlash(userConfigDir);
    return withSlash(programDir);
}

bool FolderWritable(const std::string& dir) {
    return ::access(dir.c_str(), W_OK | X_OK) == 0;
}

std::string DataDir() {
    const std::string program = ProgramDir();
    const std::string config = UserConfigDir();
    const std::string chosen =
        ChooseDataDir(program, FolderWritable(program), !SharedDataDir(program).empty(), config);
    if (chosen == program) return program;
    // The parents of the folder are made as the user's (0700 for the new ones, as a fresh
    // ~/.config would be).
    return makeFolders(chosen.substr(0, chosen.size() - 1), 0700) ? chosen : program;
}

}  // namespace tervasko
