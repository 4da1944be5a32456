// SPDX-License-Identifier: MIT
#include "demo/qt/designer_form.h"

#include <glimmer/qt/led_sign.h>

#include <QApplication>
#include <QBuffer>
#include <QEvent>
#include <QUiLoader>
#include <QWidget>

#include "control/led.h"
#include "demo/exit_status.h"
#include "demo/qt/designer_form_check.h"
#include "demo/qt/window_application.h"
#include "qt/widget/led_sign_p.h"

namespace glimmer {
namespace {

using Failed = Unexpected<std::string>;

std::string Plain(const QString& text) {
  return text.toStdString();
}

std::string NameOf(const qt::LedSign& sign) {
  return sign.objectName().isEmpty() ? "a sign without a name" : Plain(sign.objectName());
}

// Holds back what Qt says while a form loads: a form that loads gets it said after all, one that does not
// gets only the loader's reason, which says the same once.
class HeldMessages {
 public:
  HeldMessages() : previous_(qInstallMessageHandler(&Hold)) { held_ = &messages_; }
  ~HeldMessages() {
    qInstallMessageHandler(previous_);
    held_ = nullptr;
  }
  HeldMessages(const HeldMessages&) = delete;
  HeldMessages& operator=(const HeldMessages&) = delete;

  void Release() const {
    for (const auto& [type, text] : messages_)
      previous_(type, QMessageLogContext(), text);
  }

 private:
  static void Hold(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (held_ != nullptr) held_->append({type, text});
  }

  static inline QList<std::pair<QtMsgType, QString>>* held_ = nullptr;
  QtMessageHandler previous_;
  QList<std::pair<QtMsgType, QString>> messages_;
};

// QUiLoader without plugins: Qt's own widgets, and the sign made here, as its Designer plugin makes it
// outside Designer. QUiLoader loads every plugin of its folders as it is made, so it is made while Qt's
// library paths name none.
class SignLoader : public QUiLoader {
 public:
  static std::unique_ptr<SignLoader> Make() {
    const QStringList paths = QCoreApplication::libraryPaths();
    QCoreApplication::setLibraryPaths({});
    std::unique_ptr<SignLoader> loader(new SignLoader);
    QCoreApplication::setLibraryPaths(paths);
    loader->clearPluginPaths();
    return loader;
  }

  QWidget* createWidget(const QString& class_name, QWidget* parent, const QString& name) override {
    if (class_name != qt::LedSign::staticMetaObject.className())
      return QUiLoader::createWidget(class_name, parent, name);
    auto* sign = new qt::LedSign(parent);
    sign->setObjectName(name);
    return sign;
  }

 private:
  SignLoader() = default;
};

}  // namespace

DesignerForm::DesignerForm(QWidget* window) : window_(window) {
  for (qt::LedSign* sign : window_->findChildren<qt::LedSign*>())
    signs_.append(sign);
  window_->installEventFilter(this);
  connect(window_, &QObject::destroyed, this, [this] { EndWhenNoWindowShows(); });
}

DesignerForm::~DesignerForm() {
  if (window_) {
    window_->removeEventFilter(this);
    window_->disconnect(this);
    delete window_.data();
  }
}

Expected<std::unique_ptr<DesignerForm>, DesignerForm::Error> DesignerForm::Create(
    const QByteArray& ui, const Overrides& overrides) {
  if (auto data = CheckDesignerForm(ui); !data) return Unexpected<Error>({kExitUsage, data.error()});
  const auto loader = SignLoader::Make();
  QBuffer file;
  file.setData(ui);
  file.open(QIODevice::ReadOnly);
  QWidget* window = nullptr;
  {
    const HeldMessages held;
    window = loader->load(&file);
    if (window != nullptr) held.Release();
  }
  if (window == nullptr) {
    const QString why = loader->errorString();
    return Unexpected<Error>({kExitUsage, why.isEmpty() ? "it is not a Qt Designer form" : Plain(why)});
  }
  std::unique_ptr<DesignerForm> form(new DesignerForm(window));
  for (qt::LedSign* sign : form->signs()) {
    if (auto s = ApplyOverrides(qt::LedSignPrivate::Core(*sign).control_as<LED>(), overrides); !s)
      return Unexpected<Error>({kExitFailure, NameOf(*sign) + ": " + std::string(Describe(s.error()))});
  }
  return form;
}

QList<qt::LedSign*> DesignerForm::signs() const {
  QList<qt::LedSign*> alive;
  for (const QPointer<qt::LedSign>& sign : signs_)
    if (sign) alive.append(sign);
  return alive;
}

Expected<void, std::string> DesignerForm::Load() {
  for (qt::LedSign* sign : signs())
    if (!sign->start()) return Failed(NameOf(*sign));
  return {};
}

Expected<void, std::string> DesignerForm::Unload() {
  if (unloaded_) return unload_status_;
  unloaded_ = true;
  for (qt::LedSign* sign : signs()) {
    // A sign that fails to clear is stopped all the same: no step after the window has closed.
    if (!sign->clear() && unload_status_) unload_status_ = Failed(NameOf(*sign));
    qt::LedSignPrivate::Core(*sign).StopTimers();
  }
  return unload_status_;
}

bool DesignerForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == window_ && event->type() == QEvent::Close) (void)Unload();
  if (watched == window_ && event->type() == QEvent::Hide) EndWhenNoWindowShows();
  return QObject::eventFilter(watched, event);
}

void DesignerForm::EndWhenNoWindowShows() {
  QMetaObject::invokeMethod(
      this,
      [] {
        // A tool tip or menu that has not gone yet is no window of the form's.
        for (const QWidget* widget : QApplication::topLevelWidgets())
          if (widget->isVisible() && widget->windowType() != Qt::ToolTip && widget->windowType() != Qt::Popup)
            return;
        QCoreApplication::quit();
      },
      Qt::QueuedConnection);
}

int OpenDesignerForm(const std::string& source, const std::string& ui, const Overrides& overrides,
                     std::ostream& err) {
  std::string why;
  const auto app = OpenWindowApplication(&why);
  if (!app) {
    err << "glimmer: " << why << "; a Qt Designer form opens only in a window\n";
    return kExitFailure;
  }

  auto form = DesignerForm::Create(QByteArray::fromStdString(ui), overrides);
  if (!form) {
    err << "glimmer: " << source << ": " << form.error().what << '\n';
    return form.error().status;
  }
  if (auto loaded = (*form)->Load(); !loaded) {
    err << "glimmer: " << source << ": " << loaded.error() << " did not start\n";
    return kExitFailure;
  }
  (*form)->window()->show();
  const int status = app->exec();
  // A window that went away without a close event (a dialog's Escape) stops its signs here.
  if (auto unloaded = (*form)->Unload(); !unloaded) {
    err << "glimmer: " << source << ": " << unloaded.error() << " did not stop cleanly\n";
    return kExitFailure;
  }
  return status == 0 ? kExitOk : kExitFailure;
}

}  // namespace glimmer
