// SPDX-License-Identifier: MIT
// What a .ui file may hold before QUiLoader sees it. A form is data: it names widgets and layouts and sets
// their properties, and nothing in it may load code, reach the network or read other files. QUiLoader
// itself would make whatever class a plugin offers (a QQuickWidget runs QML, which loads native plugins and
// fetches URLs), read any pixmap, icon or resource it names, and recurse once per nested element, so the
// text is read here first, in one pass that does not recurse, and refused unless:
//
//  - every widget is one of Qt's plain widgets or the sign, every layout one of Qt's four, and the only
//    custom widget the form declares is the sign;
//  - no element names something outside the form: no <pixmap>, <iconset>, <url>, <image>, <script> or
//    resource file;
//  - no text holds a reference that Qt's rich text or style sheets would load (an image, a link, a
//    background, a url(...), an @import), whatever its case and spacing;
//  - widgets and layouts nest at most kMaxFormNesting deep, and elements at most kMaxFormElementDepth.
#pragma once

#include <QByteArray>
#include <string>

#include "host/base/expected.h"

namespace glimmer {

inline constexpr int kMaxFormNesting = 64;
inline constexpr int kMaxFormElementDepth = 256;

// Nothing, or why the form is refused (one line, without the file's name).
[[nodiscard]] Expected<void, std::string> CheckDesignerForm(const QByteArray& ui);

}  // namespace glimmer
