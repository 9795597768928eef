#pragma once

// A file dialog answered as a person answers it: the file names in `typed` are typed and
// confirmed one after the other in the open dialog, which stays open as long as it refuses
// them; an empty entry cancels the dialog. Each entry is used up when typed.

#include <QDialog>
#include <QFileDialog>
#include <functional>
#include <string>
#include <vector>

namespace tervasko::testing {

inline std::function<int(QFileDialog&)> TypeFileNames(std::vector<std::string>& typed) {
    return [&typed](QFileDialog& dialog) {
        while (!typed.empty()) {
            const std::string name = typed.front();
            typed.erase(typed.begin());
            if (name.empty()) return int(QDialog::Rejected);
            dialog.selectFile(QString::fromStdString(name));
            static_cast<QDialog&>(dialog).accept();  // the dialog's Save or Open button
            if (dialog.result() == QDialog::Accepted) return int(QDialog::Accepted);
        }
        return int(QDialog::Rejected);
    };
}

}  // namespace tervasko::testing
