#include "app/settingsfile.h"

namespace tervasko {

std::unique_ptr<QSettings> OpenSettings(const std::string& dataDir) {
    std::string path = dataDir;
    if (!path.empty() && path.back() != '/') path.push_back('/');
    return std::make_unique<QSettings>(QString::fromStdString(path + kSettingsFileName),
                                       QSettings::IniFormat);
}

}  // namespace tervasko
