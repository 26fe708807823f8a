#pragma once
// What the Qt window tells assistive technology beyond what its widgets say of themselves.
class QWidget;

namespace larkspur {

// The widget stays a focus holder but is no control to assistive technology: no name, no role.
void HideFromAssistance(QWidget* widget);

}  // namespace larkspur
