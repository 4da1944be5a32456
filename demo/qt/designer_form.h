// SPDX-License-Identifier: MIT
// A form made in Qt Designer (a .ui file), opened as the demo opens FormGlimmer: QUiLoader builds it through
// the LedSign Designer plugin, the command line's options are written to every sign on it, every sign
// starts when the form loads (as Form_Load starts LED1) and every sign stops when its window closes (as
// Form_Unload stops LED1).
#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <memory>
#include <ostream>
#include <string>

#include "demo/form/form_glimmer.h"
#include "host/base/expected.h"

class QWidget;

namespace glimmer {

namespace qt {
class LedSign;
}

class DesignerForm final : public QObject {
 public:
  struct Error {
    int status;        // kExitUsage for a file that is not a form, kExitFailure when the plugin is missing
    std::string what;  // the reason, without the file's name
  };

  // Builds the form from the text of a .ui file, with the plugins in `plugin_paths`, and writes the
  // overrides to every sign on it.
  [[nodiscard]] static Expected<std::unique_ptr<DesignerForm>, Error> Create(const QByteArray& ui,
                                                                             const QStringList& plugin_paths,
                                                                             const Overrides& overrides);
  ~DesignerForm() override;
  DesignerForm(const DesignerForm&) = delete;
  DesignerForm& operator=(const DesignerForm&) = delete;

  [[nodiscard]] QWidget& window() { return *window_; }
  // The signs on the form, in the order of the file.
  [[nodiscard]] QList<qt::LedSign*> signs() const;

  // Starts every sign; the name of the first that failed to start.
  [[nodiscard]] Expected<void, std::string> Load();
  // Stops every sign, once (closing the window does this); the name of the first that failed to stop.
  [[nodiscard]] Expected<void, std::string> Unload();
  [[nodiscard]] const Expected<void, std::string>& unload_status() const { return unload_status_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  explicit DesignerForm(QWidget* window);

  std::unique_ptr<QWidget> window_;
  QList<QPointer<qt::LedSign>> signs_;
  bool unloaded_ = false;
  Expected<void, std::string> unload_status_;
};

// Where the glimmer program looks for the Designer plugin: the folder the build puts it in (plugins/designer/
// beside the program's own folder), then where Qt looks for Designer's plugins (QT_PLUGIN_PATH, and Qt's own
// plugin folder, where an installed one is).
[[nodiscard]] QStringList DesignerPluginPaths();

// Opens the form in a Qt application and runs it until its window is closed. The exit status: 0 when it
// was closed, 2 after a message on `err` for a file that is not a form, 1 when the display cannot be reached,
// the plugin is missing or a sign failed.
[[nodiscard]] int OpenDesignerForm(const std::string& source, const std::string& ui,
                                   const Overrides& overrides, std::ostream& err);

}  // namespace glimmer
