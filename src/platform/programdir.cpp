#include "platform/programdir.h"

#include <filesystem>
#include <system_error>

namespace tervasko {

std::string ProgramDir() {
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    std::string dir = ec ? std::filesystem::current_path(ec).string() : exe.parent_path().string();
    if (dir.empty() || dir.back() != '/') dir.push_back('/');
    return dir;
}

}  // namespace tervasko
