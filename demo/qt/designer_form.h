// SPDX-License-Identifier: MIT
// A form made in Qt Designer (a .ui file), opened as the demo opens FormGlimmer: once CheckDesignerForm has
// found only data in it, QUiLoader builds it with no plugin at all (the program makes its signs itself, as
// the sign's Designer plugin would), the command line's options are written to every sign on it, every sign
// starts when the form loads (as Form_Load starts LED1) and every sign stops when its window closes (as
// Form_Unload stops LED1). The form may hide or delete its own window (a connection to hide() or
// deleteLater()): the window is only watched, never deleted twice, and the program ends once no window of
// it shows.
#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <memory>
#include <ostream>
#include <string>

#include "demo/form/form_glimmer.h"
#include "host/base/expected.h"

namespace glimmer {

namespace qt {
class LedSign;
}

class DesignerForm final : public QObject {
 public:
  struct Error {
    int status;        // kExitUsage for a file that is not a form or holds more, kExitFailure for a sign
    std::string what;  // the reason, without the file's name
  };

  // Builds the form from the text of a .ui file and writes the overrides to every sign on it.
  [[nodiscard]] static Expected<std::unique_ptr<DesignerForm>, Error> Create(const QByteArray& ui,
                                                                             const Overrides& overrides);
  ~DesignerForm() override;
  DesignerForm(const DesignerForm&) = delete;
  DesignerForm& operator=(const DesignerForm&) = delete;

  // The form's window; nullptr once the form has deleted it.
  [[nodiscard]] QWidget* window() const { return window_; }
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
  // Ends the event loop (status 0) once the window is hidden or gone and no other window shows; checked
  // after the events at hand, so that a window hidden and shown again in one go stays.
  void EndWhenNoWindowShows();

  QPointer<QWidget> window_;  // the form's: deleted here unless the form deleted it first
  QList<QPointer<qt::LedSign>> signs_;
  bool unloaded_ = false;
  Expected<void, std::string> unload_status_;
};

// Opens the form in a Qt application and runs it until its window is closed, hidden or deleted. The exit
// status: 0 then, 2 after a message on `err` for a file that is not a form or that holds more than data, 1
// when the display cannot be reached or a sign failed.
[[nodiscard]] int OpenDesignerForm(const std::string& source, const std::string& ui,
                                   const Overrides& overrides, std::ostream& err);

}  // namespace glimmer
