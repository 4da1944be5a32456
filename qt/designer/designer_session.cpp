// SPDX-License-Identifier: MIT
#include "qt/designer/designer_session.h"

#include <glimmer/qt/led_sign.h>

#include <QEvent>
#include <QTimer>
#include <QtDesigner/QDesignerFormEditorInterface>
#include <QtDesigner/QDesignerFormWindowInterface>
#include <QtDesigner/QDesignerFormWindowManagerInterface>
#include <QtDesigner/QDesignerPropertySheetExtension>
#include <QtDesigner/QExtensionManager>

namespace glimmer::qt {
namespace {

void GroupProperties(QDesignerFormEditorInterface* core, QWidget* widget) {
  if (qobject_cast<LedSign*>(widget) == nullptr) return;
  auto* sheet = qt_extension<QDesignerPropertySheetExtension*>(core->extensionManager(), widget);
  if (sheet == nullptr) return;
  for (int i = 0; i < LedSignProperties::kPropertyCount; ++i) {
    const char* name = LedSignProperties::qtName(static_cast<LedSignProperties::Property>(i));
    if (const int index = sheet->indexOf(QString::fromLatin1(name)); index >= 0)
      sheet->setPropertyGroup(index, LedSign::category(name));
  }
}

void WatchForm(QDesignerFormEditorInterface* core, QDesignerFormWindowInterface* form) {
  QObject::connect(form, &QDesignerFormWindowInterface::widgetManaged, form,
                   [core](QWidget* widget) { GroupProperties(core, widget); });
}

// Starts the sign after the current event (the form has set its properties by then) and again, from the
// right edge, after every burst of changes; a sign draws at the width it had when it started.
class DesignerShow : public QObject {
 public:
  explicit DesignerShow(LedSign* sign) : QObject(sign), sign_(sign) {
    restart_.setSingleShot(true);
    restart_.setInterval(0);
    connect(&restart_, &QTimer::timeout, this, &DesignerShow::Restart);
    const auto later = [this] { restart_.start(); };
    connect(sign, &LedSign::textChanged, this, later);
    connect(sign, &LedSign::colorChanged, this, later);
    connect(sign, &LedSign::delayChanged, this, later);
    connect(sign, &LedSign::repeatedChanged, this, later);
    connect(sign, &LedSign::borderStyleChanged, this, later);
    connect(sign, &LedSign::glyphsChanged, this, later);
    connect(sign, &LedSign::upperCaseChanged, this, later);
    sign->installEventFilter(this);
    restart_.start();
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == sign_ && event->type() == QEvent::Resize) restart_.start();
    return false;
  }

 private:
  void Restart() {
    (void)sign_->clear();
    (void)sign_->start();
  }

  LedSign* sign_;
  QTimer restart_;
};

}  // namespace

void GroupPropertiesByCategory(QDesignerFormEditorInterface* core) {
  QDesignerFormWindowManagerInterface* forms = core->formWindowManager();
  if (forms == nullptr) return;
  for (int i = 0; i < forms->formWindowCount(); ++i)
    WatchForm(core, forms->formWindow(i));
  QObject::connect(forms, &QDesignerFormWindowManagerInterface::formWindowAdded, forms,
                   [core](QDesignerFormWindowInterface* form) { WatchForm(core, form); });
}

void ShowInDesigner(LedSign* sign) {
  new DesignerShow(sign);
}

}  // namespace glimmer::qt
