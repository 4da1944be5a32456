// SPDX-License-Identifier: MIT
// What the plugin does for signs inside Qt Designer, and only there: the property editor groups the sign's
// properties by the control's categories, and the signs on Designer's forms and previews scroll.
#pragma once

class QDesignerFormEditorInterface;

namespace glimmer::qt {

class LedSign;

// From now on, every sign that a form of `core` manages shows its properties in the groups Appearance,
// Behavior and Misc of the property editor, as the control's categories say, instead of under its class.
void GroupPropertiesByCategory(QDesignerFormEditorInterface* core);

// Starts `sign` once the form that creates it has set its properties, as a program starts the signs of a
// form it loads, and starts it again from the right edge whenever one of its properties or its size
// changes afterwards (an edit in the property editor), so that a form shows each change at once.
void ShowInDesigner(LedSign* sign);

}  // namespace glimmer::qt
