// SPDX-License-Identifier: MIT
// The QApplication of a window of the demo (the demo window, a Qt Designer form), made only once the window
// system probe has said that a window can open here: Qt would abort the program, or wait for good, where none
// can.
#pragma once

#include <QApplication>
#include <memory>
#include <string>

namespace glimmer {

// The application, or nullptr with why no window can open (one line, for a message).
[[nodiscard]] std::unique_ptr<QApplication> OpenWindowApplication(std::string* why);

}  // namespace glimmer
